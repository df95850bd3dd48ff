#include "app/ip_settings.h"
#include "app_fixture.h"

#include <QDir>

#include <map>
#include <string>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

namespace ordalis::test {
namespace {

using Entries = std::map<int, std::string>; // Monitor ID -> address

Entries entriesOf(const IpAddressTable& table)
{
    Entries entries;
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (!table[i].isEmpty())
            entries[static_cast<int>(i + 1)] = table[i].toStdString();
    }
    return entries;
}

IpAddressTable tableOf(const Entries& entries)
{
    IpAddressTable table;
    for (const auto& [id, address] : entries)
        table[static_cast<std::size_t>(id - 1)] = QString::fromStdString(address);
    return table;
}

struct ParseCase
{
    const char* name;
    const char* text;
    Entries expected;
};

const ParseCase kParseCases[] = {
    {"two displays", "<<<Ordalis: IP Settings>>>\nID=1;IP=192.168.1.100;\nID=2;IP=192.168.1.101;\n",
        {{1, "192.168.1.100"}, {2, "192.168.1.101"}}},
    {"empty file", "", {}},
    {"banner only", "<<<Ordalis: IP Settings>>>", {}},
    {"no banner", "ID=1;IP=10.0.0.1;\nID=2;IP=10.0.0.2;\n", {}},
    {"banner not on the first line", "\n<<<Ordalis: IP Settings>>>\nID=1;IP=10.0.0.1;\n", {}},
    {"misspelt banner", "<<<Ordalis: IP settings>>>\nID=1;IP=10.0.0.1;\n", {}},
    {"banner with text around it", "   old <<<Ordalis: IP Settings>>> copy \t\nID=1;IP=10.0.0.1;\n",
        {{1, "10.0.0.1"}}},
    {"windows line ends", "<<<Ordalis: IP Settings>>>\r\nID=1;IP=10.0.0.1;\r\nID=9;IP=10.0.0.9;\r\n",
        {{1, "10.0.0.1"}, {9, "10.0.0.9"}}},
    {"no final line end", "<<<Ordalis: IP Settings>>>\nID=4;IP=10.0.0.4;", {{4, "10.0.0.4"}}},
    {"spaces around a line", "<<<Ordalis: IP Settings>>>\n   ID=3;IP=10.0.0.3;  \t\n", {{3, "10.0.0.3"}}},
    {"empty lines skipped", "<<<Ordalis: IP Settings>>>\n\n  \nID=1;IP=a;\n\r\n\nID=2;IP=b;\n",
        {{1, "a"}, {2, "b"}}},
    {"ID 0 ends the reading", "<<<Ordalis: IP Settings>>>\nID=1;IP=a;\nID=0;IP=10.0.0.1;\nID=2;IP=b;\n",
        {{1, "a"}}},
    {"ID 101 ends the reading", "<<<Ordalis: IP Settings>>>\nID=101;IP=10.0.0.1;\nID=2;IP=b;\n", {}},
    {"ID 100 is the last", "<<<Ordalis: IP Settings>>>\nID=100;IP=z;\n", {{100, "z"}}},
    {"negative ID", "<<<Ordalis: IP Settings>>>\nID=-3;IP=a;\n", {}},
    {"huge ID", "<<<Ordalis: IP Settings>>>\nID=4294967297;IP=a;\nID=1;IP=b;\n", {}},
    {"missing closing semicolon", "<<<Ordalis: IP Settings>>>\nID=4;IP=d;\nID=5;IP=10.0.0.5\nID=6;IP=f;\n",
        {{4, "d"}}},
    {"missing semicolon after the ID", "<<<Ordalis: IP Settings>>>\nID=5 IP=10.0.0.5\n", {}},
    {"line without ID ends the reading", "<<<Ordalis: IP Settings>>>\nID=1;IP=a;\n# comment\nID=2;IP=b;\n",
        {{1, "a"}}},
    {"line without IP ends the reading", "<<<Ordalis: IP Settings>>>\nID=1;IP=a;\nID=2;\nID=3;IP=c;\n",
        {{1, "a"}}},
    {"IP before ID does not count", "<<<Ordalis: IP Settings>>>\nIP=10.0.0.7;ID=7;\n", {}},
    {"number read as a decimal prefix",
        "<<<Ordalis: IP Settings>>>\nID= 7x;IP=g;\nID=+8;IP=h;\nID=09;IP=i;\n",
        {{7, "g"}, {8, "h"}, {9, "i"}}},
    {"ID without digits reads as 0", "<<<Ordalis: IP Settings>>>\nID=;IP=a;\n", {}},
    {"tags inside the line", "<<<Ordalis: IP Settings>>>\nnote ID=12;x IP=10.0.0.12;tail\n",
        {{12, "10.0.0.12"}}},
    {"address kept as written", "<<<Ordalis: IP Settings>>>\nID=6;IP= host name ;\n", {{6, " host name "}}},
    {"later line replaces earlier", "<<<Ordalis: IP Settings>>>\nID=2;IP=10.0.0.2;\nID=2;IP=10.0.0.22;\n",
        {{2, "10.0.0.22"}}},
    {"later empty address clears", "<<<Ordalis: IP Settings>>>\nID=2;IP=10.0.0.2;\nID=2;IP=;\n", {}},
};

TEST(IpSettingsParse, ReadsUntilTheFirstLineThatDoesNotFit)
{
    for (const ParseCase& c : kParseCases) {
        SCOPED_TRACE(c.name);
        IpAddressTable table;
        ParseIpSettings(QByteArrayView(c.text), table);
        EXPECT_EQ(entriesOf(table), c.expected);
    }
}

TEST(IpSettingsParse, KeepsEntriesTheFileDoesNotName)
{
    IpAddressTable table = tableOf({{1, "10.0.0.1"}, {3, "10.0.0.3"}});
    ParseIpSettings("ID=1;IP=x;\n", table); // no banner: nothing read
    EXPECT_EQ(entriesOf(table), (Entries {{1, "10.0.0.1"}, {3, "10.0.0.3"}}));
    ParseIpSettings("<<<Ordalis: IP Settings>>>\nID=3;IP=10.0.0.33;\n", table);
    EXPECT_EQ(entriesOf(table), (Entries {{1, "10.0.0.1"}, {3, "10.0.0.33"}}));
}

TEST(IpSettingsFormat, WritesTheBannerThenOneLinePerAddressInIdOrder)
{
    struct FormatCase
    {
        Entries entries;
        const char* text;
    };
    const FormatCase cases[] = {
        {{}, "<<<Ordalis: IP Settings>>>\n"},
        {{{7, "10.0.0.7"}, {2, "10.0.0.2"}},
            "<<<Ordalis: IP Settings>>>\nID=2;IP=10.0.0.2;\nID=7;IP=10.0.0.7;\n"},
        {{{100, "a"}, {1, "b"}}, "<<<Ordalis: IP Settings>>>\nID=1;IP=b;\nID=100;IP=a;\n"},
    };
    for (const FormatCase& c : cases)
        EXPECT_EQ(FormatIpSettings(tableOf(c.entries)), QByteArray(c.text));
}

class IpSettingsFileTest : public AppFixture
{
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        app.DataFolder = dir.path();
        app.settings.IpFile.setBoth(QStringLiteral("IP_Default.txt"));
    }
    QString filePath() const { return path(QStringLiteral("IP_Default.txt")); }
};

