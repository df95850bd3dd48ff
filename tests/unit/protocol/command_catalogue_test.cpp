#include "protocol/command_catalogue.h"
#include "protocol/page_commands.h"
#include "protocol/value_names.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>

namespace ordalis {
namespace {

// index, code, model rows offered, class
constexpr std::string_view kExpectedCatalogue = R"(
0 POW all rw
1 MIN all rw
2 BRI all rw
3 BRL all rw
4 BLC all rw
5 CON all rw
6 HUE all rw
7 SAT all rw
8 USR all rw
9 USG all rw
10 USB all rw
11 UOR all rw
12 UOG all rw
13 UOB all rw
14 CCT all rw
15 GAC all rw
16 PHA 2-6 rw
17 CLO 2-6 rw
18 HOR 2-6 rw
19 VER 2-6 rw
20 ADJ 2-6 w
21 SHA all rw
22 PSC all rw
23 PIN all rw
24 PPO all rw
25 SWA all rw
26 ASP all rw
27 ZOM all rw
28 BRA all rw
29 RCU all w
30 ALL all w
31 KLC all rw
32 SER all r
33 MNA all r
34 GVE all r
35 RTV all r
36 FMS 2-6 rw
37 RXY all r
38 VOL 2-6 rw
39 MUT 2-6 rw
40 SCM all rw
41 RTT all r
42 RSF all r
43 SID all r
44 CID all rw
45 VWS all rw
46 VWF all rw
47 MAT all rw
48 DIV all rw
49 DID 2-6 rw
50 POD all rw
51 POE all rw
52 WFS all rw
53 VWM all rw
54 ATT 2-6 rw
)";

TEST(CommandCatalogue, OrderCodesRowsAndClasses)
{
    std::istringstream in {std::string(kExpectedCatalogue)};
    std::size_t count = 0;
    int index = 0;
    std::string code, rows, cls;
    while (in >> index >> code >> rows >> cls) {
        ASSERT_LT(count, kCommandCatalogue.size());
        const CatalogueEntry& entry = kCommandCatalogue[count];
        EXPECT_EQ(entry.index, index);
        EXPECT_EQ(entry.code.text(), code) << index;
        EXPECT_EQ(entry.rows, rows == "all" ? ModelRows::All : ModelRows::Rows2To6) << code;
        EXPECT_EQ(commandClassTag(entry.commandClass), cls) << code;
        EXPECT_EQ(findCatalogueEntry(entry.code), &entry) << code;
        for (int row = 0; row < kDisplayModelRows; ++row) {
            const bool offered = rows == "all" || row >= 2;
            EXPECT_EQ(catalogueCell(entry, row), offered ? code : "---") << code << " row " << row;
        }
        ++count;
    }
    EXPECT_EQ(count, kCommandCatalogue.size());
}

TEST(CommandCatalogue, HelpStartsWithCodeAndItsHex)
{
    for (const CatalogueEntry& entry : kCommandCatalogue) {
        const std::string code = entry.code.text();
        char prefix[32];
        std::snprintf(prefix, sizeof prefix, "%s (%02X %02X %02X): ", code.c_str(), unsigned(code[0]),
            unsigned(code[1]), unsigned(code[2]));
        EXPECT_TRUE(entry.help.starts_with(prefix)) << entry.help;
    }
}

TEST(CommandCatalogue, CodesOutsideTheCatalogue)
{
    for (const CommandCode code :
        {CommandCode("COT"), CommandCode("PJD"), CommandCode("RS2"), CommandCode("XYZ")}) {
        EXPECT_EQ(findCatalogueEntry(code), nullptr) << code.text();
    }
}

TEST(CommandCatalogue, UnknownModelRowsOfferNothing)
{
    for (const int row : {-1, 7, 255}) {
        EXPECT_FALSE(isOfferedForModel(kCommandCatalogue[0], row)) << row;
        EXPECT_EQ(catalogueCell(kCommandCatalogue[0], row), "---") << row;
    }
}

TEST(CommandCatalogue, MultiLineHelpTexts)
{
    struct Case
    {
        CommandCode code;
        std::string_view text;
    };
    const Case cases[] = {
        {"POW",
            "POW (50 4F 57): Power On/Off control (0:Off, 1:On)\nExample:\nPower on the Display (Monitor "
            "ID=1).\n==>07 01 02 50 4F 57 01 08"},
        {"SID",
            "SID (53 49 44): Show monitor ID (0)\nShow the Monitor ID for all Display.\n==>07 00 02 53 49 44 "
            "00 08"},
        {"DIV",
            "DIV (44 49 56): Video wall division X/Y adjust  (Bit7~4: Division X, Bit3~0: Division Y). In "
            "broadcast "
            "setting mode, this command is used to auto arrange the Division X/Y (The Value Byte need to be "
            "0x11).\nExample:\nAuto arrange the Division X/Y for all Display.\n==>07 00 02 44 49 56 11 08"},
        {"POE",
            "POE (50 4F 45): Fractional part of Power On Delay (0~19 mapping to OSD 0, 0.05, 0.10, "
            "\xE2\x80\xA6, 0.95 "
            "sec).\nExample:\nAdjust the fractional part of Power on delay to 0.45 seconds for the Display "
            "(Monitor "
            "ID=0x11).\n==>07 11 02 50 4F 45 09 08"},
        {"KLC", "KLC (4B 4C 43): Key lock control (0:Un-luck keys, 1:Lock keys)"},
    };
    for (const auto& c : cases) {
        const CatalogueEntry* entry = findCatalogueEntry(c.code);
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->help, c.text);
        for (int row = 0; row < kDisplayModelRows; ++row) {
            EXPECT_EQ(helpTextForModel(*entry, row), c.text) << c.code.text() << " row " << row;
        }
    }
}

