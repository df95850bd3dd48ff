#include "sim/traffic_log.h"

#include "sim/sim_frame.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace ordalis::sim {

TrafficLog::TrafficLog() : m_origin(Clock::now())
{
}

TrafficLog::~TrafficLog()
{
    closeFile();
}

bool TrafficLog::openFile(const std::string& path, std::string& error)
{
    std::lock_guard lock(m_mutex);
    if (m_file) {
        std::fclose(m_file);
    }
    m_file = std::fopen(path.c_str(), "we");
    if (!m_file) {
        error = "cannot write the log " + path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

void TrafficLog::closeFile()
{
    std::lock_guard lock(m_mutex);
    if (m_file) {
        std::fclose(m_file);
        m_file = nullptr;
    }
}

void TrafficLog::setKeepRecords(bool keep)
{
    std::lock_guard lock(m_mutex);
    m_keepRecords = keep;
}

void TrafficLog::setOrigin(Clock::time_point origin)
{
    std::lock_guard lock(m_mutex);
    m_origin = origin;
}

void TrafficLog::add(Clock::time_point at, const std::string& endpoint, const std::string& direction,
    const Bytes& bytes, const std::string& text)
{
    std::unique_lock lock(m_mutex);
    TrafficRecord record;
    record.ms = std::chrono::duration<double, std::milli>(at - m_origin).count();
    record.endpoint = endpoint;
    record.direction = direction;
    record.bytes = bytes;
    record.text = text;
    if (m_file) {
        const std::string line = formatLine(record) + "\n";
        std::fputs(line.c_str(), m_file);
        std::fflush(m_file);
    }
    if (m_keepRecords) {
        m_records.push_back(std::move(record));
        lock.unlock();
        m_changed.notify_all();
    }
}

void TrafficLog::countFrameFromPc()
{
    {
        std::lock_guard lock(m_mutex);
        ++m_framesReceived;
    }
    m_changed.notify_all();
}

std::vector<TrafficRecord> TrafficLog::records() const
{
    std::lock_guard lock(m_mutex);
    return m_records;
}

void TrafficLog::clear()
{
    std::lock_guard lock(m_mutex);
    m_records.clear();
}

int TrafficLog::framesReceived() const
{
    std::lock_guard lock(m_mutex);
    return m_framesReceived;
}

bool TrafficLog::waitForFramesReceived(int count, int timeoutMs) const
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(
        lock, std::chrono::milliseconds(timeoutMs), [&] { return m_framesReceived >= count; });
}

bool TrafficLog::waitForRecord(const std::function<bool(const TrafficRecord&)>& match, int timeoutMs) const
{
    std::unique_lock lock(m_mutex);
    std::size_t seen = 0;
    return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        // A clear() may have shortened the list since the last look.
        seen = std::min(seen, m_records.size());
        for (; seen < m_records.size(); ++seen) {
            if (match(m_records[seen])) {
                return true;
            }
        }
        return false;
    });
}

std::string TrafficLog::formatLine(const TrafficRecord& record)
{
    char ms[32];
    std::snprintf(ms, sizeof ms, "%.3f", record.ms);
    std::string line = std::string(ms) + " " + record.endpoint + " " + record.direction;
    if (!record.bytes.empty()) {
        line += " " + hexBytes(record.bytes);
    }
    return line + " | " + record.text;
}

} // namespace ordalis::sim
