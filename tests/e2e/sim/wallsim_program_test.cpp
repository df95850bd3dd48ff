#include "tests/e2e/sim/sim_peer.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <unistd.h>

namespace ordalis::sim {
namespace {

using test::Peer;

// ordalis-wallsim run as a script would: flags in, one ready line per endpoint out.
class Program
{
public:
    ~Program()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(2000);
        }
    }

    // Starts it and collects the lines up to "ready"; false when it ended first.
    bool start(const QStringList& arguments)
    {
        m_process.start(QStringLiteral(ORDALIS_WALLSIM_PATH), arguments);
        if (!m_process.waitForStarted(5000)) {
            return false;
        }
        QDeadlineTimer deadline(5000);
        while (!m_lines.contains("ready")) {
            while (m_process.canReadLine()) {
                m_lines << QString::fromUtf8(m_process.readLine()).trimmed();
            }
            if (m_lines.contains("ready") || !m_process.waitForReadyRead(int(deadline.remainingTime()))) {
                break;
            }
        }
        return m_lines.contains("ready");
    }

    // The value of the ready line that starts with 'head' ("lan 127.0.0.1:40111" -> "127.0.0.1:40111").
    QString line(const QString& head) const
    {
        for (const QString& l : m_lines) {
            if (l.startsWith(head + ' ')) {
                return l.mid(head.size() + 1);
            }
        }
        return {};
    }
    const QStringList& lines() const { return m_lines; }
    qint64 pid() const { return m_process.processId(); }

    // Sends SIGTERM and returns the exit code, -1 when it did not end normally.
    int terminate()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(5000) || m_process.exitStatus() != QProcess::NormalExit) {
            return -1;
        }
        return m_process.exitCode();
    }

private:
    QProcess m_process;
    QStringList m_lines;
};

struct Finished
{
    int exitCode = -1;
    QString out;
    QString err;
};

Finished runToEnd(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral(ORDALIS_WALLSIM_PATH), arguments);
    Finished run;
    if (process.waitForFinished(5000) && process.exitStatus() == QProcess::NormalExit) {
        run.exitCode = process.exitCode();
        run.out = QString::fromUtf8(process.readAllStandardOutput());
        run.err = QString::fromUtf8(process.readAllStandardError());
    }
    return run;
}

int portOf(const QString& endpoint)
{
    return endpoint.section(':', -1).toInt();
}

TEST(WallsimProgram, HelpDocumentsEveryFlag)
{
    const Finished run = runToEnd({"--help"});
    ASSERT_EQ(run.exitCode, 0);
    for (const char* flag : {"--serial", "--link PATH", "--lan [ADDR:]PORT", "--lan-each ADDR:PORT",
             "--udp [ADDR]", "--udp-port PORT", "--echo", "--latency MS", "--latency-step MS", "--no-pacing",
             "--silent POS,...", "--off POS,...", "--split N", "--split-pause MS", "--slow MS|POS:MS",
             "--garbage", "--garbage-every N", "--drop-after N", "--refuse", "--displays N", "--ids A,B,...",
             "--set POS:CODE=HEX", "--model-name POS:TEXT", "--serial-number POS:TEXT", "--project N",
             "--table-version N", "--scenario FILE", "--log FILE", "--div-arrange-addressed",
             "--exit-with-parent", "--help"}) {
        EXPECT_TRUE(
            run.out.contains(QRegularExpression("\\n  " + QRegularExpression::escape(flag) + " +\\S")))
            << flag << "\n"
            << run.out.toStdString();
    }
}

TEST(WallsimProgram, RefusesBadFlagsWithAReason)
{
    const std::pair<QStringList, QString> cases[] = {
        {{"--displays", "3"}, "ordalis-wallsim: nothing to serve: no serial, LAN or UDP endpoint\n"},
        {{"--serial", "--bogus"}, "ordalis-wallsim: unknown flag --bogus (see --help)\n"},
        {{"--serial", "--set", "2:BRI=3C"},
            "ordalis-wallsim: --set: no display at position 2 (the chain has 1)\n"},
    };
    for (const auto& [arguments, error] : cases) {
        const Finished run = runToEnd(arguments);
        EXPECT_NE(run.exitCode, 0) << arguments.join(' ').toStdString();
        EXPECT_EQ(run.err, error);
        EXPECT_TRUE(run.out.isEmpty());
    }
}

