#include "sim/posix_io.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sstream>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

namespace ordalis::sim {

namespace {

std::string systemError(const std::string& what)
{
    return what + ": " + std::strerror(errno);
}

bool makeRaw(int fd)
{
    termios tio {};
    if (tcgetattr(fd, &tio) != 0) {
        return false;
    }
    cfmakeraw(&tio);
    cfsetispeed(&tio, B115200);
    cfsetospeed(&tio, B115200);
    return tcsetattr(fd, TCSANOW, &tio) == 0;
}

bool socketAddress(const std::string& address, int port, sockaddr_in& out)
{
    out = {};
    out.sin_family = AF_INET;
    out.sin_port = htons(std::uint16_t(port));
    return inet_pton(AF_INET, address.c_str(), &out.sin_addr) == 1;
}

// Whether a UDP socket is bound to exactly this address and port (not the wildcard address).
bool udpBoundExactly(const sockaddr_in& sa)
{
    std::ifstream table("/proc/net/udp");
    std::string line;
    std::getline(table, line);
    char wanted[16];
    // The kernel prints the address as the in-memory 32-bit word in hex, the port in host order.
    std::snprintf(
        wanted, sizeof wanted, "%08X:%04X", unsigned(sa.sin_addr.s_addr), unsigned(ntohs(sa.sin_port)));
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string slot;
        std::string local;
        if (fields >> slot >> local && local == wanted) {
            return true;
        }
    }
    return false;
}

} // namespace

bool openRawPty(PtyPair& pty, std::string& error)
{
    pty.master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (pty.master < 0 || grantpt(pty.master) != 0 || unlockpt(pty.master) != 0) {
        error = systemError("cannot create a pseudo-terminal");
        closeFd(pty.master);
        return false;
    }
    const char* name = ptsname(pty.master);
    pty.path = name ? name : "";
    pty.slave = ::open(pty.path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (pty.slave < 0 || !makeRaw(pty.slave) || !makeRaw(pty.master) || !setNonBlocking(pty.master)) {
        error = systemError("cannot set up the pseudo-terminal " + pty.path);
        closeFd(pty.slave);
        closeFd(pty.master);
        return false;
    }
    return true;
}

int watchPortUse(const std::string& path)
{
    int fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd >= 0 && inotify_add_watch(fd, path.c_str(), IN_OPEN | IN_CLOSE) < 0) {
        closeFd(fd);
    }
    return fd;
}

PortUse readPortUse(int watchFd)
{
    PortUse use;
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(watchFd, buffer, sizeof buffer);
        if (n <= 0) {
            return use;
        }
        for (ssize_t at = 0; at < n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            use.opened += (event->mask & IN_OPEN) ? 1 : 0;
            use.closed += (event->mask & IN_CLOSE) ? 1 : 0;
            at += ssize_t(sizeof(inotify_event) + event->len);
        }
    }
}

void releaseExclusive(int terminalFd)
{
    ::ioctl(terminalFd, TIOCNXCL);
}

bool makeLink(const std::string& path, const std::string& target, std::string& error)
{
    std::error_code ec;
    const std::filesystem::path link(path);
    if (link.has_parent_path()) {
        std::filesystem::create_directories(link.parent_path(), ec);
    }
    std::filesystem::remove(link, ec);
    std::filesystem::create_symlink(target, link, ec);
    if (ec) {
        error = "cannot make the link " + path + ": " + ec.message();
        return false;
    }
    return true;
}

int openTcpSocket(const std::string& address, int port, bool listen, std::string& error)
{
    sockaddr_in sa {};
    if (!socketAddress(address, port, sa)) {
        error = "not an IPv4 address: " + address;
        return -1;
    }
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    const int one = 1;
    if (fd < 0 || setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one) != 0
        || ::bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0 || (listen && ::listen(fd, 4) != 0)) {
        error = systemError("cannot listen on " + address + ":" + std::to_string(port));
        closeFd(fd);
        return -1;
    }
    return fd;
}

int openUdpSocket(const std::string& address, int port, std::string& error)
{
    sockaddr_in sa {};
    if (!socketAddress(address, port, sa)) {
        error = "not an IPv4 address: " + address;
        return -1;
    }
    // Address sharing lets the program bind the same port on every address beside us. Two
    // simulators on one exact address would split the requests between them: refuse that.
    if (port != 0 && udpBoundExactly(sa)) {
        error = "UDP " + address + ":" + std::to_string(port) + " is already answered by another socket";
        return -1;
    }
    int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    const int one = 1;
    if (fd < 0 || setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one) != 0
        || ::bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
        error = systemError("cannot bind UDP " + address + ":" + std::to_string(port));
        closeFd(fd);
        return -1;
    }
    return fd;
}

int localPort(int fd)
{
    sockaddr_in sa {};
    socklen_t length = sizeof sa;
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&sa), &length) != 0) {
        return -1;
    }
    return ntohs(sa.sin_port);
}

void closeFd(int& fd)
{
    if (fd >= 0) {
        ::close(fd);
    }
    fd = -1;
}

bool setNonBlocking(int fd)
{
    const int flags = fcntl(fd, F_GETFL);
    return flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

std::optional<std::string> offsetAddress(const std::string& address, int offset)
{
    in_addr addr {};
    if (inet_pton(AF_INET, address.c_str(), &addr) != 1) {
        return std::nullopt;
    }
    const std::uint32_t host = ntohl(addr.s_addr);
    const std::uint32_t last = (host & 0xFF) + std::uint32_t(offset);
    if (offset < 0 || last > 255) {
        return std::nullopt;
    }
    addr.s_addr = htonl((host & 0xFFFFFF00u) | last);
    char text[INET_ADDRSTRLEN];
    inet_ntop(AF_INET, &addr, text, sizeof text);
    return std::string(text);
}

bool isIpv4(const std::string& address)
{
    in_addr addr {};
    return inet_pton(AF_INET, address.c_str(), &addr) == 1;
}

} // namespace ordalis::sim
