#include "page_fixture.h"
#include "rules/auto_setup_steps.h"

#include <QFontInfo>
#include <QLabel>
#include <QProgressBar>

#include <vector>

namespace ordalis::test {
namespace {

// The box on its own, running tables of steps made for the test and the real operations.
class ProgressBoxTest : public PageFixture
{
protected:
    struct Outcome
    {
        bool succeeded = false;
        int ticks = 0;
    };

    // Opens a box for the operation and ticks it until it ends; the outcome and the ticks it ran.
    Outcome runBox(const TimedOperation& operation)
    {
        CProcessbox box(ui, operation);
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
    static StepResult record(TimedContext&, int step)
    {
        ranSteps().push_back(step);
        return {kStepTickMs};
    }
    static StepResult recordAndEnd(TimedContext&, int step)
    {
        ranSteps().push_back(step);
        return {kStepTickMs, StepPhase::Succeeded};
    }

    void SetUp() override { ranSteps().clear(); }
};

TEST_F(ProgressBoxTest, LooksAsTheOperationSays)
{
    const struct
    {
        const TimedOperation& operation;
        const char* title;
        const char* message;
    } cases[] = {
        {powerOnOperation(), "Power On", "Power On is processing, please wait for 5 seconds."},
        {powerOffOperation(), "Power Off", "Power Off is processing, please wait for 5 seconds."},
        {AutoSetupSteps::operation(ConnectionKind::Serial, false), "Video Wall Auto Setup",
            "Video Wall Auto Setup is processing..."},
        {AutoSetupSteps::operation(ConnectionKind::LanEach, true), "Monitor ID Auto Sort",
            "Monitor ID Auto Sort is processing..."},
    };
    for (const auto& c : cases) {
        CProcessbox box(ui, c.operation);
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

TEST_F(ProgressBoxTest, RunsOneStepATickUntilAStepEndsIt)
{
    // Power on and off: ten ticks that send nothing.
    const Outcome power = runBox(powerOnOperation());
    EXPECT_TRUE(power.succeeded);
    EXPECT_EQ(power.ticks, 10);
    EXPECT_TRUE(line.writes().empty());
    EXPECT_EQ(ui.processbox.step, 0);

    // Steps without work in between pace the sequence too; the next box starts at 0 again.
    static constexpr Step<TimedContext> kSteps[]
        = {{0, "a", &record}, {1, "", nullptr}, {3, "b", &record}, {5, "end", &recordAndEnd}};
    static constexpr TimedOperation kOperation {"T", "M", kSteps};
    const Outcome first = runBox(kOperation);
    EXPECT_TRUE(first.succeeded);
    EXPECT_EQ(first.ticks, 6);
    EXPECT_EQ(ranSteps(), (std::vector<int> {0, 3, 4, 5}));
    EXPECT_EQ(ui.processbox.step, 0);
    ranSteps().clear();
    EXPECT_EQ(runBox(kOperation).ticks, 6);
    EXPECT_EQ(ranSteps().front(), 0);
}

TEST_F(ProgressBoxTest, StepWorkCanSkipEndEarlyAndFail)
{
    static constexpr Step<TimedContext> kSkipping[] = {
        {0, "skip",
            [](TimedContext&, int step) {
                ranSteps().push_back(step);
                return StepResult {kStepTickMs, StepPhase::Continue, 7};
            }},
        {1, "", nullptr},
        {7, "end", &recordAndEnd},
    };
    const Outcome skipped = runBox({"T", "M", kSkipping});
    EXPECT_TRUE(skipped.succeeded);
    EXPECT_EQ(skipped.ticks, 2);
    EXPECT_EQ(ranSteps(), (std::vector<int> {0, 7}));

    // A failing step ends the box at once with failure.
    ranSteps().clear();
    static constexpr Step<TimedContext> kFailing[] = {
        {0, "step",
            [](TimedContext&, int step) {
                ranSteps().push_back(step);
                return StepResult {kStepTickMs, step == 2 ? StepPhase::Failed : StepPhase::Continue};
            }},
    };
    const Outcome failed = runBox({"T", "M", kFailing});
    EXPECT_FALSE(failed.succeeded);
    EXPECT_EQ(failed.ticks, 3);
    EXPECT_EQ(ui.processbox.step, 0);
}

TEST_F(ProgressBoxTest, ATickArrivingWhileOneRunsIsIgnored)
{
    // A message box inside a step runs a nested loop that can deliver the next expiry.
    static CProcessbox* running = nullptr;
    static constexpr Step<TimedContext> kSteps[] = {
        {0, "nested",
            [](TimedContext& context, int step) {
                record(context, step);
                running->OnTimer();
                return StepResult {kStepTickMs};
            }},
        {1, "wait", &record},
        {9, "end", &recordAndEnd},
    };
    CProcessbox box(ui, {"T", "M", kSteps});
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
    CProcessbox box(ui, powerOnOperation());
    auto* bar = control<QProgressBar>(&box, ProcessboxControl::ProgressBar);
    for (int i = 0; i < 11; ++i)
        box.advanceBar();
    EXPECT_EQ(bar->value(), 11);
    box.advanceBar();
    EXPECT_EQ(bar->value(), 0);
}

} // namespace
} // namespace ordalis::test
