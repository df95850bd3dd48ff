#include "link/command_exchange.h"
#include "rules/auto_setup_steps.h"
#include "tests/e2e/link/sim_fixture.h"
#include "tests/e2e/sim_walls.h"

#include <QCoreApplication>

#include <gmock/gmock.h>

namespace ordalis::test {
namespace {

using testing::ElementsAre;

struct NoBar final : StepProgress
{
    void advanceBar() override { }
};

// Runs the auto setup's steps as the progress box's ticks would, without the 500 ms between
// them. True when the operation ended with success.
bool runAutoSetup(CTavrinApp& app, std::uint8_t action)
{
    app.PendingPowerAction = action;
    const TimedOperation& operation = AutoSetupSteps::operation(
        static_cast<ConnectionKind>(app.ConnectionKind), action == AutoSetupSteps::kSortOnly);
    NoBar bar;
    TimedContext context {app, bar};
    std::uint8_t step = 0;
    for (int tick = 0; tick < 200; ++tick) {
        const StepResult result = runStep(operation.steps, step, context, kStepTickMs);
        if (result.phase != StepPhase::Continue)
            return result.phase == StepPhase::Succeeded;
        QCoreApplication::processEvents();
    }
    return false;
}

class ChainAutoSetupTest : public testing::TestWithParam<ConnectionKind>, public SimFixture
{
};

TEST_P(ChainAutoSetupTest, NumbersAndArrangesAThreeByThreeChain)
{
    const bool serial = GetParam() == ConnectionKind::Serial;
    ASSERT_TRUE(serial ? startSerial(unnumbered(9)) : startLan(unnumbered(9), GetParam()));
    app.WallColumns = 3;
    app.WallRows = 3;
    app.FirstDisplayAtBottom = 1;

    ASSERT_TRUE(runAutoSetup(app, 2)) << app.LastErrorText.toStdString();
    EXPECT_EQ(waiter.longPauses, serial ? std::vector<std::int64_t>() : std::vector<std::int64_t> {5000});

    for (int id = 1; id <= 9; ++id) {
        EXPECT_EQ(sim->display(id).monitorId, id);
        std::uint8_t matrix = 0;
        std::uint8_t divisionValue = 0;
        std::uint8_t wallMode = 0;
        ASSERT_TRUE(exchange.ReadValue(std::uint8_t(id), CommandCode("MAT"), matrix)) << id;
        ASSERT_TRUE(exchange.ReadValue(std::uint8_t(id), CommandCode("DIV"), divisionValue)) << id;
        ASSERT_TRUE(exchange.ReadValue(std::uint8_t(id), CommandCode("VWS"), wallMode)) << id;
        EXPECT_EQ(matrix, 0x33) << id;
        EXPECT_EQ(divisionValue, division(id, 3, 3, true)) << id;
        EXPECT_EQ(wallMode, 1) << id;
        EXPECT_EQ(sim->display(id).byteValue("VWF"), 1) << id;
    }
}

INSTANTIATE_TEST_SUITE_P(Links, ChainAutoSetupTest,
    testing::Values(ConnectionKind::Serial, ConnectionKind::Lan),
    [](const testing::TestParamInfo<ConnectionKind>& row) {
        return std::string(row.param == ConnectionKind::Serial ? "Serial" : "Lan");
    });

class EachDisplayAutoSetupTest : public testing::Test, public SimFixture
{
};

TEST_F(EachDisplayAutoSetupTest, NumbersEachDisplayThroughItsOwnModule)
{
    sim::SimConfig config = unnumbered(4);
    config.arrangeOnAddressedDiv = true;
    ASSERT_TRUE(startLanEach(config));
    app.WallColumns = 2;
    app.WallRows = 2;
    app.FirstDisplayAtBottom = 0;

    ASSERT_TRUE(runAutoSetup(app, 2)) << app.LastErrorText.toStdString();
    EXPECT_THAT(waiter.longPauses, ElementsAre(5000));
    for (int position = 1; position <= 4; ++position) {
        const sim::DisplaySnapshot display = sim->display(position);
        EXPECT_EQ(display.monitorId, position);
        EXPECT_EQ(display.byteValue("MAT"), 0x22);
        EXPECT_EQ(display.byteValue("DIV"), division(position, 2, 2, false));
        EXPECT_EQ(display.byteValue("VWF"), 1);
        EXPECT_EQ(display.byteValue("VWS"), 1);
    }
}

TEST_F(EachDisplayAutoSetupTest, SortOnlyTouchesNothingButTheNumber)
{
    ASSERT_TRUE(startLanEach(unnumbered(2)));
    const int before = sim->display(2).byteValue("MAT");

    ASSERT_TRUE(runAutoSetup(app, 3)) << app.LastErrorText.toStdString();
    EXPECT_EQ(sim->display(1).monitorId, 1);
    EXPECT_EQ(sim->display(2).monitorId, 2);
    EXPECT_EQ(sim->display(2).byteValue("MAT"), before);
}

} // namespace
} // namespace ordalis::test
