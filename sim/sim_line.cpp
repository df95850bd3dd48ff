#include "sim/sim_line.h"

#include "sim/posix_io.h"

#include <cerrno>
#include <sys/socket.h>
#include <unistd.h>

namespace ordalis::sim {

SimLine::SimLine(
    std::string name, int fd, bool socket, std::vector<int> reach, std::chrono::nanoseconds perByte)
    : m_name(std::move(name)), m_fd(fd), m_socket(socket), m_reach(std::move(reach)), m_output(perByte)
{
}

SimLine::~SimLine()
{
    // The pseudo-terminal's master belongs to its owner; sockets belong to the line.
    if (m_socket) {
        closeFd(m_fd);
    }
}

bool SimLine::readAvailable(Bytes& in)
{
    std::uint8_t buffer[512];
    for (;;) {
        const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
        if (n > 0) {
            in.insert(in.end(), buffer, buffer + n);
            continue;
        }
        if (n == 0) {
            return !m_socket;
        }
        if (errno == EINTR) {
            continue;
        }
        // A pseudo-terminal with no one on the other side reads EIO; the simulator keeps it open.
        return errno == EAGAIN || errno == EWOULDBLOCK || (!m_socket && errno == EIO);
    }
}

bool SimLine::write(const Bytes& bytes)
{
    m_unwritten.insert(m_unwritten.end(), bytes.begin(), bytes.end());
    return flush();
}

bool SimLine::flush()
{
    while (!m_unwritten.empty()) {
        const ssize_t n = m_socket ? ::send(m_fd, m_unwritten.data(), m_unwritten.size(), MSG_NOSIGNAL)
                                   : ::write(m_fd, m_unwritten.data(), m_unwritten.size());
        if (n > 0) {
            m_unwritten.erase(m_unwritten.begin(), m_unwritten.begin() + n);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
    }
    return true;
}

} // namespace ordalis::sim
