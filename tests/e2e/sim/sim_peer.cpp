#include "tests/e2e/sim/sim_peer.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

namespace ordalis::sim::test {

namespace {

using Clock = std::chrono::steady_clock;

int remainingMs(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? int(left) : 0;
}

} // namespace

Peer Peer::serial(const std::string& path)
{
    Peer peer;
    peer.m_fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    termios tio {};
    if (peer.m_fd < 0 || tcgetattr(peer.m_fd, &tio) != 0) {
        peer.m_error = errno;
        peer.close();
        return peer;
    }
    cfmakeraw(&tio);
    cfsetispeed(&tio, B115200);
    cfsetospeed(&tio, B115200);
    tcsetattr(peer.m_fd, TCSANOW, &tio);
    tcflush(peer.m_fd, TCIOFLUSH);
    return peer;
}

Peer Peer::tcp(const std::string& address, int port)
{
    Peer peer;
    sockaddr_in sa {};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(std::uint16_t(port));
    inet_pton(AF_INET, address.c_str(), &sa.sin_addr);
    peer.m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (peer.m_fd < 0 || ::connect(peer.m_fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
        peer.m_error = errno;
        peer.close();
        return peer;
    }
    fcntl(peer.m_fd, F_SETFL, fcntl(peer.m_fd, F_GETFL) | O_NONBLOCK);
    return peer;
}

Peer::~Peer()
{
    close();
}

Peer::Peer(Peer&& other) noexcept : m_fd(other.m_fd), m_error(other.m_error)
{
    other.m_fd = -1;
}

Peer& Peer::operator=(Peer&& other) noexcept
{
    if (this != &other) {
        close();
        m_fd = other.m_fd;
        m_error = other.m_error;
        other.m_fd = -1;
    }
    return *this;
}

void Peer::close()
{
    if (m_fd >= 0) {
        ::close(m_fd);
    }
    m_fd = -1;
}

bool Peer::send(const Bytes& bytes)
{
    return m_fd >= 0 && ::write(m_fd, bytes.data(), bytes.size()) == ssize_t(bytes.size());
}

Bytes Peer::read(std::size_t count, int timeoutMs)
{
    Bytes out;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (m_fd >= 0 && out.size() < count) {
        pollfd p {m_fd, POLLIN, 0};
        if (::poll(&p, 1, remainingMs(deadline)) <= 0) {
            break;
        }
        std::uint8_t buffer[256];
        const ssize_t n = ::read(m_fd, buffer, std::min(sizeof buffer, count - out.size()));
        if (n <= 0) {
            break;
        }
        out.insert(out.end(), buffer, buffer + n);
    }
    return out;
}

bool Peer::closedByPeer(int timeoutMs)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (m_fd >= 0) {
        pollfd p {m_fd, POLLIN, 0};
        if (::poll(&p, 1, remainingMs(deadline)) <= 0) {
            return false;
        }
        std::uint8_t buffer[256];
        const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
        if (n == 0 || (n < 0 && errno != EAGAIN)) {
            return true;
        }
    }
    return false;
}

} // namespace ordalis::sim::test
