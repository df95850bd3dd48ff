#include "app/project_id.h"
#include "app/settings_store.h"
#include "app_fixture.h"

#include <QSettings>

#include <functional>
#include <memory>

namespace ordalis::test {
namespace {

// What loading leaves in both copies of every setting, and the unpacked wall.
struct Loaded
{
    std::uint8_t monitorId = 0, comPort = 0;
    std::int32_t internetVCom = 0;
    std::uint8_t baudRate = 0, projectId = 0, rs232Version = 0;
    std::uint32_t wallConfig = 4147;
    const char* ipAddress = "192.168.1.100";
    const char* ipFile = "IP_Default.txt";
    std::uint8_t lanType = 0;
    std::int32_t telnetPort = 23;
    std::uint8_t autoRefresh = 0, displayModel = 0;
    std::uint8_t columns = 3, rows = 3, kind = 0, atBottom = 1;
};

struct LoadCase
{
    const char* name;
    const char* ini; // nullptr: no file at all
    Loaded expected;
};

Loaded defaultsWith(const std::function<void(Loaded&)>& change)
{
    Loaded loaded;
    change(loaded);
    return loaded;
}

const LoadCase kLoadCases[] = {
    {"first run", nullptr, Loaded {}},
    {"empty section", "[Standard]\n", Loaded {}},
    {"other section only", "[Other]\nMonitor%20ID=5\n", Loaded {}},
    {"byte keeps low 8 bits", "[Standard]\nMonitor%20ID=300\n",
        defaultsWith([](Loaded& l) { l.monitorId = 44; })},
    {"negative byte", "[Standard]\nCom%20Port=-1\n", defaultsWith([](Loaded& l) { l.comPort = 255; })},
    {"wall config 0", "[Standard]\nVideo%20Wall%20Config=0\n", defaultsWith([](Loaded& l) {
         l.wallConfig = 0;
         l.columns = l.rows = 10;
         l.atBottom = 0;
     })},
    {"wall config beyond 31 bits", "[Standard]\nVideo%20Wall%20Config=4294967295\n",
        defaultsWith([](Loaded& l) {
            l.wallConfig = 0xFFFFFFFF;
            l.columns = l.rows = 15;
            l.kind = 3;
        })},
    {"unparsable values yield defaults",
        "[Standard]\nTelnet%20Port=abc\nVideo%20Wall%20Config=12x\nMonitor%20ID=\nBaud%20Rate=1.5\n"
        "Internet%20VCom=99999999999\n",
        Loaded {}},
    {"every key",
        "[Standard]\nMonitor%20ID=133\nCom%20Port=7\nInternet%20VCom=-5\nBaud%20Rate=3\nProject%20ID=22\n"
        "RS232%20Version=4\nVideo%20Wall%20Config=546\nIP%20Address=10.0.0.9\nIP%20File=walls.txt\n"
        "Lan%20Type=1\nTelnet%20Port=2323\nAuto%20Refresh=1\nDisplay%20Model=6\n",
        Loaded {133, 7, -5, 3, 22, 4, 546, "10.0.0.9", "walls.txt", 1, 2323, 1, 6, 2, 2, 2, 0}},
    {"quoted text", "[Standard]\nIP%20File=\"a, b.txt\"\n",
        defaultsWith([](Loaded& l) { l.ipFile = "a, b.txt"; })},
};

class SettingsStoreTest : public AppFixture
{
protected:
    QString iniPath() const { return path(QStringLiteral("store.ini")); }
    std::unique_ptr<QSettings> openStore() const
    {
        return std::make_unique<QSettings>(iniPath(), QSettings::IniFormat);
    }
};

template<typename T> void expectBoth(const Setting<T>& setting, const T& value, const char* what)
{
    EXPECT_EQ(setting.current, value) << what;
    EXPECT_EQ(setting.loaded, value) << what;
}

TEST_F(SettingsStoreTest, LoadsEveryKeyWithItsDefault)
{
    for (const LoadCase& c : kLoadCases) {
        SCOPED_TRACE(c.name);
        QFile::remove(iniPath());
        if (c.ini)
            writeFile(iniPath(), c.ini);
        auto store = openStore();
        CTavrinApp loaded {Services {&clock, nullptr, &prompts}};
        LoadSettings(loaded, *store);

        const Loaded& e = c.expected;
        const AppSettings& s = loaded.settings;
        expectBoth(s.CommandTarget, e.monitorId, "Monitor ID");
        expectBoth(s.ComPort, e.comPort, "Com Port");
        expectBoth(s.InternetVCom, e.internetVCom, "Internet VCom");
        expectBoth(s.BaudRate, e.baudRate, "Baud Rate");
        expectBoth(s.ProjectId, e.projectId, "Project ID");
        expectBoth(s.Rs232Version, e.rs232Version, "RS232 Version");
        EXPECT_EQ(s.VideoWallConfigLoaded, e.wallConfig);
        expectBoth(s.IpAddress, QString::fromLatin1(e.ipAddress), "IP Address");
        expectBoth(s.IpFile, QString::fromLatin1(e.ipFile), "IP File");
        expectBoth(s.LanType, e.lanType, "Lan Type");
        expectBoth(s.TelnetPort, e.telnetPort, "Telnet Port");
        expectBoth(s.AutoRefresh, e.autoRefresh, "Auto Refresh");
        expectBoth(s.DisplayModel, e.displayModel, "Display Model");
        EXPECT_EQ(loaded.WallColumns, e.columns);
        EXPECT_EQ(loaded.WallRows, e.rows);
        EXPECT_EQ(loaded.ConnectionKind, e.kind);
        EXPECT_EQ(loaded.FirstDisplayAtBottom, e.atBottom);
    }
}

// Start-up, a change by the operator, shutdown; then the file as it is on disk.
struct SaveCase
{
    const char* name;
    const char* iniBefore; // nullptr: no file
    std::function<void(CTavrinApp&)> change;
    const char* iniAfter; // nullptr: no file
};

const SaveCase kSaveCases[] = {
    {"first run writes only the project ID", nullptr, [](CTavrinApp&) {}, "[Standard]\nProject%20ID=24\n"},
    {"nothing changed, project ID already 24", "[Standard]\nProject%20ID=24\n", [](CTavrinApp&) {},
        "[Standard]\nProject%20ID=24\n"},
    {"wall config 0 is written back as 170", "[Standard]\nProject%20ID=24\nVideo%20Wall%20Config=0\n",
        [](CTavrinApp&) {}, "[Standard]\nProject%20ID=24\nVideo%20Wall%20Config=170\n"},
    {"unused wall config bits are cleared", "[Standard]\nProject%20ID=24\nVideo%20Wall%20Config=69683\n",
        [](CTavrinApp&) {}, "[Standard]\nProject%20ID=24\nVideo%20Wall%20Config=4147\n"},
    {"an unchanged byte keeps its stored high bits", "[Standard]\nMonitor%20ID=300\nProject%20ID=24\n",
        [](CTavrinApp&) {}, "[Standard]\nMonitor%20ID=300\nProject%20ID=24\n"},
    {"a changed byte is written as the byte", "[Standard]\nMonitor%20ID=300\nProject%20ID=24\n",
        [](CTavrinApp& a) { a.settings.CommandTarget.current = 0x85; },
        "[Standard]\nMonitor%20ID=133\nProject%20ID=24\n"},
    {"project ID reported by the displays", "[Standard]\nProject%20ID=24\n",
        [](CTavrinApp& a) { a.settings.ProjectId.current = 48; }, "[Standard]\nProject%20ID=48\n"},
    {"text compared case-sensitively", "[Standard]\nProject%20ID=24\n",
        [](CTavrinApp& a) { a.settings.IpFile.current = QStringLiteral("ip_default.txt"); },
        "[Standard]\nIP%20File=ip_default.txt\nProject%20ID=24\n"},
    {"text changed and back is not written", "[Standard]\nProject%20ID=24\n",
        [](CTavrinApp& a) {
            a.settings.IpAddress.current = QStringLiteral("10.0.0.1");
            a.settings.IpAddress.current = QStringLiteral("192.168.1.100");
        },
        "[Standard]\nProject%20ID=24\n"},
    {"wizard changes the wall", "[Standard]\nProject%20ID=24\n",
        [](CTavrinApp& a) {
            a.WallColumns = 5;
            a.WallRows = 2;
            a.ConnectionKind = 2;
            a.FirstDisplayAtBottom = 0;
        },
        "[Standard]\nProject%20ID=24\nVideo%20Wall%20Config=594\n"},
    {"every other key", "[Standard]\nProject%20ID=24\n",
        [](CTavrinApp& a) {
            AppSettings& s = a.settings;
            s.ComPort.current = 3;
            s.InternetVCom.current = -7;
            s.BaudRate.current = 2;
            s.Rs232Version.current = 9;
            s.IpAddress.current = QStringLiteral("10.1.2.3");
            s.LanType.current = 1;
            s.TelnetPort.current = 8023;
            s.AutoRefresh.current = 1;
            s.DisplayModel.current = 4;
        },
        "[Standard]\nAuto%20Refresh=1\nBaud%20Rate=2\nCom%20Port=3\nDisplay%20Model=4\nIP%20Address=10.1.2."
        "3\n"
        "Internet%20VCom=-7\nLan%20Type=1\nProject%20ID=24\nRS232%20Version=9\nTelnet%20Port=8023\n"},
};

TEST_F(SettingsStoreTest, WritesOnlyChangedValuesAtShutdown)
{
    for (const SaveCase& c : kSaveCases) {
        SCOPED_TRACE(c.name);
        QFile::remove(iniPath());
        if (c.iniBefore)
            writeFile(iniPath(), c.iniBefore);
        {
            auto store = openStore();
            CTavrinApp run {Services {&clock, nullptr, &prompts}};
            LoadSettings(run, *store);
            ResetProjectId(run);
            c.change(run);
            SaveChangedSettings(run, *store);
        }
        EXPECT_EQ(readFile(iniPath()), QByteArray(c.iniAfter ? c.iniAfter : "<missing>"));
    }
}

TEST_F(SettingsStoreTest, WrittenValuesLoadInTheNextRun)
{
    {
        auto store = openStore();
        CTavrinApp first {Services {&clock, nullptr, &prompts}};
        LoadSettings(first, *store);
        first.settings.CommandTarget.current = 0x83;
        first.settings.TelnetPort.current = 2300;
        first.settings.IpAddress.current = QStringLiteral("10.9.8.7");
        first.WallColumns = 4;
        first.WallRows = 1;
        first.ConnectionKind = 1;
        SaveChangedSettings(first, *store);
    }
    auto store = openStore();
    CTavrinApp second {Services {&clock, nullptr, &prompts}};
    LoadSettings(second, *store);
    EXPECT_EQ(second.settings.CommandTarget.loaded, 0x83);
    EXPECT_EQ(second.settings.TelnetPort.loaded, 2300);
    EXPECT_EQ(second.settings.IpAddress.loaded, QStringLiteral("10.9.8.7"));
    EXPECT_EQ(second.WallColumns, 4);
    EXPECT_EQ(second.WallRows, 1);
    EXPECT_EQ(second.ConnectionKind, 1);
    EXPECT_EQ(second.FirstDisplayAtBottom, 1);
}

} // namespace
} // namespace ordalis::test
