#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <cstdint>
#include <fcntl.h>
#include <functional>
#include <linux/sockios.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <stdlib.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace ordalis::test {

// Names a typed suite's instantiations by their world's kName.
struct WorldName
{
    template<typename World> static std::string GetName(int) { return World::kName; }
};

// Runs the event loop, sleeping between events, until done() or timeoutMs have passed.
inline bool runEventsUntil(const std::function<bool()>& done, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs, Qt::PreciseTimer);
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    while (!done() && !deadline.hasExpired()) {
        wake.start(int(deadline.remainingTime()));
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return done();
}

// Waits for another thread or the kernel without running the event loop (the GUI thread
// blocked in an exchange), checking every millisecond.
inline bool blockUntil(const std::function<bool()>& done, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!done() && !deadline.hasExpired())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return done();
}

// Runs the events that are due now, without waiting for more.
inline void runDueEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

// What one read of a port or a connection gave: its result, and the bytes it took.
struct ReadResult
{
    std::int64_t result = 0;
    std::vector<std::uint8_t> bytes;
};

// Binds the socket to a loopback port the system chooses; that port, or 0 if it cannot.
inline std::uint16_t bindLoopback(int fd)
{
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
        || ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return 0;
    return ntohs(address.sin_port);
}

// Reads fd until count bytes have come or timeoutMs have passed, sleeping in poll.
inline std::vector<std::uint8_t> readUpTo(int fd, std::size_t count, int timeoutMs)
{
    std::vector<std::uint8_t> bytes;
    const QDeadlineTimer deadline(timeoutMs);
    while (fd >= 0 && bytes.size() < count && !deadline.hasExpired()) {
        pollfd readable {fd, POLLIN, 0};
        if (::poll(&readable, 1, int(deadline.remainingTime())) != 1)
            break;
        std::uint8_t buffer[256];
        const ssize_t n = ::read(fd, buffer, std::min(sizeof buffer, count - bytes.size()));
        if (n <= 0)
            break;
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    return bytes;
}

// A raw pseudo-terminal pair of the test's own; the test plays the line's far end on master.
class RawPty
{
public:
    RawPty()
    {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0)
            return;
        path = ptsname(master);
        // Raw on both ends before anyone writes, and the slave held open so that the line
        // stays up while the port under test opens and closes.
        slave = ::open(path.c_str(), O_RDWR | O_NOCTTY);
        makeRaw(slave);
        makeRaw(master);
    }
    ~RawPty() { closeBoth(); }
    RawPty(const RawPty&) = delete;
    RawPty& operator=(const RawPty&) = delete;

    bool ok() const { return master >= 0 && slave >= 0; }
    void send(const std::vector<std::uint8_t>& bytes) const
    {
        [[maybe_unused]] const ssize_t n = ::write(master, bytes.data(), bytes.size());
    }
    // Sends, and returns once the line's driver holds the bytes for the port to read (the
    // pseudo-terminal hands them over from a kernel worker, not within the write).
    bool sendAndWaitHeld(const std::vector<std::uint8_t>& bytes, int timeoutMs = 1000) const
    {
        const std::size_t before = held();
        send(bytes);
        return blockUntil([&] { return held() >= before + bytes.size(); }, timeoutMs);
    }
    // Bytes the driver holds on the port's side, not yet read by anyone.
    std::size_t held() const
    {
        int count = 0;
        return slave >= 0 && ::ioctl(slave, FIONREAD, &count) == 0 ? std::size_t(count) : 0;
    }
    // What the port wrote: count bytes, or what came within timeoutMs.
    std::vector<std::uint8_t> received(std::size_t count, int timeoutMs = 1000) const
    {
        return readUpTo(master, count, timeoutMs);
    }
    // The far end goes away: the port's side is hung up. The slave stays open here until the
    // pair goes, so that the number is not handed to another pseudo-terminal while the port's
    // lock file on it is still there (Qt removes it after closing the device).
    void hangUp()
    {
        if (master >= 0)
            ::close(master);
        master = -1;
    }

    int master = -1;
    int slave = -1;
    std::string path;

private:
    void closeBoth()
    {
        for (int* fd : {&slave, &master}) {
            if (*fd >= 0)
                ::close(*fd);
            *fd = -1;
        }
    }
    static void makeRaw(int fd)
    {
        termios tio {};
        if (fd >= 0 && tcgetattr(fd, &tio) == 0) {
            cfmakeraw(&tio);
            tcsetattr(fd, TCSANOW, &tio);
        }
    }
};

// The far end of one loopback TCP connection, played from the test's own thread: it listens,
// takes the connection once the system has completed it, and sends or closes when told.
class LoopbackPeer
{
public:
    LoopbackPeer()
    {
        m_listen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const std::uint16_t bound = bindLoopback(m_listen);
        if (bound && ::listen(m_listen, 4) == 0)
            port = bound;
    }
    ~LoopbackPeer()
    {
        close();
        ::close(m_listen);
    }
    LoopbackPeer(const LoopbackPeer&) = delete;
    LoopbackPeer& operator=(const LoopbackPeer&) = delete;

    // Takes the connection a client made; the system completes it without waiting for this.
    bool accept(int timeoutMs = 1000)
    {
        pollfd listening {m_listen, POLLIN, 0};
        if (::poll(&listening, 1, timeoutMs) != 1)
            return false;
        m_client = ::accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
        const int one = 1;
        setsockopt(m_client, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        return m_client >= 0;
    }
    // Each returns once the client's system has acknowledged what went out, so the bytes or
    // the close have reached the client's side when it returns.
    bool send(const std::vector<std::uint8_t>& bytes)
    {
        return ::send(m_client, bytes.data(), bytes.size(), MSG_NOSIGNAL) == ssize_t(bytes.size())
            && acknowledged();
    }
    bool sendUrgent()
    {
        const char byte = 0x55;
        return ::send(m_client, &byte, 1, MSG_OOB | MSG_NOSIGNAL) == 1 && acknowledged();
    }
    bool close()
    {
        if (m_client < 0)
            return false;
        const bool reached = ::shutdown(m_client, SHUT_WR) == 0 && acknowledged();
        ::close(m_client);
        m_client = -1;
        return reached;
    }
    // What the client sent: count bytes, or what came within timeoutMs.
    std::vector<std::uint8_t> received(std::size_t count, int timeoutMs = 1000) const
    {
        return readUpTo(m_client, count, timeoutMs);
    }

    std::uint16_t port = 0;

private:
    bool acknowledged() const
    {
        return blockUntil(
            [this] {
                int unacknowledged = 0;
                return ::ioctl(m_client, SIOCOUTQ, &unacknowledged) == 0 && unacknowledged == 0;
            },
            1000);
    }

    int m_listen = -1;
    int m_client = -1;
};

// A loopback port on which nothing listens: connecting to it is refused.
class ClosedPort
{
public:
    ClosedPort()
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        port = bindLoopback(m_fd);
    }
    ~ClosedPort() { ::close(m_fd); }
    std::uint16_t port = 0;

private:
    int m_fd = -1;
};

} // namespace ordalis::test
