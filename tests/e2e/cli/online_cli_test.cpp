// ordalis-cli's online commands against the simulator, over a pseudo-terminal and loopback TCP.
#include "cli_run.h"
#include "cli_sim_fixture.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>

namespace ordalis::test {
namespace {

using ordalis::sim::SimConfig;

// Three displays answering BRI with 60, 61, 62 and SER with their serial numbers.
SimConfig chainOfThree()
{
    SimConfig config = SimConfig::chain(3);
    for (int i = 0; i < 3; ++i) {
        config.displays[std::size_t(i)].values["BRI"] = {std::uint8_t(0x3C + i)};
        const std::string serial = "SN000000000" + std::to_string(i + 1) + " ";
        config.displays[std::size_t(i)].values["SER"] = ordalis::sim::Bytes(serial.begin(), serial.end());
    }
    return config;
}

// One command line and what it must give.
struct Case
{
    QStringList args; // before the link options
    int exitCode;
    std::string out;
    std::string err;
};

class OnlineCli : public CliSimTest
{
protected:
    void check(const std::vector<Case>& cases, const QStringList& link)
    {
        for (const Case& c : cases) {
            const QStringList args = c.args + link;
            SCOPED_TRACE(args.join(' ').toStdString());
            const CliRun run = runCli(args);
            EXPECT_EQ(run.exitCode, c.exitCode);
            EXPECT_EQ(run.out, c.out);
            EXPECT_EQ(run.err, c.err);
        }
    }
};

// The same commands give the same output over every link.
const std::vector<Case> kEveryLink = {
    {{"write", "2", "BRL", "50"}, 0, "", ""},
    {{"read", "2", "BRL"}, 0, "50\n", ""},
    {{"read", "3", "bri"}, 0, "62\n", ""},
    // A raw target byte as a page passes it: all displays selected, display 3 chosen.
    {{"write", "0x83", "CON", "0x28"}, 0, "", ""},
    {{"read", "0x83", "CON"}, 0, "40\n", ""},
    {{"read-all", "BRI", "--max", "3"}, 0, "1 3C\n2 3D\n3 3E\n", ""},
    {{"read-all", "SER", "--max=2", "--size", "13"}, 0,
        "1 53 4E 30 30 30 30 30 30 30 30 30 31 20\n2 53 4E 30 30 30 30 30 30 30 30 30 32 20\n", ""},
    {{"read", "2", "BRI", "--json"}, 0, "{\"ok\":true,\"value\":61}\n", ""},
    {{"write", "all", "SHA", "12", "--json"}, 0, "{\"ok\":true}\n", ""},
    {{"read-all", "PJD", "--json"}, 0, "{\"ok\":true,\"replies\":[{\"id\":1,\"value\":\"18\"}]}\n", ""},
    {{"send", "07", "02", "01", "42", "52", "49", "08", "--listen", "300"}, 0, "07 02 00 42 52 49 3D 08\n",
        ""},
    {{"send", "0703014252490"}, 2, "",
        "ordalis-cli: HEXBYTES are pairs of hex digits, not '0703014252490'\n"
        "Try 'ordalis-cli --help'.\n"},
};

TEST_F(OnlineCli, SerialDevice)
{
    ASSERT_TRUE(start([] {
        SimConfig config = chainOfThree();
        config.serial = true;
        return config;
    }()));
    const QStringList link {"--serial", QString::fromStdString(sim->serialPath())};
    check(kEveryLink, link);
    EXPECT_EQ(sim->display(2).byteValue("BRL"), 50);
    for (int position = 1; position <= 3; ++position)
        EXPECT_EQ(sim->display(position).byteValue("SHA"), 12);
    // A display that is not on the chain.
    check(
        {{{"read", "9", "BRI"}, 1, "", "RS232 Not Ack !!\n"},
            {{"write", "9", "BRI", "1", "--json"}, 1, "{\"ok\":false,\"error\":\"RS232 Not Ack !!\"}\n", ""}},
        link);
}

// --trace shows the link's traffic on stderr: the frames both ways in hex, the deadline that ran
// out and each exchange's outcome; stdout keeps only the value.
TEST_F(OnlineCli, TraceShowsTheTraffic)
{
    ASSERT_TRUE(start([] {
        SimConfig config = chainOfThree();
        config.serial = true;
        return config;
    }()));
    const QString path = QString::fromStdString(sim->serialPath());
    const CliRun answered = runCli({"--trace", "read", "2", "BRI", "--serial", path});
    EXPECT_EQ(answered.exitCode, 0);
    EXPECT_EQ(answered.out, "61\n");
    // The reply is logged as its pieces come.
    for (const std::string& line : {std::string("ms: sent on the serial line 07 02 01 42 52 49 08"),
             std::string("ms: received 07 02 00\n"), std::string("ordalis.link: ReadValue BRI to 2 ok\n")})
        EXPECT_NE(answered.err.find(line), std::string::npos) << line << " in:\n" << answered.err;

    const CliRun silent = runCli({"--trace", "read", "9", "BRI", "--serial", path});
    EXPECT_EQ(silent.exitCode, 1);
    EXPECT_NE(silent.err.find("passed with 0 of 3 bytes"), std::string::npos) << silent.err;
    EXPECT_NE(silent.err.find("ReadValue BRI to 9 failed: RS232 Not Ack !!"), std::string::npos)
        << silent.err;
}

// COMN is found as the program finds it: the link in the data folder first.
TEST_F(OnlineCli, SerialPortNumber)
{
    QTemporaryDir data;
    SimConfig config = chainOfThree();
    config.linkPath = QDir(data.path()).filePath(QStringLiteral("ports/COM120")).toStdString();
    config.serial = true;
    ASSERT_TRUE(start(config));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("ORDALIS_DATA_DIR"), data.path());
    const CliRun run = runCli({"read", "1", "BRI", "--serial", "COM120"}, env);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "60\n");