TEST_F(IpSettingsFileTest, MissingFileIsCreatedEmpty)
{
    ASSERT_FALSE(QFile::exists(filePath()));
    EXPECT_TRUE(LoadIpSettings(app));
    EXPECT_TRUE(QFile::exists(filePath()));
    EXPECT_EQ(readFile(filePath()), QByteArray());
    EXPECT_TRUE(entriesOf(app.IpTable).empty());
    EXPECT_TRUE(prompts.messages().empty());
}

TEST_F(IpSettingsFileTest, LoadsTheFileNamedByTheSetting)
{
    app.settings.IpFile.current = QStringLiteral("hall B.txt");
    writeFile(path(QStringLiteral("hall B.txt")), "<<<Ordalis: IP Settings>>>\r\nID=2;IP=10.2.0.2;\r\n");
    writeFile(filePath(), "<<<Ordalis: IP Settings>>>\nID=1;IP=wrong;\n");
    EXPECT_TRUE(LoadIpSettings(app));
    EXPECT_EQ(entriesOf(app.IpTable), (Entries {{2, "10.2.0.2"}}));
}

TEST_F(IpSettingsFileTest, UnopenableFileIsReportedAndTheTableKept)
{
    app.IpTable[4] = QStringLiteral("10.0.0.5");
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("IP_Default.txt")));
    EXPECT_FALSE(LoadIpSettings(app));
    ASSERT_EQ(prompts.messages().size(), 1u);
    EXPECT_TRUE(prompts.messages()[0].text.contains(filePath())) << prompts.messages()[0].text.toStdString();
    EXPECT_EQ(prompts.messages()[0].icon, PromptIcon::Warning);
    EXPECT_EQ(entriesOf(app.IpTable), (Entries {{5, "10.0.0.5"}}));
}

