#pragma once

// A serial port with the far end of its line, one class per implementation, each with the same
// few operations so that one suite runs over all of them. arriveAfter(0, ...) and hangUpAfter(0)
// have taken effect when they return; later ones happen while the port waits.
#include "e2e_support.h"
#include "platform/event_loop_waiter.h"
#include "platform/qt_serial_port.h"
#include "platform/steady_clock.h"
#include "tests/fakes/fake_clock.h"
#include "tests/fakes/fake_serial_line.h"
#include "tests/fakes/virtual_waiter.h"
#include "tests/support/hex_bytes.h"

#include <QObject>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

namespace ordalis::test {

inline ReadResult readPort(SerialPort& port, std::size_t size, std::int64_t deadlineMs)
{
    ReadResult read;
    read.bytes.resize(size);
    read.result = port.read(read.bytes, deadlineMs);
    read.bytes.resize(read.result > 0 ? std::size_t(read.result) : 0);
    return read;
}

// The scripted line on virtual time.
class FakeSerialWorld
{
public:
    static constexpr const char* kName = "FakeSerialLine";
    // How long after its deadline or its event a wait may end.
    static constexpr std::int64_t kLateMs = 0;

    bool open() { return m_port->open(QStringLiteral("/dev/ttyCONTRACT"), 128, 256); }
    SerialPort& port() { return *m_port; }
    ReadResult read(std::size_t size, std::int64_t deadlineMs) { return readPort(*m_port, size, deadlineMs); }
    void arriveAfter(std::int64_t ms, Bytes bytes) { m_line.arriveAt(now() + ms, std::move(bytes)); }
    void hangUpAfter(std::int64_t ms) { m_line.hangUpAt(now() + ms); }
    Bytes farEndReceived(std::size_t) const
    {
        Bytes all;
        for (const ReceivedFrame& frame : m_line.writes())
            all.insert(all.end(), frame.bytes.begin(), frame.bytes.end());
        return all;
    }
    std::int64_t now() const { return m_clock.nowMs(); }

private:
    FakeClock m_clock;
    VirtualWaiter m_waiter {m_clock};
    FakeSerialLine m_line {m_clock, m_waiter};
    std::unique_ptr<SerialPort> m_port = m_line.create();
};

// The real port on a pseudo-terminal whose master the world plays. What happens later is
// done by timers, which fire inside the waiter's event loop as the line's own events would.
class PtySerialWorld
{
public:
    static constexpr const char* kName = "QtSerialPortOnPty";
    static constexpr std::int64_t kLateMs = 100;

    bool open() { return m_pty.ok() && m_port.open(QString::fromStdString(m_pty.path), 128, 256); }
    SerialPort& port() { return m_port; }
    ReadResult read(std::size_t size, std::int64_t deadlineMs) { return readPort(m_port, size, deadlineMs); }
    void arriveAfter(std::int64_t ms, Bytes bytes)
    {
        if (ms == 0)
            EXPECT_TRUE(m_pty.sendAndWaitHeld(bytes));
        else
            later(ms, [this, bytes] { m_pty.send(bytes); });
    }
    void hangUpAfter(std::int64_t ms)
    {
        if (ms == 0)
            m_pty.hangUp();
        else
            later(ms, [this] { m_pty.hangUp(); });
    }
    Bytes farEndReceived(std::size_t count) const { return m_pty.received(count); }
    std::int64_t now() const { return m_clock.nowMs(); }

private:
    void later(std::int64_t ms, std::function<void()> work)
    {
        QTimer::singleShot(std::chrono::milliseconds(ms), Qt::PreciseTimer, &m_timers, std::move(work));
    }

    RawPty m_pty;
    SteadyClock m_clock;
    EventLoopWaiter m_waiter {m_clock};
    QtSerialPort m_port {m_waiter};
    QObject m_timers; // first to go: no timer outlives the pseudo-terminal
};

} // namespace ordalis::test
