#include "pages/home_page.h"
#include "pages/status_dialog.h"
#include "rules/auto_setup_steps.h"
#include "setup/progress_box.h"
#include "setup_fixture.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>

#include <gmock/gmock.h>

namespace ordalis::test {
namespace {

using testing::ElementsAreArray;

// A frame as it left, at its time from the start of the case.
struct Timed
{
    std::int64_t atMs;
    const char* bytes;
};

std::vector<std::string> timedTexts(const std::vector<ReceivedFrame>& frames, std::int64_t start)
{
    std::vector<std::string> texts;
    for (const ReceivedFrame& f : frames)
        texts.push_back(std::to_string(f.atMs - start) + " " + toHex(f.bytes));
    return texts;
}

std::vector<std::string> timedTexts(const std::vector<Timed>& frames)
{
    std::vector<std::string> texts;
    for (const Timed& f : frames)
        texts.push_back(std::to_string(f.atMs) + " " + f.bytes);
    return texts;
}

// Counts the paints of a label that showed a given text.
class PaintWatch final : public QObject
{
public:
    PaintWatch(QLabel& label, QString text) : m_label(label), m_text(std::move(text))
    {
        label.installEventFilter(this);
    }
    int paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == &m_label && event->type() == QEvent::Paint && m_label.text() == m_text)
            ++paints;
        return false;
    }

private:
    QLabel& m_label;
    QString m_text;
};

class WaitingTest : public testing::Test, public SetupFixture
{
public:
    // The case's start: after its connections are made.
    void startNow()
    {
        start = clock.nowMs();
        clock.resetStall();
    }
    std::int64_t start = 0;
};

struct WaitCase
{
    const char* name;
    // Runs the case from its start (startNow()); gives the frames that left.
    std::vector<ReceivedFrame> (*run)(WaitingTest&);
    std::vector<Timed> frames;
    std::int64_t endMs;
};

// The LAN auto setup of a 3 x 3 wall: the progress box's first tick waits 5000 ms before the
// numbering, then the wall-wide writes and the read-back follow on the ticks.
std::vector<ReceivedFrame> lanAutoSetup(WaitingTest& t)
{
    t.useLan(ConnectionKind::Lan, {QStringLiteral("127.0.0.10")}, 3, 3);
    FakeLanPeer& peer = t.peerOf(1);
    for (int i = 0; i < 5; ++i)
        peer.replyToNextSend({{20, hex("07 01 00 41 41 41 01 08")}});
    for (int id = 1; id <= 9; ++id) {
        char reply[32];
        std::snprintf(reply, sizeof reply, "07 %02X 00 50 4F 57 01 08", id);
        peer.replyToNextSend({{30, hex(reply)}});
    }
    t.app.PendingPowerAction = AutoSetupSteps::kFullAutoSetup;
    t.startNow();
    CProcessbox box(t.ui, AutoSetupSteps::operation(ConnectionKind::Lan, false));
    QTimer::singleShot(0, [&] { t.tickUntilClosed(box); });
    EXPECT_TRUE(box.run());
    return peer.received();
}

// A display that never answers, on the serial chain and behind one LAN module: a write and a
// read each wait out their whole deadline.
std::vector<ReceivedFrame> silentDisplay(WaitingTest& t, bool lan)
{
    if (lan)
        t.useLan(ConnectionKind::Lan, {QStringLiteral("127.0.0.10")}, 3, 3);
    t.startNow();
    CommandExchange exchange(t.app);
    std::uint8_t value = 0;
    EXPECT_FALSE(exchange.WriteValue(5, "BRL", 50));
    EXPECT_FALSE(exchange.ReadValue(5, "BRI", value));
    return lan ? t.peerOf(1).received() : t.line.writes();
}

