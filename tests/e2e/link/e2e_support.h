#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <fcntl.h>
#include <functional>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <stdlib.h>
#include <string>
#include <sys/socket.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace ordalis::test {

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

// Waits for another thread without running the event loop (the GUI thread blocked in an
// exchange), checking every few milliseconds.
inline bool blockUntil(const std::function<bool()>& done, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!done() && !deadline.hasExpired())
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return done();
}

// Runs the events that are due now, without waiting for more.
inline void runDueEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

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
    // What the port wrote, waiting up to timeoutMs for the first byte.
    std::vector<std::uint8_t> received(int timeoutMs = 1000) const
    {
        std::vector<std::uint8_t> bytes;
        fd_set set;
        FD_ZERO(&set);
        FD_SET(master, &set);
        timeval tv {timeoutMs / 1000, (timeoutMs % 1000) * 1000};
        if (select(master + 1, &set, nullptr, nullptr, &tv) <= 0)
            return bytes;
        std::uint8_t buffer[256];
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n > 0)
            bytes.assign(buffer, buffer + n);
        return bytes;
    }
    void closeBoth()
    {
        for (int* fd : {&slave, &master}) {
            if (*fd >= 0)
                ::close(*fd);
            *fd = -1;
        }
    }

    int master = -1;
    int slave = -1;
    std::string path;

private:
    static void makeRaw(int fd)
    {
        termios tio {};
        if (fd >= 0 && tcgetattr(fd, &tio) == 0) {
            cfmakeraw(&tio);
            tcsetattr(fd, TCSANOW, &tio);
        }
    }
};

// A loopback TCP peer on its own thread: accepts one connection, then plays its script.
class LoopbackPeer
{
public:
    struct Step
    {
        enum Kind { Pause, Send, Urgent, Close } kind;
        int ms = 0;
        std::vector<std::uint8_t> bytes = {};
    };

    LoopbackPeer()
    {
        m_listen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const std::uint16_t bound = bindLoopback(m_listen);
        if (bound && ::listen(m_listen, 4) == 0)
            port = bound;
    }
    ~LoopbackPeer()
    {
        if (m_thread.joinable())
            m_thread.join();
        if (m_client >= 0)
            ::close(m_client);
        ::close(m_listen);
    }

    // Accepts the connection and plays the steps; returns at once.
    void play(std::vector<Step> steps)
    {
        m_thread = std::thread([this, steps = std::move(steps)] {
            m_client = ::accept(m_listen, nullptr, nullptr);
            const int one = 1;
            setsockopt(m_client, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
            for (const Step& step : steps) {
                switch (step.kind) {
                case Step::Pause:
                    std::this_thread::sleep_for(std::chrono::milliseconds(step.ms));
                    break;
                case Step::Send:
                    ::send(m_client, step.bytes.data(), step.bytes.size(), MSG_NOSIGNAL);
                    break;
                case Step::Urgent: {
                    const char byte = 0x55;
                    ::send(m_client, &byte, 1, MSG_OOB | MSG_NOSIGNAL);
                    break;
                }
                case Step::Close:
                    ::close(m_client);
                    m_client = -1;
                    break;
                }
            }
            m_done = true;
        });
    }
    bool done() const { return m_done; }
    // What the peer has received so far (after the script has finished).
    std::vector<std::uint8_t> receivedNow() const
    {
        std::vector<std::uint8_t> bytes;
        std::uint8_t buffer[256];
        ssize_t n = 0;
        while (m_client >= 0 && (n = ::recv(m_client, buffer, sizeof buffer, MSG_DONTWAIT)) > 0)
            bytes.insert(bytes.end(), buffer, buffer + n);
        return bytes;
    }

    std::uint16_t port = 0;

private:
    int m_listen = -1;
    int m_client = -1;
    std::atomic<bool> m_done {false};
    std::thread m_thread;
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