TEST(WallsimProgram, ServesAWallUntilTerminated)
{
    QTemporaryDir folder;
    const QString log = folder.filePath("traffic.log");
    Program sim;
    ASSERT_TRUE(sim.start({"--displays", "9", "--serial", "--lan", "127.0.0.1:0", "--set", "5:BRI=3C",
        "--log", log, "--exit-with-parent"}))
        << sim.lines().join('\n').toStdString();
    ASSERT_EQ(sim.lines().size(), 3);
    EXPECT_TRUE(sim.lines()[0].startsWith("serial /dev/pts/"));
    EXPECT_TRUE(sim.lines()[1].startsWith("lan 127.0.0.1:"));

    Peer serial = Peer::serial(sim.line("serial").toStdString());
    ASSERT_TRUE(serial.valid());
    serial.send("07 05 01 42 52 49 08");
    EXPECT_EQ(serial.readHex(8), "07 05 00 42 52 49 3C 08");

    Peer lan = Peer::tcp("127.0.0.1", portOf(sim.line("lan")));
    ASSERT_TRUE(lan.valid());
    lan.send("07 09 02 50 4F 57 00 08");
    EXPECT_EQ(lan.readHex(8), "07 09 00 50 4F 57 00 08");
    serial.send("07 09 01 42 52 4C 08");
    EXPECT_EQ(serial.quietFor(200), "");

    EXPECT_EQ(sim.terminate(), 0);
    QFile file(log);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QStringList lines = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    // The port's opening comes in its own order beside the frames.
    const QRegularExpression portUse(" serial event \\| port opened$");
    EXPECT_EQ(lines.filter(portUse).size(), 1);
    lines.removeIf([&](const QString& l) { return l.contains(portUse); });
    const QStringList wanted = {"serial pc 07 05 01 42 52 49 08 | read BRI from 5",
        "serial d5 07 05 00 42 52 49 3C 08 | reply BRI=3C from 5",
        "lan event | connected from 127.0.0.1:", "lan pc 07 09 02 50 4F 57 00 08 | write POW=00 to 9",
        "lan d9 07 09 00 50 4F 57 00 08 | reply POW=00 from 9",
        "serial pc 07 09 01 42 52 4C 08 | read BRL from 9"};
    ASSERT_EQ(lines.size(), wanted.size()) << lines.join('\n').toStdString();
    for (int i = 0; i < lines.size(); ++i) {
        EXPECT_TRUE(
            lines[i].contains(QRegularExpression("^\\d+\\.\\d{3} " + QRegularExpression::escape(wanted[i]))))
            << lines[i].toStdString();
    }
}

TEST(WallsimProgram, ReadsAScenarioFile)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("wall.json");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(R"({"wall": {"columns": 2, "rows": 2, "arranged": true, "firstDisplay": "bottom-left"},
                  "displays": [{}, {"modelName": "KV-430", "values": {"RTT": "2A"}}],
                  "faults": {"off": [4]}})");
    file.close();
    Program sim;
    ASSERT_TRUE(sim.start({"--scenario", path, "--lan", "0", "--no-pacing"}));
    Peer pc = Peer::tcp("127.0.0.1", portOf(sim.line("lan")));
    ASSERT_TRUE(pc.valid());
    pc.send("07 00 01 44 49 56 08");
    EXPECT_EQ(pc.readHex(24), "07 01 00 44 49 56 12 08 07 02 00 44 49 56 22 08 07 03 00 44 49 56 21 08");
    pc.send("07 02 01 4D 4E 41 08");
    EXPECT_EQ(pc.readHex(20), "07 02 00 4D 4E 41 4B 56 2D 34 33 30 20 20 20 20 20 20 20 08");
    pc.send("07 02 01 52 54 54 08");
    EXPECT_EQ(pc.readHex(8), "07 02 00 52 54 54 2A 08");
    pc.send("07 04 01 50 4F 57 08");
    EXPECT_EQ(pc.readHex(8), "07 04 00 50 4F 57 00 08");
    EXPECT_EQ(sim.terminate(), 0);
}

// A simulator that waits must sleep: its CPU time barely moves while nothing is asked.
TEST(WallsimProgram, SleepsWhileIdle)
{
    Program sim;
    ASSERT_TRUE(sim.start({"--displays", "25", "--serial", "--lan", "0", "--lan-each", "127.0.6.11:0",
        "--udp", "127.0.6.255", "--udp-port", "0"}));
    Peer serial = Peer::serial(sim.line("serial").toStdString());
    Peer lan = Peer::tcp("127.0.0.1", portOf(sim.line("lan")));
    ASSERT_TRUE(serial.valid() && lan.valid());
    serial.send("07 00 01 50 4F 57 08");
    EXPECT_EQ(serial.read(25 * 8).size(), 25u * 8);

    auto cpuTicks = [&] {
        QFile stat(QString("/proc/%1/stat").arg(sim.pid()));
        if (!stat.open(QIODevice::ReadOnly)) {
            return -1L;
        }
        // utime and stime are fields 14 and 15; the name in field 2 is in parentheses.
        const QStringList fields
            = QString::fromUtf8(stat.readAll()).section(')', -1).split(' ', Qt::SkipEmptyParts);
        return fields.value(11).toLong() + fields.value(12).toLong();
    };
    const long before = cpuTicks();
    QThread::msleep(1000);
    const long after = cpuTicks();
    ASSERT_GE(before, 0);
    EXPECT_LE(after - before, sysconf(_SC_CLK_TCK) / 20) << "ticks used in one idle second";
    EXPECT_EQ(sim.terminate(), 0);
}

} // namespace
} // namespace ordalis::sim
