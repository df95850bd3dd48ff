#pragma once

#include "sim/sim_line.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ordalis::sim {

// A LAN module: a TCP port in front of the displays it reaches, one client at a time; a new
// connection replaces the old one. While refusing it stays bound but does not listen, so a
// connect is refused as by a module that is down.
class TcpModule
{
public:
    TcpModule(std::string label, std::string address, std::vector<int> reach);
    ~TcpModule();
    TcpModule(const TcpModule&) = delete;
    TcpModule& operator=(const TcpModule&) = delete;

    bool open(int port, bool refuse, std::string& error);
    void close();

    const std::string& label() const { return m_label; }
    const std::string& address() const { return m_address; }
    int port() const { return m_port; }
    const std::vector<int>& reach() const { return m_reach; }
    int listenFd() const { return m_listenFd; }
    bool refusing() const { return !m_listening; }

    bool setRefuse(bool refuse, std::string& error);
    // Takes a waiting connection; returns the peer's address, none when nothing waited.
    std::optional<std::string> accept(std::chrono::nanoseconds perByte);
    SimLine* client() { return m_client.get(); }
    void closeClient() { m_client.reset(); }

private:
    std::string m_label;
    std::string m_address;
    std::vector<int> m_reach;
    int m_port = -1;
    int m_listenFd = -1;
    bool m_listening = false;
    std::unique_ptr<SimLine> m_client;
};

} // namespace ordalis::sim
