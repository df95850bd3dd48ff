#include "link/command_exchange.h"
#include "sim_fixture.h"

#include <gmock/gmock.h>

namespace ordalis::test {
namespace {

using testing::ElementsAre;

// Division (x << 4 | y) of the display with this Monitor ID on a serpentine wall.
int division(int monitorId, int columns, int rows, bool fromBottom)
{
    const int a = monitorId - 1;
    const int k = a / columns;
    const int p = a % columns;
    const int x = k % 2 == 0 ? p + 1 : columns - p;
    const int y = fromBottom ? rows - k : k + 1;
    return x << 4 | y;
}

// Nine displays that all carry Monitor ID 1, as they come from the factory.
sim::SimConfig unnumbered(int count)
{
    sim::SimConfig config = sim::SimConfig::chain(count);
    for (sim::DisplaySetup& display : config.displays)
        display.monitorId = 1;
    return config;
}

class ChainAutoSetupTest : public testing::TestWithParam<ConnectionKind>, public SimFixture
{
};

TEST_P(ChainAutoSetupTest, NumbersAndArrangesAThreeByThreeChain)
{
    sim::SimConfig config = unnumbered(9);
    const bool serial = GetParam() == ConnectionKind::Serial;
    if (serial)
        config.serial = true;
    else
        config.lan = sim::Endpoint {"127.0.0.1", 0};
    ASSERT_TRUE(startSim(config));

    app.WallColumns = 3;
    app.WallRows = 3;
    app.FirstDisplayAtBottom = 1;
    if (!serial) {
        app.settings.IpAddress.setBoth(QString::fromStdString(sim().lanAddress()));
        app.settings.TelnetPort.setBoth(sim().lanPort());
        ASSERT_TRUE(connectLan(GetParam()));
    }

    ASSERT_TRUE(runAutoSetup(2)) << app.LastErrorText.toStdString();
    EXPECT_EQ(clock.longPauses, serial ? std::vector<std::int64_t>() : std::vector<std::int64_t> {5000});

    CommandExchange exchange(app);
    for (int id = 1; id <= 9; ++id) {
        EXPECT_EQ(sim().display(id).monitorId, id);
        std::uint8_t matrix = 0;
        std::uint8_t divisionValue = 0;
        std::uint8_t wallMode = 0;
        ASSERT_TRUE(exchange.ReadValue(std::uint8_t(id), CommandCode("MAT"), matrix)) << id;
        ASSERT_TRUE(exchange.ReadValue(std::uint8_t(id), CommandCode("DIV"), divisionValue)) << id;
        ASSERT_TRUE(exchange.ReadValue(std::uint8_t(id), CommandCode("VWS"), wallMode)) << id;
        EXPECT_EQ(matrix, 0x33) << id;
        EXPECT_EQ(divisionValue, division(id, 3, 3, true)) << id;
        EXPECT_EQ(wallMode, 1) << id;
        EXPECT_EQ(sim().display(id).byteValue("VWF"), 1) << id;
    }
}

INSTANTIATE_TEST_SUITE_P(Links, ChainAutoSetupTest,
    testing::Values(ConnectionKind::Serial, ConnectionKind::Lan),
    [](const testing::TestParamInfo<ConnectionKind>& info) {
        return std::string(info.param == ConnectionKind::Serial ? "Serial" : "Lan");
    });

class EachDisplayAutoSetupTest : public testing::Test, public SimFixture
{
};

TEST_F(EachDisplayAutoSetupTest, NumbersEachDisplayThroughItsOwnModule)
{
    sim::SimConfig config = unnumbered(4);
    config.lanEach = sim::Endpoint {"127.0.0.20", 0};
    config.arrangeOnAddressedDiv = true;
    ASSERT_TRUE(startSim(config));

    app.WallColumns = 2;
    app.WallRows = 2;
    app.FirstDisplayAtBottom = 0;
    for (int position = 1; position <= 4; ++position)
        app.IpTable[std::size_t(position - 1)] = QString::fromStdString(sim().lanEachAddress(position));
    app.settings.TelnetPort.setBoth(sim().lanEachPort());
    ASSERT_TRUE(connectLan(ConnectionKind::LanEach));

    ASSERT_TRUE(runAutoSetup(2)) << app.LastErrorText.toStdString();
    EXPECT_THAT(clock.longPauses, ElementsAre(5000));
    for (int position = 1; position <= 4; ++position) {
        const sim::DisplaySnapshot display = sim().display(position);
        EXPECT_EQ(display.monitorId, position);
        EXPECT_EQ(display.byteValue("MAT"), 0x22);
        EXPECT_EQ(display.byteValue("DIV"), division(position, 2, 2, false));
        EXPECT_EQ(display.byteValue("VWF"), 1);
        EXPECT_EQ(display.byteValue("VWS"), 1);
    }
}

TEST_F(EachDisplayAutoSetupTest, SortOnlyTouchesNothingButTheNumber)
{
    sim::SimConfig config = unnumbered(2);
    config.lanEach = sim::Endpoint {"127.0.0.30", 0};
    ASSERT_TRUE(startSim(config));
    app.WallColumns = 2;
    app.WallRows = 1;
    for (int position = 1; position <= 2; ++position)
        app.IpTable[std::size_t(position - 1)] = QString::fromStdString(sim().lanEachAddress(position));
    app.settings.TelnetPort.setBoth(sim().lanEachPort());
    ASSERT_TRUE(connectLan(ConnectionKind::LanEach));
    const int before = sim().display(2).byteValue("MAT");

    ASSERT_TRUE(runAutoSetup(3)) << app.LastErrorText.toStdString();
    EXPECT_EQ(sim().display(1).monitorId, 1);
    EXPECT_EQ(sim().display(2).monitorId, 2);
    EXPECT_EQ(sim().display(2).byteValue("MAT"), before);
}

} // namespace
} // namespace ordalis::test