TEST(CommandCatalogue, RemoteKeyHelpIsCutForTheFirstFamily)
{
    const CatalogueEntry* rcu = findCatalogueEntry("RCU");
    ASSERT_NE(rcu, nullptr);
    const std::string_view cut = "RCU (52 43 55): Remote key control (0:MENU, 1:INFO, 2:UP, 3:DOWN, 4:LEFT, "
                                 "5:RIGHT, 6:ENTER, 7:EXIT)";
    EXPECT_EQ(helpTextForModel(*rcu, 0), cut);
    EXPECT_EQ(helpTextForModel(*rcu, 1), cut);
    for (int row = 2; row < kDisplayModelRows; ++row) {
        EXPECT_EQ(helpTextForModel(*rcu, row), rcu->help) << row;
    }
    EXPECT_TRUE(rcu->help.ends_with(
        "30:VOLUME-)\nExample:\nSend [Menu] key to all Display. ==> 07 00 02 52 43 55 00 08"));
}

TEST(ReplyValueLength, MultiByteRepliesAndTheRest)
{
    struct Case
    {
        CommandCode code;
        std::size_t length;
    };
    const Case cases[] = {{"SER", 13}, {"MNA", 13}, {"GVE", 6}, {"RXY", 25}, {"ERR", 4}, {"LMT", 8},
        {"OTT", 4}, {"OTS", 4}, {"POW", 1}, {"BSL", 1}, {"RS2", 1}, {"PJD", 1}};
    for (const auto& [code, length] : cases) {
        EXPECT_EQ(replyValueLength(code), length) << code.text();
    }
    for (const PageCommand& command : kPageCommands) {
        EXPECT_EQ(command.valueLength, replyValueLength(command.code)) << command.code.text();
    }
}

TEST(ValueNames, InputSources)
{
    struct Case
    {
        std::uint8_t value;
        int row;
        std::string_view name;
    };
    const Case cases[] = {{0, 0, "VGA"}, {1, 3, "DVI"}, {9, 0, "HDMI1"}, {10, 6, "HDMI2"}, {13, 0, "DP1"},
        {13, 1, "DP1"}, {13, 2, "DP"}, {13, 6, "DP"}, {14, 1, "OPS"}, {16, 2, "DP2"}, {5, 0, "TBD"},
        {2, 2, "TBD"}, {255, 0, "TBD"}};
    for (const auto& c : cases) {
        EXPECT_EQ(InputSourceName(c.value, c.row), c.name) << int(c.value) << " row " << c.row;
    }
}

TEST(ValueNames, Schemes)
{
    const std::string_view names[] = {"User", "Sport", "Game", "Cinema", "Vivid", "TBD"};
    for (std::uint8_t v = 0; v < 6; ++v) {
        EXPECT_EQ(SchemeName(v), names[v]);
    }
    EXPECT_EQ(SchemeName(255), "TBD");
}

TEST(ValueNames, ProjectFamilies)
{
    struct Case
    {
        int projectId;
        bool extended;
        bool kelvin;
    };
    const Case cases[] = {{19, false, false}, {20, true, false}, {21, true, false}, {22, true, true},
        {26, true, true}, {27, false, false}, {47, false, false}, {48, true, false}, {49, false, false},
        {0, false, false}, {24, true, true}};
    for (const auto& c : cases) {
        EXPECT_EQ(IsExtendedProject(c.projectId), c.extended) << c.projectId;
        EXPECT_EQ(UsesKelvinColorTemp(c.projectId), c.kelvin) << c.projectId;
    }
}

} // namespace
} // namespace ordalis
