#pragma once

#include <optional>
#include <string>

namespace ordalis::sim {

// Thin wrappers over the POSIX calls the endpoints need. Each returns -1 (or false) with 'error' set.

struct PtyPair
{
    int master = -1;
    int slave = -1; // kept open by the simulator so the line survives the PC closing its port
    std::string path;
};

// Both ends raw before anyone writes, so no byte is cooked or echoed by the terminal layer.
bool openRawPty(PtyPair& pty, std::string& error);
// Reports opens and closes of the pseudo-terminal at 'path' on the returned descriptor (-1 when the
// system cannot watch it).
int watchPortUse(const std::string& path);
struct PortUse
{
    int opened = 0;
    int closed = 0;
};
PortUse readPortUse(int watchFd);
// Ends an exclusive open (TIOCEXCL) left behind by a process that ended without closing the port:
// the simulator keeps the terminal alive, so the kernel would never clear it.
void releaseExclusive(int terminalFd);

// A symbolic link at 'path' to 'target', replacing an old link; makes the parent folders.
bool makeLink(const std::string& path, const std::string& target, std::string& error);

// A TCP socket bound to address:port; listening unless 'listen' is false (then connects are refused).
int openTcpSocket(const std::string& address, int port, bool listen, std::string& error);
int openUdpSocket(const std::string& address, int port, std::string& error);
int localPort(int fd);
void closeFd(int& fd);
bool setNonBlocking(int fd);

// "127.0.0.11" + 2 = "127.0.0.13"; none when the last byte would pass 255 or the text is no address.
std::optional<std::string> offsetAddress(const std::string& address, int offset);
bool isIpv4(const std::string& address);

} // namespace ordalis::sim
