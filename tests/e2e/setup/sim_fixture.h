#pragma once

#include "app/ctavrin_app.h"
#include "app/display_list.h"
#include "link/lan_link.h"
#include "platform/fake_host_addresses.h"
#include "platform/fake_prompts.h"
#include "platform/qt_lan_connection.h"
#include "platform/qt_serial_port.h"
#include "platform/steady_clock.h"
#include "setup/auto_setup_steps.h"
#include "sim/wall_sim.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

namespace ordalis::test {

// Real time, except that the long mandated pauses (the 5 s before a LAN auto setup) are
// recorded and cut short, so a test keeps to a few seconds.
class ShortPauseClock final : public Clock
{
public:
    std::int64_t nowMs() const override { return m_clock.nowMs(); }
    void sleepMs(std::int64_t ms) override
    {
        if (ms >= kLongPauseMs)
            longPauses.push_back(ms);
        m_clock.sleepMs(ms >= kLongPauseMs ? kCutToMs : ms);
    }

    std::vector<std::int64_t> longPauses;

private:
    static constexpr std::int64_t kLongPauseMs = 3000;
    static constexpr std::int64_t kCutToMs = 20;
    SteadyClock m_clock;
};

// The application on the real serial port and sockets, talking to an in-process simulator.
class SimFixture
{
public:
    static constexpr int kComPort = 5;

    SimFixture()
    {
        app.DataFolder = folder.path();
        app.ShowErrorBoxes = false;
        app.settings.ComPort.setBoth(kComPort);
        app.settings.TelnetPort.setBoth(23);
        app.settings.ProjectId.setBoth(0);
        app.settings.DisplayModel.setBoth(0);
        hosts.addresses = {QStringLiteral("127.0.0.1")};
    }

    ~SimFixture()
    {
        app.DisplayList.clear();
        app.ComPortHandle.reset();
    }

    bool startSim(sim::SimConfig config)
    {
        m_sim = std::make_unique<sim::WallSim>(std::move(config));
        if (!m_sim->start()) {
            ADD_FAILURE() << m_sim->errorText();
            return false;
        }
        if (!m_sim->serialPath().empty()) {
            QDir(folder.path()).mkpath(QStringLiteral("ports"));
            QFile::link(QString::fromStdString(m_sim->serialPath()),
                folder.filePath(QStringLiteral("ports/COM%1").arg(kComPort)));
        }
        return true;
    }

    sim::WallSim& sim() { return *m_sim; }

    // Builds the display list for the kind and waits until every connection is usable.
    bool connectLan(ConnectionKind kind)
    {
        app.ConnectionKind = std::uint8_t(kind);
        BuildDisplayList(app);
        LanLink(app).ConnectDisplaySocket(0);
        const QDeadlineTimer deadline(3000);
        while (!deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            bool usable = true;
            for (IPixy& record : app.DisplayList)
                usable = usable && record.connection
                    && record.connection->state == CClientSocket::kStateWritable;
            if (usable) {
                for (IPixy& record : app.DisplayList)
                    record.status = 0;
                return true;
            }
        }
        return false;
    }

    // Runs the auto setup's steps as the progress box's ticks would, without the 500 ms
    // between them. True when the operation ended with success.
    bool runAutoSetup(std::uint8_t action)
    {
        app.PendingPowerAction = action;
        const TimedStepTable table = AutoSetupSteps::table();
        const TimedOperation& operation = AutoSetupSteps::operationFor(table, app);
        NoBar bar;
        std::uint8_t step = 0;
        for (int tick = 0; tick < 200; ++tick) {
            StepContext context {app, bar, step};
            if (RunTimedStep(operation, context))
                return context.ok;
            QCoreApplication::processEvents();
        }
        return false;
    }

    QTemporaryDir folder;
    ShortPauseClock clock;
    FakePrompts prompts;
    QtSerialPortFactory serialPorts {clock};
    QtLanConnectionFactory lanConnections {clock};
    FakeHostAddresses hosts;
    CTavrinApp app {Services {&clock, &prompts, &serialPorts, &lanConnections, &hosts}};

private:
    struct NoBar final : StepProgress
    {
        void advanceBar() override { }
    };
    std::unique_ptr<sim::WallSim> m_sim;
};

} // namespace ordalis::test