// The status dialog's detection, its status text painted while the read to all waits.
std::vector<ReceivedFrame> statusDetection(WaitingTest& t)
{
    t.startNow();
    LogMessageDlg dialog(t.ui);
    dialog.show();
    PaintWatch searching(*findControl<QLabel>(&dialog, StatusControl::Status),
        QStringLiteral("Device searching...please wait"));
    t.answerReadAll("POW", {{1, "01"}, {2, "00"}, {3, "01"}});
    t.answerReadAll("SER",
        {{1, "41 00 00 00 00 00 00 00 00 00 00 00 00"}, {3, "43 00 00 00 00 00 00 00 00 00 00 00 00"}});
    t.answerReadAll("MNA",
        {{1, "4B 56 2D 36 35 30 00 00 00 00 00 00 00"}, {3, "4B 56 2D 36 35 30 00 00 00 00 00 00 00"}});
    t.timers.advanceBy(1000);
    EXPECT_GT(searching.paints, 0) << "the status text was never painted during the detection";
    return t.line.writes();
}

// Power ON on the home page: the write to all, then the box's ten ticks.
std::vector<ReceivedFrame> powerBox(WaitingTest& t)
{
    t.startNow();
    t.line.replyToNextWrite({{20, hex("07 01 00 50 4F 57 01 08")}});
    CPAGE1 home(t.ui);
    home.show();
    ModalDriver driver;
    driver.on<CProcessbox>([&](CProcessbox& box) { EXPECT_EQ(t.tickUntilClosed(box), 10); });
    findControl<QPushButton>(&home, HomeControl::PowerOn)->click();
    EXPECT_EQ(driver.handled(), 1);
    return t.line.writes();
}

const WaitCase kCases[] = {
    {"LanAutoSetup", &lanAutoSetup,
        {{5500, "07 00 02 43 49 44 01 08"}, {6000, "07 00 02 4D 41 54 33 08"},
            {6500, "07 00 02 56 41 55 20 08"}, {8000, "07 00 02 56 57 46 01 08"},
            {9000, "07 00 02 56 57 53 01 08"}, {10000, "07 01 01 50 4F 57 08"},
            {10100, "07 02 01 50 4F 57 08"}, {10200, "07 03 01 50 4F 57 08"}, {10300, "07 04 01 50 4F 57 08"},
            {10400, "07 05 01 50 4F 57 08"}, {10500, "07 06 01 50 4F 57 08"}, {10600, "07 07 01 50 4F 57 08"},
            {10700, "07 08 01 50 4F 57 08"}, {10800, "07 09 01 50 4F 57 08"}},
        11400},
    {"SilentDisplayOnSerial", [](WaitingTest& t) { return silentDisplay(t, false); },
        {{0, "07 05 02 42 52 4C 32 08"}, {1660, "07 05 01 42 52 49 08"}}, 3310},
    {"SilentDisplayOnLan", [](WaitingTest& t) { return silentDisplay(t, true); },
        {{0, "07 05 02 42 52 4C 32 08"}, {2250, "07 05 01 42 52 49 08"}}, 4500},
    {"StatusDetection", &statusDetection,
        {{1000, "07 00 01 50 4F 57 08"}, {2540, "07 00 01 53 45 52 08"}, {2575, "07 00 01 4D 4E 41 08"}},
        2600},
    {"PowerBox", &powerBox, {{0, "07 00 02 50 4F 57 01 08"}}, 5020},
};

void PrintTo(const WaitCase& c, std::ostream* os)
{
    *os << c.name;
}

class WaitsKeepTheWindowAlive : public WaitingTest, public testing::WithParamInterface<WaitCase>
{
};

// Every wait runs the event dispatcher: no stretch of virtual time passes without it longer than
// 100 ms, and the frames leave exactly when they always have.
TEST_P(WaitsKeepTheWindowAlive, FramesAtTheirTimes)
{
    const WaitCase& c = GetParam();
    const std::vector<ReceivedFrame> frames = c.run(*this);
    EXPECT_THAT(timedTexts(frames, start), ElementsAreArray(timedTexts(c.frames)));
    EXPECT_EQ(clock.nowMs() - start, c.endMs);
    EXPECT_LE(clock.longestStallMs(), 100) << "the window froze";
    EXPECT_GT(waiter.waits(), 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, WaitsKeepTheWindowAlive, testing::ValuesIn(kCases),
    [](const testing::TestParamInfo<WaitCase>& row) { return std::string(row.param.name); });

} // namespace
} // namespace ordalis::test
