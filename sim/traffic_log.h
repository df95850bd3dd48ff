#pragma once

#include "sim/wall_sim.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace ordalis::sim {

// Every frame seen or sent, kept in memory and, when a file is given, written one line each:
//     <ms since start> <endpoint> <direction> <hex bytes> | <decoding>
class TrafficLog
{
public:
    using Clock = std::chrono::steady_clock;

    TrafficLog();
    ~TrafficLog();
    TrafficLog(const TrafficLog&) = delete;
    TrafficLog& operator=(const TrafficLog&) = delete;

    bool openFile(const std::string& path, std::string& error);
    void closeFile();
    void setOrigin(Clock::time_point origin);
    // Off: records go to the file only, so a long run does not grow in memory.
    void setKeepRecords(bool keep);

    void add(Clock::time_point at, const std::string& endpoint, const std::string& direction,
        const Bytes& bytes, const std::string& text);
    void countFrameFromPc();

    std::vector<TrafficRecord> records() const;
    void clear();
    int framesReceived() const;
    bool waitForFramesReceived(int count, int timeoutMs) const;
    bool waitForRecord(const std::function<bool(const TrafficRecord&)>& match, int timeoutMs) const;

    static std::string formatLine(const TrafficRecord& record);

private:
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    std::vector<TrafficRecord> m_records;
    bool m_keepRecords = true;
    int m_framesReceived = 0;
    Clock::time_point m_origin;
    std::FILE* m_file = nullptr;
};

} // namespace ordalis::sim
