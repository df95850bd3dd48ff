#include "sim/tcp_module.h"

#include "sim/posix_io.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

namespace ordalis::sim {

TcpModule::TcpModule(std::string label, std::string address, std::vector<int> reach)
    : m_label(std::move(label)), m_address(std::move(address)), m_reach(std::move(reach))
{
}

TcpModule::~TcpModule()
{
    close();
}

bool TcpModule::open(int port, bool refuse, std::string& error)
{
    m_listenFd = openTcpSocket(m_address, port, !refuse, error);
    if (m_listenFd < 0) {
        return false;
    }
    m_port = localPort(m_listenFd);
    m_listening = !refuse;
    return true;
}

void TcpModule::close()
{
    m_client.reset();
    closeFd(m_listenFd);
    m_listening = false;
}

bool TcpModule::setRefuse(bool refuse, std::string& error)
{
    if (refuse == !m_listening) {
        return true;
    }
    m_client.reset();
    closeFd(m_listenFd);
    // A listening socket cannot stop listening: bind the port afresh.
    m_listenFd = openTcpSocket(m_address, m_port, !refuse, error);
    m_listening = m_listenFd >= 0 && !refuse;
    return m_listenFd >= 0;
}

std::optional<std::string> TcpModule::accept(std::chrono::nanoseconds perByte)
{
    sockaddr_in peer {};
    socklen_t length = sizeof peer;
    const int fd
        = ::accept4(m_listenFd, reinterpret_cast<sockaddr*>(&peer), &length, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    const int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    m_client = std::make_unique<SimLine>(m_label, fd, true, m_reach, perByte);
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &peer.sin_addr, text, sizeof text);
    return std::string(text) + ":" + std::to_string(ntohs(peer.sin_port));
}

} // namespace ordalis::sim
