#pragma once

#include "app/ctavrin_app.h"
#include "app/display_list.h"
#include "e2e_support.h"
#include "link/command_exchange.h"
#include "link/connection_keeper.h"
#include "link/connection_wait.h"
#include "platform/event_loop_waiter.h"
#include "platform/qt_lan_connection.h"
#include "platform/qt_serial_port.h"
#include "platform/steady_clock.h"
#include "tests/e2e/sim_runner.h"
#include "tests/fakes/fake_host_addresses.h"
#include "tests/fakes/fake_prompts.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

namespace ordalis::test {

// The real waiter, except that the long mandated pauses (the 5 s before a LAN auto setup) are
// recorded and cut short, so a test keeps to a few seconds.
class ShortPauseWaiter final : public EventLoopWaiter
{
public:
    using EventLoopWaiter::EventLoopWaiter;
    void pause(std::int64_t ms) override
    {
        if (ms >= kLongPauseMs)
            longPauses.push_back(ms);
        EventLoopWaiter::pause(ms >= kLongPauseMs ? kCutToMs : ms);
    }

    std::vector<std::int64_t> longPauses;

private:
    static constexpr std::int64_t kLongPauseMs = 3000;
    static constexpr std::int64_t kCutToMs = 20;
};

// Three displays whose brightness reads 3C, 3D and 3E.
inline sim::SimConfig chainOfThree(bool echo = false)
{
    sim::SimConfig config = sim::SimConfig::chain(3);
    config.displays[0].values["BRI"] = {0x3C};
    config.displays[1].values["BRI"] = {0x3D};
    config.displays[2].values["BRI"] = {0x3E};
    config.faults.echo = echo;
    return config;
}

// The application on the real serial port and sockets, talking to the in-process simulator.
// Message boxes are recorded, not shown.
class SimFixture : public SimRunner
{
public:
    static constexpr const char* kEarlierError = "earlier failure";
    static constexpr int kComPort = 120;

    SimFixture()
    {
        app.DataFolder = dataFolder.path();
        app.ShowErrorBoxes = false;
        app.LastErrorText = QString::fromLatin1(kEarlierError);
        // A number beyond the device table: only the simulator's link can name it, so a test
        // never reaches a real port of the machine.
        app.settings.ComPort.setBoth(kComPort);
        app.settings.TelnetPort.setBoth(23);
        app.settings.IpAddress.setBoth(QStringLiteral("127.0.0.1"));
    }
    ~SimFixture()
    {
        // Connections and the port go before the simulator does.
        app.DisplayList.clear();
        app.ComPortHandle.reset();
    }

    // Starts the simulator with the chain on a pseudo-terminal, linked where the port name
    // rule finds it.
    bool startSerial(sim::SimConfig config)
    {
        config.serial = true;
        config.linkPath
            = QDir(dataFolder.path()).filePath(QStringLiteral("ports/COM%1").arg(kComPort)).toStdString();
        return start(std::move(config));
    }

    // Starts the simulator with one module in front of the chain and connects to it (kind 1).
    bool startLan(sim::SimConfig config, ConnectionKind kind = ConnectionKind::Lan)
    {
        config.lan = sim::Endpoint {"127.0.0.1", 0};
        if (!start(std::move(config)))
            return false;
        app.ConnectionKind = std::uint8_t(kind);
        app.WallColumns = std::uint8_t(sim->displayCount());
        app.WallRows = 1;
        app.settings.TelnetPort.setBoth(sim->lanPort());
        return connect();
    }

    // Starts the simulator with one module per display, display k at 127.0.0.k (kind 2).
    bool startLanEach(sim::SimConfig config)
    {
        config.lanEach = sim::Endpoint {"127.0.0.1", 0};
        if (!start(std::move(config)))
            return false;
        app.ConnectionKind = std::uint8_t(ConnectionKind::LanEach);
        app.WallColumns = std::uint8_t(sim->displayCount());
        app.WallRows = 1;
        for (int k = 1; k <= sim->displayCount(); ++k)
            app.IpTable[std::size_t(k) - 1] = QString::fromStdString(sim->lanEachAddress(k));
        app.settings.TelnetPort.setBoth(sim->lanEachPort());
        return connect();
    }

    // What the connection keeper does on the home page's timer, then the event loop until
    // every connection has its outcome.
    bool keepConnections()
    {
        keeper.LanWatchdog();
        return waitForConnections(app, 3000);
    }

    QTemporaryDir dataFolder;
    SteadyClock clock;
    ShortPauseWaiter waiter {clock};
    FakePrompts prompts;
    QtSerialPortFactory serialPorts {waiter};
    QtLanConnectionFactory lanConnections {waiter};
    FakeHostAddresses hosts;
    CTavrinApp app {Services {&clock, &waiter, &prompts, &serialPorts, &lanConnections, &hosts}};
    CommandExchange exchange {app};
    ConnectionKeeper keeper {app};

private:
    bool connect()
    {
        BuildDisplayList(app);
        return keepConnections();
    }
};

} // namespace ordalis::test
