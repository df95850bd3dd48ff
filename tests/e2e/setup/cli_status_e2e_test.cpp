#include "sim/wall_sim.h"

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <gmock/gmock.h>

#include <sstream>

namespace ordalis::test {
namespace {

using testing::ElementsAre;

std::vector<std::string> lines(const QByteArray& text)
{
    std::vector<std::string> out;
    std::istringstream in(text.toStdString());
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

sim::Bytes text13(const char* text)
{
    sim::Bytes bytes(13, ' ');
    for (std::size_t i = 0; text[i]; ++i)
        bytes[i] = std::uint8_t(text[i]);
    return bytes;
}

// ordalis-cli status against a chain of three whose second display is off.
TEST(CliStatus, PrintsTheDialogsTable)
{
    QTemporaryDir folder;
    sim::SimConfig config = sim::SimConfig::chain(3);
    config.serial = true;
    config.linkPath = folder.filePath(QStringLiteral("chain")).toStdString();
    config.displays[1].powered = false;
    std::map<std::string, sim::Bytes>& first = config.displays[0].values;
    first["SER"] = text13("SN0001");
    first["MNA"] = text13("KV-650");
    first["DIV"] = {0x21};
    first["MIN"] = {13};
    first["RTT"] = {0xFB};
    first["RSF"] = {40};
    first["RS2"] = {0};
    first["ERR"] = {0x34, 0x12, 0, 0};
    first["LMT"] = {0x2D, 0, 0, 0, 0x3D, 0, 0, 0};
    first["OTT"] = {0x3C, 0, 0, 0};
    first["OTS"] = {0x3D, 0, 0, 0};
    sim::WallSim sim(config);
    ASSERT_TRUE(sim.start()) << sim.errorText();

    QProcess cli;
    cli.start(QStringLiteral(ORDALIS_CLI_PATH),
        {"--model", "2", "--serial", QString::fromStdString(config.linkPath), "--wall", "3x1", "status"});
    ASSERT_TRUE(cli.waitForFinished(30000));
    EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    const std::string c = "\u2103";
    const std::vector<std::string> out = lines(cli.readAllStandardOutput());
    ASSERT_EQ(out.size(), 4u);
    EXPECT_EQ(out[0],
        "ID\tSN\tModel Name\tPower\tDiv.XY\tInput\tTemp.\tFan 1\tFan 2\tErr. Code\tMax. Temp.\tTotal "
        "Time\tOper. Time");
    EXPECT_EQ(out[1],
        "1\tSN0001\tKV-650\tOn\t(2,1)\tDP\t-5" + c + "\t1200rpm\t0rpm\t0x1234\t45" + c
            + "(1H1M)\t1H0M\t1H1M");
    EXPECT_EQ(out[2], "2\t\t\tOff\t--\t--\t--\t--\t--\t--\t--\t--\t--");
    EXPECT_THAT(out[3], testing::StartsWith("3\t"));
    EXPECT_THAT(out[3], testing::HasSubstr("\tOn\t"));
    EXPECT_THAT(lines(cli.readAllStandardError()),
        ElementsAre("Device searching...please wait", "Available display list: (3 devices are found)"));
}

} // namespace
} // namespace ordalis::test
