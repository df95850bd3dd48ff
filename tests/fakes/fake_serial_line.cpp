#include "tests/fakes/fake_serial_line.h"

#include <algorithm>

namespace ordalis {

// The port a program holds; all its state is the line's, so tests inspect the line.
class FakeSerialPort final : public SerialPort
{
public:
    explicit FakeSerialPort(FakeSerialLine& line) : m_line(line) { }
    ~FakeSerialPort() override { close(); }

    bool open(const QString& path, int, int) override
    {
        m_open = m_line.portOpen(path);
        return m_open;
    }
    void close() override
    {
        if (m_open) {
            m_open = false;
            m_line.portClose();
        }
    }
    bool isOpen() const override { return m_open; }
    bool purge() override { return m_open && m_line.portPurge(); }
    bool write(std::span<const std::uint8_t> bytes, std::int64_t limitMs) override
    {
        if (!m_open)
            return false;
        return m_line.portWrite(bytes, limitMs);
    }
    int read(std::span<std::uint8_t> dest, std::int64_t deadlineMs) override
    {
        if (!m_open)
            return -1;
        const int got = m_line.portRead(dest, deadlineMs);
        if (got < 0)
            close();
        return got;
    }

private:
    FakeSerialLine& m_line;
    bool m_open = false;
};

FakeSerialLine::FakeSerialLine(FakeClock& clock, Waiter& waiter) : m_clock(clock), m_waiter(waiter)
{
    m_clock.addWakeSource(this, [this](std::int64_t after) -> std::optional<std::int64_t> {
        for (const Arrival& arrival : m_arrivals) {
            if (arrival.atMs > after)
                return arrival.atMs;
        }
        if (m_hangUpAt && *m_hangUpAt > after)
            return m_hangUpAt;
        return std::nullopt;
    });
}

FakeSerialLine::~FakeSerialLine()
{
    m_clock.removeWakeSource(this);
}

std::unique_ptr<SerialPort> FakeSerialLine::create()
{
    return std::make_unique<FakeSerialPort>(*this);
}

void FakeSerialLine::arriveAt(std::int64_t atMs, std::vector<std::uint8_t> bytes)
{
    schedule(atMs, std::move(bytes));
}

std::size_t FakeSerialLine::buffered()
{
    collectArrived();
    return m_buffer.size();
}

void FakeSerialLine::schedule(std::int64_t atMs, std::vector<std::uint8_t> bytes)
{
    const auto at = std::upper_bound(m_arrivals.begin(), m_arrivals.end(), atMs,
        [](std::int64_t t, const Arrival& a) { return t < a.atMs; });
    m_arrivals.insert(at, Arrival {atMs, std::move(bytes)});
}

void FakeSerialLine::collectArrived()
{
    const std::int64_t now = m_clock.nowMs();
    auto it = m_arrivals.begin();
    for (; it != m_arrivals.end() && it->atMs <= now; ++it)
        m_buffer.insert(m_buffer.end(), it->bytes.begin(), it->bytes.end());
    m_arrivals.erase(m_arrivals.begin(), it);
}

bool FakeSerialLine::portOpen(const QString& path)
{
    m_lastOpenPath = path;
    if (m_open || m_openFails || (!m_devices.isEmpty() && !m_devices.contains(path)))
        return false;
    if (m_hangUpAt && *m_hangUpAt <= m_clock.nowMs())
        return false;
    ++m_opens;
    m_open = true;
    collectArrived();
    m_buffer.clear();
    return true;
}

void FakeSerialLine::portClose()
{
    ++m_closes;
    m_open = false;
}

bool FakeSerialLine::portPurge()
{
    ++m_purges;
    collectArrived();
    m_buffer.clear();
    return true;
}

bool FakeSerialLine::portWrite(std::span<const std::uint8_t> bytes, std::int64_t limitMs)
{
    if (m_failNextWrite) {
        m_failNextWrite = false;
        m_waiter.waitUntil(m_clock.nowMs() + limitMs, [] { return false; });
        return false;
    }
    const std::int64_t now = m_clock.nowMs();
    m_writes.push_back({now, {bytes.begin(), bytes.end()}});
    if (!m_replies.empty()) {
        ScriptedReply reply = std::move(m_replies.front());
        m_replies.pop_front();
        for (ScriptedChunk& chunk : reply)
            schedule(now + chunk.afterMs, std::move(chunk.bytes));
    }
    return true;
}

int FakeSerialLine::portRead(std::span<std::uint8_t> dest, std::int64_t deadlineMs)
{
    const auto hungUp = [this] { return m_hangUpAt && *m_hangUpAt <= m_clock.nowMs(); };
    m_waiter.waitUntil(deadlineMs, [&] {
        collectArrived();
        return !m_buffer.empty() || hungUp();
    });
    if (!m_buffer.empty()) {
        const std::size_t n = std::min(dest.size(), m_buffer.size());
        std::copy_n(m_buffer.begin(), n, dest.begin());
        m_buffer.erase(m_buffer.begin(), m_buffer.begin() + static_cast<std::ptrdiff_t>(n));
        return static_cast<int>(n);
    }
    return hungUp() ? -1 : 0;
}

} // namespace ordalis
