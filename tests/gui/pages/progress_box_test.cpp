#include "page_fixture.h"

#include <QFontInfo>
#include <QLabel>
#include <QProgressBar>

#include <vector>

namespace ordalis::test {
namespace {

// The box on its own, with step work that the auto setup will plug in.
class ProgressBoxTest : public PageFixture
{
protected:
    // Opens a box for the action and ticks it until it ends; the outcome and the ticks it ran.
    struct Outcome
    {
        bool succeeded = false;
        int ticks = 0;
    };

    Outcome runBox(std::uint8_t action)
    {
        app.PendingPowerAction = action;
        CProcessbox box(ui);
        Outcome outcome;
        QTimer::singleShot(0, [&] { outcome.ticks = tickUntilClosed(box); });
        outcome.succeeded = box.run();
        return outcome;
    }

    static std::vector<int>& ranSteps()
    {
        static std::vector<int> steps;
        return steps;
    }
    static void recordStep(StepContext& context) { ranSteps().push_back(context.step); }

    void SetUp() override { ranSteps().clear(); }
};

TEST_F(ProgressBoxTest, LooksAsTheOperationSays)
{
    const struct
    {
        std::uint8_t action;
        const char* title;
        const char* message;
    } cases[] = {
        {0, "Power On", "Power On is processing, please wait for 5 seconds."},
        {1, "Power Off", "Power Off is processing, please wait for 5 seconds."},
        {2, "Video Wall Auto Setup", "Video Wall Auto Setup is processing..."},
        {3, "Monitor ID Auto Sort", "Monitor ID Auto Sort is processing..."},
        {4, "Video Wall Auto Setup", "Auto setup is processing ..."},
    };
    for (const auto& c : cases) {
        app.PendingPowerAction = c.action;
        CProcessbox box(ui);
        auto* title = control<QLabel>(&box, ProcessboxControl::Title);
        auto* message = control<QLabel>(&box, ProcessboxControl::Message);
        auto* bar = control<QProgressBar>(&box, ProcessboxControl::ProgressBar);
        EXPECT_EQ(title->text().toStdString(), c.title);
        EXPECT_EQ(message->text().toStdString(), c.message);
        EXPECT_EQ(QFontInfo(title->font()).pixelSize(), 24);
        EXPECT_TRUE(title->font().bold());
        EXPECT_EQ(QFontInfo(message->font()).pixelSize(), 10);
        EXPECT_TRUE(message->font().bold());
        EXPECT_EQ(bar->minimum(), 0);
        EXPECT_EQ(bar->maximum(), 11);
        EXPECT_EQ(bar->value(), 0);
        EXPECT_TRUE(box.windowTitle().isEmpty());
        EXPECT_FALSE(box.windowFlags() & Qt::WindowCloseButtonHint);
    }
}

TEST_F(ProgressBoxTest, EndsAfterTheStepAboveItsLimit)
{
    ui.timedSteps.power.work = &recordStep;
    ui.timedSteps.chain.work = &recordStep;
    const Outcome power = runBox(0);
    EXPECT_TRUE(power.succeeded);
    EXPECT_EQ(power.ticks, 10);
    EXPECT_EQ(ranSteps(), (std::vector<int> {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(ui.processbox.step, 0);

    // Over a chain the auto setup runs steps 0 to 11; the next box starts at 0 again.
    ranSteps().clear();
    const Outcome chain = runBox(2);
    EXPECT_TRUE(chain.succeeded);
    EXPECT_EQ(chain.ticks, 12);
    EXPECT_EQ(ranSteps().front(), 0);
    EXPECT_EQ(ranSteps().back(), 11);
    EXPECT_EQ(ui.processbox.step, 0);
}

TEST_F(ProgressBoxTest, StepWorkCanSkipEndEarlyAndFail)
{
    // One display per tick: the work names the last display by jumping past the limit.
    app.ConnectionKind = 2;
    ui.timedSteps.perDisplay.work = [](StepContext& context) {
        recordStep(context);
        context.box.advanceBar();
        if (context.step + 1 >= 3)
            context.step = 101;
    };
    const Outcome perDisplay = runBox(3);
    EXPECT_TRUE(perDisplay.succeeded);
    EXPECT_EQ(perDisplay.ticks, 3);
    EXPECT_EQ(ranSteps(), (std::vector<int> {0, 1, 2}));

    // A failing step ends the box at once with failure.
    ranSteps().clear();
    app.ConnectionKind = 0;
    ui.timedSteps.chain.work = [](StepContext& context) {
        recordStep(context);
        if (context.step == 2)
            context.ok = false;
    };
    const Outcome failed = runBox(2);
    EXPECT_FALSE(failed.succeeded);
    EXPECT_EQ(failed.ticks, 3);
    EXPECT_EQ(ui.processbox.step, 0);
}

TEST_F(ProgressBoxTest, ATickArrivingWhileOneRunsIsIgnored)
{
    // A message box inside a step runs a nested loop that can deliver the next expiry.
    static CProcessbox* running = nullptr;
    ui.timedSteps.power.work = [](StepContext& context) {
        recordStep(context);
        if (context.step == 0)
            running->OnTimer();
    };
    app.PendingPowerAction = 0;
    CProcessbox box(ui);
    running = &box;
    int ticks = 0;
    QTimer::singleShot(0, [&] { ticks = tickUntilClosed(box); });
    EXPECT_TRUE(box.run());
    running = nullptr;
    EXPECT_EQ(ticks, 10);
    EXPECT_EQ(ranSteps(), (std::vector<int> {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(control<QProgressBar>(&box, ProcessboxControl::ProgressBar)->value(), 10);
}

TEST_F(ProgressBoxTest, BarStartsAgainPastItsEnd)
{
    CProcessbox box(ui);
    auto* bar = control<QProgressBar>(&box, ProcessboxControl::ProgressBar);
    for (int i = 0; i < 11; ++i)
        box.advanceBar();
    EXPECT_EQ(bar->value(), 11);
    box.advanceBar();
    EXPECT_EQ(bar->value(), 0);
}

} // namespace
} // namespace ordalis::test
