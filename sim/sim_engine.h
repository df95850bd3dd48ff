#pragma once

#include "sim/chain_model.h"
#include "sim/posix_io.h"
#include "sim/sim_config.h"
#include "sim/sim_line.h"
#include "sim/tcp_module.h"
#include "sim/traffic_log.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

struct pollfd;

namespace ordalis::sim {

// The running simulator behind WallSim: opens the endpoints, runs one poll() loop on its own thread
// and hands every frame to the chain. The chain and the faults are shared with the caller's thread
// under one mutex.
class SimEngine
{
public:
    explicit SimEngine(SimConfig config);
    ~SimEngine();
    SimEngine(const SimEngine&) = delete;
    SimEngine& operator=(const SimEngine&) = delete;

    bool start();
    void stop();
    bool running() const { return m_thread.joinable(); }
    std::string errorText() const;

    std::string serialPath() const { return m_pty.path; }
    const TcpModule* lanModule() const { return m_lan.get(); }
    const std::vector<std::unique_ptr<TcpModule>>& lanEachModules() const { return m_lanEach; }
    std::string udpAddress() const { return m_config.udpAddress.value_or(""); }
    int udpPort() const { return m_udpPort; }
    std::vector<std::string> readyLines() const;

    // Runs 'f' with the chain locked against the loop.
    template<typename F> auto withChain(F&& f) const
    {
        std::lock_guard lock(m_mutex);
        return f(m_chain);
    }
    template<typename F> auto withChain(F&& f)
    {
        std::lock_guard lock(m_mutex);
        return f(m_chain);
    }
    SimFaults faults() const;
    void setFaults(const SimFaults& faults);
    TrafficLog& log() { return m_log; }
    const TrafficLog& log() const { return m_log; }

private:
    // The single LAN module, then the per-display ones.
    std::vector<TcpModule*> tcpModules() const;
    struct Watch;

    bool openEndpoints();
    bool openLanEach();
    void closeEndpoints();
    void run();
    void wake();
    void collect(std::vector<pollfd>& fds, std::vector<Watch>& watches);
    void handle(const Watch& watch, short revents, LineOutput::Clock::time_point now);
    bool readLine(SimLine& line, LineOutput::Clock::time_point now);
    void dispatch(SimLine& line, const SimFrame& frame, LineOutput::Clock::time_point now);
    void answerDiscovery(LineOutput::Clock::time_point now);
    bool service(SimLine& line, LineOutput::Clock::time_point now);
    void applyRefuse(bool refuse);
    void logEvent(const std::string& endpoint, const std::string& text);

    SimConfig m_config;
    mutable std::mutex m_mutex;
    ChainModel m_chain;
    SimFaults m_faults;
    std::uint64_t m_faultsGiven = 0; // setFaults() calls ...
    std::uint64_t m_faultsTaken = 0; // ... that the loop has acted on
    std::condition_variable m_faultsChanged;
    long m_answers = 0;
    TrafficLog m_log;

    PtyPair m_pty;
    int m_portUseFd = -1;
    std::unique_ptr<SimLine> m_serial;
    std::unique_ptr<TcpModule> m_lan;
    std::vector<std::unique_ptr<TcpModule>> m_lanEach;
    int m_udpFd = -1;
    int m_udpPort = -1;
    std::vector<std::string> m_discoveryAnswers;
    bool m_linkMade = false;

    int m_wakeFd = -1;
    std::atomic<bool> m_stop {false};
    std::thread m_thread;
    mutable std::mutex m_errorMutex;
    std::string m_error;
};

} // namespace ordalis::sim
