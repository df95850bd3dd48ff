#pragma once

// A LAN connection with the peer at its far end, one class per implementation, each with the same
// few operations so that one suite runs over all of them. peerSendsAfter(0, ...) and
// peerClosesAfter(0) have reached this end when they return; later ones happen while the
// connection waits or the event loop runs.
#include "e2e_support.h"
#include "platform/event_loop_waiter.h"
#include "platform/qt_lan_connection.h"
#include "platform/steady_clock.h"
#include "tests/fakes/fake_clock.h"
#include "tests/fakes/fake_lan_network.h"
#include "tests/fakes/virtual_waiter.h"
#include "tests/support/hex_bytes.h"

#include <QObject>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>

namespace ordalis::test {

// Records what the connection reports and, like the console's receive handler, takes every
// byte on a readable report. As the exchange's connections do, it holds what comes during a wait
// until the wait is over.
class Listener final : public LanConnectionListener
{
public:
    Listener(LanConnection& connection, Waiter& waiter) : m_connection(connection), m_waiter(waiter)
    {
        connection.setListener(this);
    }
    ~Listener() { m_waiter.forget(this); }
    void onConnected(int error) override { note("connected " + std::to_string(error)); }
    void onWritable() override { note("writable"); }
    void onReadable() override
    {
        m_waiter.deliver(this, [this] {
            events.push_back("readable");
            std::uint8_t buffer[256];
            std::int64_t n = 0;
            while ((n = m_connection.read(buffer)) > 0)
                taken.insert(taken.end(), buffer, buffer + n);
        });
    }
    void onOutOfBand() override { note("urgent"); }
    void onClosed() override { note("closed"); }
    bool saw(const std::string& event) const
    {
        return std::find(events.begin(), events.end(), event) != events.end();
    }
    // The connect attempt has its outcome: writable, or a failure.
    bool settled() const
    {
        return saw("writable") || std::any_of(events.begin(), events.end(), [](const std::string& e) {
            return e.starts_with("connected ") && e != "connected 0";
        });
    }

    std::vector<std::string> events;
    Bytes taken;

private:
    void note(std::string event)
    {
        m_waiter.deliver(this, [this, event] { events.push_back(event); });
    }

    LanConnection& m_connection;
    Waiter& m_waiter;
};

inline ReadResult readConnection(LanConnection& connection, std::size_t size)
{
    ReadResult read;
    read.bytes.resize(size);
    read.result = connection.read(read.bytes);
    read.bytes.resize(read.result > 0 ? std::size_t(read.result) : 0);
    return read;
}

// The scripted network on virtual time. The peer's later steps are the world's own scheduled
// events: the clock wakes a wait for them, and each step of a wait plays them before the
// connections' events, as the event loop would.
class FakeLanWorld
{
public:
    static constexpr const char* kName = "FakeLanNetwork";
    // How long after its deadline or its event a wait may end.
    static constexpr std::int64_t kLateMs = 0;

    FakeLanWorld()
    {
        m_network.peer(kAddress, kClosedPort).refuses = true;
        m_network.peer(kAddress, kPort); // accepting
        m_waiter.addDispatchHook(this, [this] { turn(); });
        m_clock.addWakeSource(this, [this](std::int64_t after) -> std::optional<std::int64_t> {
            for (const Step& step : m_steps) {
                if (step.atMs > after)
                    return step.atMs;
            }
            return std::nullopt;
        });
    }
    ~FakeLanWorld()
    {
        m_waiter.removeDispatchHook(this);
        m_clock.removeWakeSource(this);
    }

    // Each runs the events until the attempt has its outcome, and returns what was reported.
    std::vector<std::string> connect() { return connectTo(kAddress, kPort); }
    std::vector<std::string> connectRefused() { return connectTo(kAddress, kClosedPort); }
    std::vector<std::string> connectTo(const QString& address, std::uint16_t port)
    {
        m_connection->connectTo(address, port);
        runEventsUntil([this] { return m_listener.settled(); }, 5000);
        return std::exchange(m_listener.events, {});
    }

    LanConnection& connection() { return *m_connection; }
    Listener& listener() { return m_listener; }
    ReadResult read(std::size_t size) { return readConnection(*m_connection, size); }
    void peerSendsAfter(std::int64_t ms, Bytes bytes)
    {
        at(ms, [this, bytes] { m_network.peer(kAddress, kPort).pushNow(bytes); });
    }
    void peerClosesAfter(std::int64_t ms)
    {
        at(ms, [this] { m_network.peer(kAddress, kPort).closeNow(); });
    }
    Bytes peerReceived(std::size_t)
    {
        Bytes all;
        for (const ReceivedFrame& frame : m_network.peer(kAddress, kPort).received())
            all.insert(all.end(), frame.bytes.begin(), frame.bytes.end());
        return all;
    }
    std::int64_t now() const { return m_clock.nowMs(); }

