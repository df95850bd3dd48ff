#include "link/command_exchange.h"
#include "ordalis/init_instance.h"
#include "pages/home_page.h"
#include "tests/gui/support/gui_fixture.h"
#include "tests/support/case_name.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace ordalis::test {
namespace {

// The whole program on the fakes, with a settings store and a data folder of its own.
class StartupTest : public testing::Test, public FakeApp, public FakeUi
{
protected:
    StartupTest() : FakeUi(static_cast<FakeApp&>(*this)) { }

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        qputenv("ORDALIS_DATA_DIR", dir.filePath(QStringLiteral("data")).toLocal8Bit());
    }
    void TearDown() override { qunsetenv("ORDALIS_DATA_DIR"); }

    QString storePath() const { return dir.filePath(QStringLiteral("store.ini")); }

    void writeStore(const QByteArray& text)
    {
        QFile file(storePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    QByteArray readStore() const
    {
        QFile file(storePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    // Runs the program; onHome runs on the home page once it is up and must leave the program.
    void run(bool socketsReady, const std::function<void(CPAGE1&)>& onHome)
    {
        ModalDriver driver;
        driver.on<CPAGE1>(onHome);
        QSettings store(storePath(), QSettings::IniFormat);
        EXPECT_FALSE(InitInstance(app, store, timers, socketsReady));
        EXPECT_EQ(driver.handled(), socketsReady ? 1 : 0);
    }

    static void pressExit(CPAGE1& home)
    {
        QTest::mouseClick(findControl<QPushButton>(&home, 1037), Qt::LeftButton);
    }

    QTemporaryDir dir;
};

struct StoreCase
{
    const char* what;
    QByteArray before;
    const char* summary; // what the home page shows from it
    QByteArray after;
};

class StoreRoundTripTest : public StartupTest, public testing::WithParamInterface<StoreCase>
{
};

TEST_P(StoreRoundTripTest, LeavingWithoutChangesWritesOnlyWhatMust)
{
    const StoreCase& c = GetParam();
    if (!c.before.isEmpty())
        writeStore(c.before);
    QString summary;
    run(true, [&](CPAGE1& home) {
        summary = findControl<QLabel>(&home, HomeControl::Summary)->text();
        pressExit(home);
    });
    EXPECT_EQ(summary.toStdString(), c.summary) << c.what;
    EXPECT_EQ(readStore().toStdString(), c.after.toStdString()) << c.what;
    EXPECT_TRUE(prompts.messages().empty());
}

INSTANTIATE_TEST_SUITE_P(Stores, StoreRoundTripTest,
    testing::Values(
        StoreCase {"nothing stored", QByteArray(),
            "9 (KV-870) displays arranged as 3 columns by 3 rows. This PC is connected to the first "
            "display via RS232",
            "[Standard]\nProject%20ID=24\n"},
        StoreCase {"a stored wall config of 0 reads as 10 x 10", "[Standard]\nVideo%20Wall%20Config=0\n",
            "100 (KV-870) displays arranged as 10 columns by 10 rows. This PC is connected to the first "
            "display via RS232",
            "[Standard]\nProject%20ID=24\nVideo%20Wall%20Config=170\n"},
        StoreCase {"stored values that survive", "[Standard]\nProject%20ID=24\nDisplay%20Model=1\n",
            "9 (KV-760 series) displays arranged as 3 columns by 3 rows. This PC is connected to the first "
            "display via RS232",
            "[Standard]\nProject%20ID=24\nDisplay%20Model=1\n"}),
    caseName<StoreCase>);

TEST_F(StartupTest, ChangesMadeWhileRunningAreWrittenAndThePortClosed)
{
    writeStore("[Standard]\nCom%20Port=2\n");
    run(true, [&](CPAGE1& home) {
        // An exchange opens the port; the pages change settings.
        ASSERT_TRUE(CommandExchange(app).EnsureLinkReady(1, 1));
        app.settings.CommandTarget.current = 0x85;
        app.WallColumns = 4;
        pressExit(home);
    });
    EXPECT_EQ(line.lastOpenPath(), QStringLiteral("/dev/ttyS1"));
    EXPECT_FALSE(line.isOpen());
    EXPECT_FALSE(app.ComPortOpen);
    QSettings reread(storePath(), QSettings::IniFormat);
    reread.beginGroup(QStringLiteral("Standard"));
    EXPECT_EQ(reread.value(QStringLiteral("Monitor ID")).toInt(), 0x85);
    EXPECT_EQ(reread.value(QStringLiteral("Video Wall Config")).toInt(), 0x1043);
    EXPECT_EQ(reread.value(QStringLiteral("Com Port")).toInt(), 2);
}

TEST_F(StartupTest, WithoutSocketsOnlyTheMessageShows)
{
    run(false, [](CPAGE1&) {});
    ASSERT_EQ(prompts.messages().size(), 1u);
    EXPECT_EQ(prompts.messages()[0].text, QStringLiteral("Sockets library failed to initialize."));
    EXPECT_EQ(readStore(), QByteArray("<missing>"));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("data"))));
}

} // namespace
} // namespace ordalis::test