    const CliRun missing = runCli({"read", "1", "BRI", "--serial", "COM121"}, env);
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err, "RS232 device is not ready !!\n");
}

TEST_F(OnlineCli, OneLanConnection)
{
    ASSERT_TRUE(start([] {
        SimConfig config = chainOfThree();
        config.lan = ordalis::sim::Endpoint {"127.0.0.1", 0};
        return config;
    }()));
    check(kEveryLink, {"--lan", lan()});
    check({{{"read", "1", "BRI"}, 0, "60\n", ""}}, {"--wifi", lan()});
}

TEST_F(OnlineCli, OneLanConnectionPerDisplay)
{
    ASSERT_TRUE(start([] {
        SimConfig config = chainOfThree();
        config.lanEach = ordalis::sim::Endpoint {"127.0.0.1", 0};
        return config;
    }()));
    const QStringList link {"--lan-each", lanEach()};
    check(
        {
            {{"write", "2", "BRL", "50"}, 0, "", ""},
            {{"read", "3", "BRI"}, 0, "62\n", ""},
            {{"read-all", "BRI", "--max", "3"}, 0, "1 3C\n2 3D\n3 3E\n", ""},
            {{"write", "all", "SHA", "12"}, 0, "", ""},
            {{"send", "07030142524908"}, 0, "07 03 00 42 52 49 3E 08\n", ""},
            // A CID to all displays names no display: the text shows the first display's address.
            {{"write", "all", "CID", "1"}, 1, "", "127.0.0.1 Not Ack !\n"},
            // A display beyond the wall fails the link check, which sets no text.
            {{"write", "4", "BRL", "50", "--wall", "3x1"}, 1, "",
                "the link could not carry the frame (no failure text)\n"},
        },
        link);
    EXPECT_EQ(sim->display(2).byteValue("BRL"), 50);
    for (int position = 1; position <= 3; ++position)
        EXPECT_EQ(sim->display(position).byteValue("SHA"), 12);
}

TEST_F(OnlineCli, RefusedLanConnection)
{
    ASSERT_TRUE(start([] {
        SimConfig config = chainOfThree();
        config.lan = ordalis::sim::Endpoint {"127.0.0.1", 0};
        config.faults.refuse = true;
        return config;
    }()));
    check({{{"read", "1", "BRI"}, 1, "", "127.0.0.1 connection fail!\n"}}, {"--lan", lan()});
}

TEST(OnlineCliUsage, ErrorsExitWithTwo)
{
    const QStringList cases[] = {
        {"read", "1", "BRI"},
        {"read", "1", "BRI", "--serial", "/dev/null", "--lan", "127.0.0.1"},
        {"read", "0", "BRI", "--serial", "/dev/null"},
        {"read", "101", "BRI", "--serial", "/dev/null"},
        {"read", "0x100", "BRI", "--serial", "/dev/null"},
        {"read", "1", "BR", "--serial", "/dev/null"},
        {"read", "1", "BRI", "extra", "--serial", "/dev/null"},
        {"write", "1", "BRL", "256", "--serial", "/dev/null"},
        {"write", "1", "BRL", "--serial", "/dev/null"},
        {"read", "1", "BRI", "--lan", "display.local"},
        {"read", "1", "BRI", "--lan", "127.0.0.1:0"},
        {"read", "1", "BRI", "--lan", "127.0.0.1", "--lan-type", "ssh"},
        {"read", "1", "BRI", "--lan-each", "127.0.0.1:23,127.0.0.2:24"},
        {"read", "1", "BRI", "--lan-each", "127.0.0.1,127.0.0.2", "--wall", "3x1"},
        {"read", "1", "BRI", "--serial", "/dev/null", "--wall", "16x1"},
        {"read", "1", "BRI", "--serial", "/dev/null", "--colour"},
        {"read", "1", "BRI", "--serial"},
        {"read-all", "BRI", "--size", "0", "--serial", "/dev/null"},
        {"read-all", "BRI", "--max", "many", "--serial", "/dev/null"},
        {"send", "--serial", "/dev/null"},
        {"send", "0G", "--serial", "/dev/null"},
        {"send", "07", "--listen", "-1", "--serial", "/dev/null"},
    };
    for (const auto& args : cases) {
        const CliRun run = runCli(args);
        EXPECT_EQ(run.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(run.out.empty()) << args.join(' ').toStdString();
        EXPECT_FALSE(run.err.empty()) << args.join(' ').toStdString();
    }
}

TEST(OnlineCliUsage, DeviceThatCannotBeOpened)
{
    const CliRun run = runCli({"write", "1", "BRL", "50", "--serial", "/nonexistent/tty"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "RS232 device is not ready !!\n");
}

} // namespace
} // namespace ordalis::test