    // Turns of the event loop on virtual time until done() or timeoutMs have passed.
    bool runEventsUntil(const std::function<bool()>& done, std::int64_t timeoutMs)
    {
        const std::int64_t deadline = now() + timeoutMs;
        for (;;) {
            turn();
            QCoreApplication::processEvents();
            if (done())
                return true;
            if (now() >= deadline)
                return false;
            m_clock.advanceTo(std::min(m_clock.nextWake().value_or(deadline), deadline));
        }
    }

private:
    static inline const QString kAddress = QStringLiteral("127.0.0.1");
    static constexpr std::uint16_t kPort = 2323;
    static constexpr std::uint16_t kClosedPort = 2324;

    struct Step
    {
        std::int64_t atMs;
        std::function<void()> work;
    };

    void at(std::int64_t ms, std::function<void()> work)
    {
        if (ms == 0) {
            work();
            return;
        }
        const std::int64_t atMs = now() + ms;
        const auto place = std::upper_bound(m_steps.begin(), m_steps.end(), atMs,
            [](std::int64_t t, const Step& step) { return t < step.atMs; });
        m_steps.insert(place, Step {atMs, std::move(work)});
    }
    void turn()
    {
        while (!m_steps.empty() && m_steps.front().atMs <= now()) {
            const std::function<void()> work = std::move(m_steps.front().work);
            m_steps.erase(m_steps.begin());
            work();
        }
        m_network.deliverEvents();
    }

    FakeClock m_clock;
    VirtualWaiter m_waiter {m_clock};
    FakeLanNetwork m_network {m_clock, m_waiter};
    std::vector<Step> m_steps; // by time
    std::unique_ptr<LanConnection> m_connection = m_network.create();
    Listener m_listener {*m_connection, m_waiter};
};

// The real connection against a loopback peer that the world plays. What happens later is
// done by timers, which fire inside the waiter's event loop as the socket's own events would.
class LoopbackLanWorld
{
public:
    static constexpr const char* kName = "QtLanConnectionOnLoopback";
    static constexpr std::int64_t kLateMs = 100;

    std::vector<std::string> connect()
    {
        std::vector<std::string> events = connectTo(QStringLiteral("127.0.0.1"), m_peer.port);
        EXPECT_TRUE(m_peer.accept());
        return events;
    }
    std::vector<std::string> connectRefused()
    {
        return connectTo(QStringLiteral("127.0.0.1"), m_closed.port);
    }
    std::vector<std::string> connectTo(const QString& address, std::uint16_t port)
    {
        m_connection.connectTo(address, port);
        runEventsUntil([this] { return m_listener.settled(); }, 5000);
        return std::exchange(m_listener.events, {});
    }

    LanConnection& connection() { return m_connection; }
    Listener& listener() { return m_listener; }
    LoopbackPeer& peer() { return m_peer; }
    ReadResult read(std::size_t size) { return readConnection(m_connection, size); }
    void peerSendsAfter(std::int64_t ms, Bytes bytes)
    {
        at(ms, [this, bytes] { EXPECT_TRUE(m_peer.send(bytes)); });
    }
    void peerClosesAfter(std::int64_t ms)
    {
        at(ms, [this] { EXPECT_TRUE(m_peer.close()); });
    }
    Bytes peerReceived(std::size_t count) { return m_peer.received(count); }
    std::int64_t now() const { return m_clock.nowMs(); }
    bool runEventsUntil(const std::function<bool()>& done, std::int64_t timeoutMs)
    {
        return test::runEventsUntil(done, int(timeoutMs));
    }

private:
    void at(std::int64_t ms, std::function<void()> work)
    {
        if (ms == 0)
            work();
        else
            QTimer::singleShot(std::chrono::milliseconds(ms), Qt::PreciseTimer, &m_timers, std::move(work));
    }

    SteadyClock m_clock;
    EventLoopWaiter m_waiter {m_clock};
    LoopbackPeer m_peer;
    ClosedPort m_closed;
    QtLanConnection m_connection {m_waiter};
    Listener m_listener {m_connection, m_waiter};
    QObject m_timers; // first to go: no timer outlives the peer
};

} // namespace ordalis::test
