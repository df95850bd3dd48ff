#include "cli_run.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace ordalis::test {
namespace {

const QString kDataDir = QStringLiteral(ORDALIS_TEST_DATA_DIR "/backup/");

struct ListingCase
{
    QStringList options;
    std::vector<std::pair<std::size_t, std::string>> lines; // line number, exact text
};

TEST(CliCommands, ListsTheCatalogueForTheModelRow)
{
    const ListingCase cases[] = {
        {{},
            {{0, "0\tPOW\trw"}, {14, "14\tCCT\trw"}, {16, "16\t---\trw"}, {20, "20\t---\tw"},
                {29, "29\tRCU\tw"}, {32, "32\tSER\tr"}, {36, "36\t---\trw"}, {54, "54\t---\trw"}}},
        {{"--model", "4"},
            {{0, "0\tPOW\trw"}, {14, "14\tCCT\trw"}, {16, "16\tPHA\trw"}, {20, "20\tADJ\tw"},
                {36, "36\tFMS\trw"}, {49, "49\tDID\trw"}, {54, "54\tATT\trw"}}},
        {{"--model=1"}, {{16, "16\t---\trw"}, {37, "37\tRXY\tr"}, {49, "49\t---\trw"}}},
        {{"--model", "6"}, {{19, "19\tVER\trw"}, {38, "38\tVOL\trw"}}},
    };
    for (const auto& c : cases) {
        const CliRun run = runCli(c.options + QStringList {"commands"});
        ASSERT_EQ(run.exitCode, 0) << c.options.join(' ').toStdString();
        const auto lines = run.lines();
        ASSERT_EQ(lines.size(), 55u);
        for (const auto& [number, text] : c.lines) {
            EXPECT_EQ(lines[number], text) << c.options.join(' ').toStdString();
        }
        EXPECT_TRUE(run.err.empty());
    }
}

TEST(CliHelp, PrintsTheHelpTextWithRealLineBreaks)
{
    struct Case
    {
        QStringList args;
        std::string out;
    };
    const Case cases[] = {
        {{"help", "RCU"},
            "RCU (52 43 55): Remote key control (0:MENU, 1:INFO, 2:UP, 3:DOWN, 4:LEFT, 5:RIGHT, 6:ENTER, "
            "7:EXIT)\n"},
        {{"--model", "1", "help", "RCU"},
            "RCU (52 43 55): Remote key control (0:MENU, 1:INFO, 2:UP, 3:DOWN, 4:LEFT, 5:RIGHT, 6:ENTER, "
            "7:EXIT)\n"},
        {{"--model", "2", "help", "RCU"},
            "RCU (52 43 55): Remote key control (0:MENU, 1:INFO, 2:UP, 3:DOWN, 4:LEFT, 5:RIGHT, 6:ENTER, "
            "7:EXIT, "
            "8:VGA, 9:DVI, 10:HDMI1, 11:HDMI2, 12:DisplayPort, 18:SOURCE, 19:P-SOURCE, 20:PIP, "
            "21:P-POSITION, "
            "22:SWAP, 23:SCALING, 24:FREEZE, 25:MUTE, 26:BRIGHT, 27:CONTRAST, 28:AUTO, 29:VOLUME+, "
            "30:VOLUME-)\n"
            "Example:\n"
            "Send [Menu] key to all Display. ==> 07 00 02 52 43 55 00 08\n"},
        {{"help", "blc"},
            "BLC (42 4C 43): Backlight On/Off control. (0:Off, 1:On)\n"
            "Example:\n"
            "Turn backlight off for all Display.\n"
            "==>07 00 02 42 4C 43 00 08\n"},
        {{"--model", "5", "help", "POD"},
            "POD (50 4F 44): Integral part of Power On Delay (0~30 mapping to OSD 0, 1, 2, \xE2\x80\xA6, 30 "
            "sec).\n"
            "Example:\n"
            "Adjust the Integral part of Power on delay to 20 seconds for the Display (Monitor ID=0x11).\n"
            "==>07 11 02 50 4F 44 14 08\n"},
    };
    for (const auto& c : cases) {
        const CliRun run = runCli(c.args);
        EXPECT_EQ(run.exitCode, 0) << c.args.join(' ').toStdString();
        EXPECT_EQ(run.out, c.out) << c.args.join(' ').toStdString();
    }
}

TEST(CliBackupInfo, GoodFiles)
{
    const CliRun one = runCli({"backup-info", kDataDir + "one_display.bin"});
    EXPECT_EQ(one.exitCode, 0);
    EXPECT_EQ(one.out,
        "0\tID=1\tSER=\"SN0A1B2C3D4E5\"\tMNA=\"VW55-A1      "
        "\"\tMIN=9\tSCM=0\tCON=50\tBRL=50\tSHA=12\tHUE=50\t"
        "SAT=50\tBRI=80\tGAC=1\tVWM=0\tCCT=33\tUSR=128\tUSG=128\tUSB=128\tUOR=50\tUOG=50\tUOB=50\tVWS=1\tPOD="
        "2\t"
        "POE=3\tVDL=1\tVWF=1\tMAT=0x32\tDIV=0x11\tCHK=0xCC\n");
    EXPECT_TRUE(one.err.empty());

    const CliRun wall = runCli({"backup-info", kDataDir + "wall_25.bin"});
    EXPECT_EQ(wall.exitCode, 0);
    const auto lines = wall.lines();
    ASSERT_EQ(lines.size(), 25u);
    EXPECT_TRUE(lines[24].starts_with("24\tID=25\tSER=\"SN00000001024\"\tMNA=")) << lines[24];
}

TEST(CliBackupInfo, BadFiles)
{
    struct Case
    {
        QString path;
        std::string err;
        std::size_t lines; // records still printed
    };
    const Case cases[] = {
        {kDataDir + "missing.bin", "File could not be opened!\n", 0},
        {kDataDir, "File could not be opened!\n", 0},
        {kDataDir + "make_vectors.py", "File format error!\n", 0},
        {kDataDir + "bad_check.bin", "File format error!\n", 2},
    };
    for (const auto& c : cases) {
        const CliRun run = runCli({"backup-info", c.path});
        EXPECT_EQ(run.exitCode, 1) << c.path.toStdString();
        EXPECT_EQ(run.err, c.err) << c.path.toStdString();
        EXPECT_EQ(run.lines().size(), c.lines) << c.path.toStdString();
    }
    // The record whose check failed says so.
    const auto lines = runCli({"backup-info", kDataDir + "bad_check.bin"}).lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(lines[0].ends_with("\tCHK=0xCC"));
    EXPECT_TRUE(lines[1].ends_with("\tCHK=0x76 (expected 0xA9)"));
}

TEST(CliUsage, ErrorsExitWithTwo)
{
    const QStringList cases[] = {
        {},
        {"frobnicate"},
        {"help"},
        {"help", "XYZ"},
        {"help", "COT"},
        {"help", "POWER"},
        {"help", "POW", "BRI"},
        {"commands", "extra"},
        {"backup-info"},
        {"--model", "7", "commands"},
        {"--model", "-1", "commands"},
        {"--model", "2x", "commands"},
        {"--model"},
        {"--colour", "commands"},
        {"commands", "--model", "2"}, // options go before the command
        {"--lan", "127.0.0.1", "commands"},
        {"--top-left", "backup-info", "x.bin"},
        {"--wall"},
    };
    for (const auto& args : cases) {
        const CliRun run = runCli(args);
        EXPECT_EQ(run.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(run.out.empty()) << args.join(' ').toStdString();
        EXPECT_FALSE(run.err.empty()) << args.join(' ').toStdString();
    }
}

TEST(CliUsage, HelpForTheToolAndEachCommand)
{
    const char* linkAndWall[]
        = {"--serial DEVICE|COMN", "--lan HOST[:PORT]", "--wifi HOST[:PORT]", "--lan-each HOST[:PORT],...",
            "--lan-type usr|build-in", "--wall CxR", "--bottom-left, --top-left", "--model ROW"};
    const CliRun tool = runCli({"--help"});
    EXPECT_EQ(tool.exitCode, 0);
    EXPECT_TRUE(tool.out.starts_with("Usage: ordalis-cli [OPTIONS] COMMAND [ARGS]\n")) << tool.out;
    for (const char* name : {"auto-setup", "backup-info", "commands", "discover", "help", "power", "read",
             "read-all", "send", "status", "write"})
        EXPECT_NE(tool.out.find(std::string("\n  ") + name + " "), std::string::npos) << name;
    for (const char* option : linkAndWall)
        EXPECT_NE(tool.out.find(std::string("\n  ") + option + " "), std::string::npos) << option;

    struct Case
    {
        QString name;
        std::string usage;
        std::vector<std::string> options; // besides the link and wall options
        bool takesLink;
    };
    const Case commands[] = {
        {"backup-info", "Usage: ordalis-cli [--model ROW] backup-info FILE\n", {}, false},
        {"commands", "Usage: ordalis-cli [--model ROW] commands\n", {}, false},
        {"help", "Usage: ordalis-cli [--model ROW] help CODE\n", {}, false},
        {"write", "Usage: ordalis-cli [OPTIONS] write TARGET CODE VALUE LINK [--json]\n", {"--json"}, true},
        {"read", "Usage: ordalis-cli [OPTIONS] read TARGET CODE LINK [--json]\n", {"--json"}, true},
        {"read-all", "Usage: ordalis-cli [OPTIONS] read-all CODE LINK [--max N] [--size N] [--json]\n",
            {"--max N", "--size N", "--json"}, true},
        {"send", "Usage: ordalis-cli [OPTIONS] send HEXBYTES... LINK [--listen MS] [--json]\n",
            {"--listen MS", "--json"}, true},
        {"power", "Usage: ordalis-cli [OPTIONS] power on|off LINK [--wait]\n", {"--wait"}, true},
        {"auto-setup", "Usage: ordalis-cli [OPTIONS] auto-setup LINK [--sort-only]\n", {"--sort-only"}, true},
        {"status", "Usage: ordalis-cli [OPTIONS] status LINK [--watch]\n", {"--watch"}, true},
        {"discover",
            "Usage: ordalis-cli [--model ROW] discover [--lan-type usr|build-in] [--port PORT] [--local "
            "ADDRESS,...]\n",
            {"--lan-type usr|build-in", "--port PORT", "--local ADDRESS,..."}, false},
    };
    for (const Case& c : commands) {
        const CliRun run = runCli({c.name, "--help"});
        EXPECT_EQ(run.exitCode, 0) << c.name.toStdString();
        EXPECT_TRUE(run.out.starts_with(c.usage)) << run.out;
        for (const std::string& option : c.options)
            EXPECT_NE(run.out.find("\n  " + option + " "), std::string::npos)
                << c.name.toStdString() << option;
        for (const std::string option : linkAndWall) {
            const bool own = std::find(c.options.begin(), c.options.end(), option) != c.options.end();
            const bool listed = run.out.find("\n  " + option + " ") != std::string::npos;
            EXPECT_EQ(listed, c.takesLink || own) << c.name.toStdString() << option;
        }
    }
}

} // namespace
} // namespace ordalis::test
