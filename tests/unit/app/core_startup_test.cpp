#include "app/core_startup.h"
#include "app/data_folder.h"
#include "app/project_id.h"
#include "app_fixture.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace ordalis::test {
namespace {

class CoreStartupTest : public AppFixture
{
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        m_savedDataDir = qgetenv("ORDALIS_DATA_DIR");
        m_hadDataDir = qEnvironmentVariableIsSet("ORDALIS_DATA_DIR");
        qputenv("ORDALIS_DATA_DIR", dataFolder().toLocal8Bit());
    }
    void TearDown() override
    {
        if (m_hadDataDir)
            qputenv("ORDALIS_DATA_DIR", m_savedDataDir);
        else
            qunsetenv("ORDALIS_DATA_DIR");
    }

    QString dataFolder() const { return path(QStringLiteral("run/data")); }
    QString ipFile() const { return dataFolder() + QStringLiteral("/IP_Default.txt"); }
    QString iniPath() const { return path(QStringLiteral("store.ini")); }

private:
    QByteArray m_savedDataDir;
    bool m_hadDataDir = false;
};

TEST_F(CoreStartupTest, FirstRunStartsOnDefaultsAndCreatesItsFiles)
{
    // State a previous use of the object could have left behind.
    app.ShowErrorBoxes = false;
    app.IpTable[0] = QStringLiteral("stale");
    app.IpFileDirty = true;
    app.WatchdogPaused = true;
    app.console.commandText = QStringLiteral("BRL");
    app.console.byteTexts[7] = QStringLiteral("08");
    app.console.valueByte = 9;
    app.valueCache.gainG = 3;

    QSettings store(iniPath(), QSettings::IniFormat);
    InitCore(app, store);

    EXPECT_EQ(app.DataFolder, dataFolder());
    EXPECT_TRUE(QFileInfo(dataFolder()).isDir());
    EXPECT_TRUE(QFile::exists(ipFile()));
    EXPECT_EQ(app.WallColumns, 3);
    EXPECT_EQ(app.WallRows, 3);
    EXPECT_EQ(app.FirstDisplayAtBottom, 1);
    EXPECT_EQ(app.ConnectionKind, 0);
    EXPECT_EQ(app.settings.ProjectId.current, 24);
    EXPECT_EQ(app.settings.ProjectId.loaded, 0);
    EXPECT_TRUE(app.DisplayList.empty());
    EXPECT_TRUE(app.ShowErrorBoxes);
    EXPECT_TRUE(app.IpTable[0].isEmpty());
    EXPECT_FALSE(app.IpFileDirty);
    EXPECT_FALSE(app.WatchdogPaused);
    EXPECT_TRUE(app.console.commandText.isEmpty());
    EXPECT_TRUE(app.console.byteTexts[7].isEmpty());
    EXPECT_EQ(app.console.valueByte, 0);
    EXPECT_EQ(app.valueCache.gainG, 128);
    EXPECT_EQ(app.valueCache.offsetB, 50);
    EXPECT_TRUE(prompts.messages().empty());
}

TEST_F(CoreStartupTest, DisplayListIsBuiltFromTheIpSettingsFile)
{
    writeFile(
        iniPath(), "[Standard]\nVideo%20Wall%20Config=530\nIP%20Address=10.0.0.100\n"); // 2 x 1 per display
    ASSERT_TRUE(QDir().mkpath(dataFolder()));
    writeFile(ipFile(), "<<<Ordalis: IP Settings>>>\nID=2;IP=10.0.0.2;\n");

    QSettings store(iniPath(), QSettings::IniFormat);
    InitCore(app, store);

    ASSERT_EQ(app.DisplayList.size(), 2u);
    EXPECT_EQ(app.DisplayList[0].address, QStringLiteral("10.0.0.100"));
    EXPECT_EQ(app.DisplayList[1].address, QStringLiteral("10.0.0.2"));
}

TEST_F(CoreStartupTest, ShutdownRewritesTheIpSettingsFileOnlyWhenTheTableChanged)
{
    ASSERT_TRUE(QDir().mkpath(dataFolder()));
    const QByteArray handWritten("<<<Ordalis: IP Settings>>>\r\n  ID=1;IP=10.0.0.1;  \r\n");
    writeFile(ipFile(), handWritten);
    {
        QSettings store(iniPath(), QSettings::IniFormat);
        CTavrinApp run {Services {&clock, nullptr, &prompts}};
        InitCore(run, store);
        ShutdownCore(run, store);
    }
    EXPECT_EQ(readFile(ipFile()), handWritten);
    {
        QSettings store(iniPath(), QSettings::IniFormat);
        CTavrinApp run {Services {&clock, nullptr, &prompts}};
        InitCore(run, store);
        run.IpTable[3] = QStringLiteral("10.0.0.4");
        run.IpFileDirty = true;
        ShutdownCore(run, store);
        EXPECT_FALSE(run.IpFileDirty);
    }
    EXPECT_EQ(
        readFile(ipFile()), QByteArray("<<<Ordalis: IP Settings>>>\nID=1;IP=10.0.0.1;\nID=4;IP=10.0.0.4;\n"));
    EXPECT_EQ(readFile(iniPath()), QByteArray("[Standard]\nProject%20ID=24\n"));
}

TEST_F(CoreStartupTest, DataFolderLevelsAreCreatedUnderAnExistingDocumentsFolder)
{
    const QString documents = path(QStringLiteral("Documents"));
    ASSERT_TRUE(QDir().mkdir(documents));
    EXPECT_EQ(BuildDataFolderUnder(documents), documents + QStringLiteral("/Corvane/Ordalis"));
    EXPECT_TRUE(QFileInfo(documents + QStringLiteral("/Corvane/Ordalis")).isDir());

    // An existing folder is used as it is.
    writeFile(documents + QStringLiteral("/Corvane/Ordalis/keep.txt"), "x");
    BuildDataFolderUnder(documents);
    EXPECT_EQ(readFile(documents + QStringLiteral("/Corvane/Ordalis/keep.txt")), QByteArray("x"));

    const QString missing = path(QStringLiteral("NoDocuments"));
    EXPECT_EQ(BuildDataFolderUnder(missing), missing + QStringLiteral("/Corvane/Ordalis"));
    EXPECT_FALSE(QFileInfo::exists(missing));
}

TEST_F(CoreStartupTest, ResetProjectIdAssumes24)
{
    app.settings.ProjectId.setBoth(48);
    EXPECT_TRUE(ResetProjectId(app));
    EXPECT_EQ(app.settings.ProjectId.current, 24);
    EXPECT_EQ(app.settings.ProjectId.loaded, 48);
}

TEST_F(CoreStartupTest, ShowNotAvailableShowsTheStopBox)
{
    ShowNotAvailable(app);
    ASSERT_EQ(prompts.messages().size(), 1u);
    EXPECT_EQ(prompts.messages()[0].text, QStringLiteral("The function is not available for this display."));
    EXPECT_EQ(prompts.messages()[0].icon, PromptIcon::Stop);
    EXPECT_EQ(prompts.messages()[0].buttons, PromptButtons::Ok);
}

} // namespace
} // namespace ordalis::test