TEST_F(IpSettingsFileTest, SavesEntriesTwoAndSevenReplacingTheOldFile)
{
    writeFile(filePath(), "<<<Ordalis: IP Settings>>>\nID=1;IP=10.0.0.1;\nID=3;IP=10.0.0.3;\n");
    app.IpTable = tableOf({{2, "10.0.0.2"}, {7, "10.0.0.7"}});
    EXPECT_TRUE(SaveIpSettings(app));
    EXPECT_EQ(readFile(filePath()),
        QByteArray("<<<Ordalis: IP Settings>>>\nID=2;IP=10.0.0.2;\nID=7;IP=10.0.0.7;\n"));
    EXPECT_TRUE(prompts.messages().empty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList {QStringLiteral("IP_Default.txt")});
}

TEST_F(IpSettingsFileTest, SaveIntoAMissingFolderIsReported)
{
    app.DataFolder = path(QStringLiteral("no/such/folder"));
    app.IpTable[0] = QStringLiteral("10.0.0.1");
    EXPECT_FALSE(SaveIpSettings(app));
    ASSERT_EQ(prompts.messages().size(), 1u);
    EXPECT_TRUE(prompts.messages()[0].text.contains(app.DataFolder));
}

#ifdef Q_OS_UNIX
// Caps the size of files this process may write, so a save fails part-way (root included).
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limited = m_old;
        limited.rlim_cur = bytes;
        m_active = setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    bool active() const { return m_active; }

private:
    rlimit m_old {};
    void (*m_oldHandler)(int) = nullptr;
    bool m_active = false;
};

TEST_F(IpSettingsFileTest, FailedSaveLeavesThePreviousFileIntact)
{
    const QByteArray previous("<<<Ordalis: IP Settings>>>\nID=1;IP=10.0.0.1;\n");
    writeFile(filePath(), previous);
    for (std::size_t i = 0; i < 25; ++i)
        app.IpTable[i] = QStringLiteral("192.168.100.%1").arg(i + 1);
    bool saved = true;
    {
        FileSizeLimit limit(100);
        ASSERT_TRUE(limit.active());
        saved = SaveIpSettings(app);
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(readFile(filePath()), previous);
    ASSERT_EQ(prompts.messages().size(), 1u);
    EXPECT_TRUE(prompts.messages()[0].text.contains(filePath()));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList {QStringLiteral("IP_Default.txt")});
}
#endif

} // namespace
} // namespace ordalis::test
