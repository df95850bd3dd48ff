// The exchange over the real serial port and sockets against ordalis-wallsim, run as a process
// of its own so that this process's CPU time is the program's alone.
//
// Exchange times are reported without the pauses the exchange must keep (10 ms after a serial
// write, 100 ms after a LAN send): what is left is the program's own work plus the line. The
// simulator answers at once (--latency 0 --latency-step 0 --no-pacing).
// The waiting benchmarks time a read from a display that never answers and report the CPU time
// the process used while it waited, as a fraction of the wait.
#include "app/ctavrin_app.h"
#include "app/display_list.h"
#include "link/command_exchange.h"
#include "link/connection_keeper.h"
#include "link/connection_wait.h"
#include "platform/event_loop_waiter.h"
#include "platform/qt_lan_connection.h"
#include "platform/qt_serial_port.h"
#include "platform/steady_clock.h"
#include "tests/fakes/fake_host_addresses.h"
#include "tests/fakes/fake_prompts.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <sys/resource.h>

namespace {

using namespace ordalis;

// The real waiter, keeping count of the pauses asked of it.
class PauseCountingWaiter final : public EventLoopWaiter
{
public:
    using EventLoopWaiter::EventLoopWaiter;
    void pause(std::int64_t ms) override
    {
        if (ms > 0)
            m_paused += ms;
        EventLoopWaiter::pause(ms);
    }
    std::int64_t takePaused() { return std::exchange(m_paused, 0); }

private:
    std::int64_t m_paused = 0;
};

double cpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// ordalis-wallsim with three displays, the third silent.
class Simulator
{
public:
    explicit Simulator(const QStringList& endpoints)
    {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral(ORDALIS_WALLSIM_PATH),
            QStringList {"--displays", "3", "--silent", "3", "--set", "2:BRI=3C", "--latency", "0",
                "--latency-step", "0", "--no-pacing"}
                + endpoints);
        QByteArray out;
        while (!out.contains("ready\n") && m_process.waitForReadyRead(5000))
            out += m_process.readAllStandardOutput();
        for (const QByteArray& line : out.split('\n')) {
            const QList<QByteArray> words = line.split(' ');
            if (words.size() == 2 && words[0] == "serial")
                serialPath = QString::fromLatin1(words[1]);
            if (words.size() == 2 && words[0] == "lan")
                lanPort = words[1].mid(words[1].lastIndexOf(':') + 1).toInt();
        }
    }
    ~Simulator()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished();
    }

    QString serialPath;
    int lanPort = 0;

private:
    QProcess m_process;
};

// The application on the real link, message boxes recorded, reaching the simulator.
class Session
{
public:
    explicit Session(bool serial)
        : m_sim(serial ? QStringList {"--serial", "--link", portLink()} : QStringList {"--lan", "0"})
    {
        app.ShowErrorBoxes = false;
        app.DataFolder = m_data.path();
        app.settings.ComPort.setBoth(kComPort);
        if (serial)
            return;
        app.ConnectionKind = std::uint8_t(ConnectionKind::Lan);
        app.WallColumns = 3;
        app.WallRows = 1;
        app.settings.IpAddress.setBoth(QStringLiteral("127.0.0.1"));
        app.settings.TelnetPort.setBoth(m_sim.lanPort);
        BuildDisplayList(app);
        ConnectionKeeper(app).LanWatchdog();
        waitForConnections(app, 2000);
    }
    ~Session()
    {
        app.DisplayList.clear();
        app.ComPortHandle.reset();
    }
    bool ready() const
    {
        return app.ConnectionKind == 0 ? !m_sim.serialPath.isEmpty()
                                       : !app.DisplayList.empty() && app.DisplayList[0].connection
                && app.DisplayList[0].connection->state == CClientSocket::kStateWritable;
    }

    SteadyClock clock;
    PauseCountingWaiter waiter {clock};

private:
    static constexpr int kComPort = 120;
    QString portLink() const
    {
        return QDir(m_data.path()).filePath(QStringLiteral("ports/COM%1").arg(kComPort));
    }

    QTemporaryDir m_data;
    Simulator m_sim;
    FakePrompts m_prompts;
    QtSerialPortFactory m_serialPorts {waiter};
    QtLanConnectionFactory m_lanConnections {waiter};
    FakeHostAddresses m_hosts;

public:
    CTavrinApp app {Services {&clock, &waiter, &m_prompts, &m_serialPorts, &m_lanConnections, &m_hosts}};
    CommandExchange exchange {app};
};

enum class Op { Write, Read };

// Time of one exchange with display 2, less the pauses it must keep.
void exchangeTime(benchmark::State& state, bool serial, Op op)
{
    Session session(serial);
    if (!session.ready()) {
        state.SkipWithError("the simulator did not start");
        return;
    }
    std::uint8_t value = 0;
    std::int64_t paused = 0;
    session.waiter.takePaused(); // the connect's own pause is not the exchange's
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const bool ok = op == Op::Write ? session.exchange.WriteValue(2, "BRL", std::uint8_t(value + 1))
                                        : session.exchange.ReadValue(2, "BRI", value);
        const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
        const std::int64_t pauses = session.waiter.takePaused();
        paused += pauses;
        if (!ok) {
            state.SkipWithError(session.app.LastErrorText.toStdString().c_str());
            break;
        }
        state.SetIterationTime(std::max(0.0, spent.count() - double(pauses) / 1000.0));
    }
    state.counters["pauses_ms"] = benchmark::Counter(double(paused), benchmark::Counter::kAvgIterations);
}

// A read from the silent display: the whole deadline is waited out.
void waitingCpu(benchmark::State& state, bool serial)
{
    Session session(serial);
    if (!session.ready()) {
        state.SkipWithError("the simulator did not start");
        return;
    }
    double cpu = 0;
    double wall = 0;
    for (auto _ : state) {
        std::uint8_t value = 0;
        const double cpuBefore = cpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(session.exchange.ReadValue(3, "BRI", value));
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        cpu += cpuSeconds() - cpuBefore;
    }
    state.counters["wait_ms"] = benchmark::Counter(wall * 1000, benchmark::Counter::kAvgIterations);
    state.counters["cpu_ms"] = benchmark::Counter(cpu * 1000, benchmark::Counter::kAvgIterations);
    state.counters["cpu_per_wait"] = wall > 0 ? cpu / wall : 0;
}

void BM_SerialWriteValue(benchmark::State& state)
{
    exchangeTime(state, true, Op::Write);
}
void BM_SerialReadValue(benchmark::State& state)
{
    exchangeTime(state, true, Op::Read);
}
void BM_LanWriteValue(benchmark::State& state)
{
    exchangeTime(state, false, Op::Write);
}
void BM_LanReadValue(benchmark::State& state)
{
    exchangeTime(state, false, Op::Read);
}
void BM_SerialMissingReplyCpu(benchmark::State& state)
{
    waitingCpu(state, true);
}
void BM_LanMissingReplyCpu(benchmark::State& state)
{
    waitingCpu(state, false);
}

BENCHMARK(BM_SerialWriteValue)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(200);
BENCHMARK(BM_SerialReadValue)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(200);
BENCHMARK(BM_LanWriteValue)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(20);
BENCHMARK(BM_LanReadValue)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(20);
BENCHMARK(BM_SerialMissingReplyCpu)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LanMissingReplyCpu)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
