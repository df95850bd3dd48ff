#include "sim/posix_io.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <netinet/in.h>
#include <netinet/tcp.h>
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

} // namespace

bool openRawPty(PtyPair& pty, std::string& error)
{
    pty.master = posix_openpt(O_RDWR | O_NOCTTY);
    if (pty.master < 0 || grantpt(pty.master) != 0 || unlockpt(pty.master) != 0) {
        error = systemError("cannot create a pseudo-terminal");
        closeFd(pty.master);
        return false;
    }
    const char* name = ptsname(pty.master);
    pty.path = name ? name : "";
    pty.slave = ::open(pty.path.c_str(), O_RDWR | O_NOCTTY);
    if (pty.slave < 0 || !makeRaw(pty.slave) || !makeRaw(pty.master) || !setNonBlocking(pty.master)) {
        error = systemError("cannot set up the pseudo-terminal " + pty.path);
        closeFd(pty.slave);
        closeFd(pty.master);
        return false;
    }
    return true;
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
    // Shared with a program on the same machine that binds the same port on every address.
    int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    const int one = 1;
    if (fd < 0 || setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one) != 0
        || setsockopt(fd, SOL_SOCKET, SO_REUSEPORT, &one, sizeof one) != 0
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
