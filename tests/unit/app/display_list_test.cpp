#include "app/display_list.h"
#include "app_fixture.h"

#include <vector>

namespace ordalis::test {
namespace {

constexpr char kFallback[] = "10.0.0.100";

struct ExpectedRecord
{
    const char* address;
    int column, row, monitorId;
};

struct DisplayListCase
{
    const char* name;
    std::uint8_t kind;
    int columns, rows;
    bool atBottom;
    std::vector<std::pair<int, const char*>> ipTable; // Monitor ID, address
    std::uint8_t targetBefore, targetAfter;
    std::vector<ExpectedRecord> records;
};

const DisplayListCase kCases[] = {
    {"serial has no records", 0, 3, 3, true, {{1, "10.0.0.1"}}, 0x05, 0x05, {}},
    {"one LAN connection", 1, 3, 3, true, {{1, "10.0.0.1"}}, 0x7F, 0x7F, {{kFallback, 0, 0, 1}}},
    {"wireless as one LAN connection", 3, 2, 2, false, {}, 0x85, 0x85, {{kFallback, 0, 0, 1}}},
    {"per display, empty table", 2, 2, 2, false, {}, 0x03, 0x03,
        {{kFallback, 1, 1, 1}, {kFallback, 2, 1, 2}, {kFallback, 2, 2, 3}, {kFallback, 1, 2, 4}}},
    {"per display, table with gaps", 2, 3, 1, true, {{1, "10.0.0.1"}, {3, "10.0.0.3"}, {4, "10.0.0.4"}}, 0x02,
        0x02, {{"10.0.0.1", 1, 1, 1}, {kFallback, 2, 1, 2}, {"10.0.0.3", 3, 1, 3}}},
    {"per display, bottom left", 2, 1, 2, true, {}, 0x00, 0x00, {{kFallback, 1, 2, 1}, {kFallback, 1, 1, 2}}},
    {"selection beyond the wall becomes display 1", 2, 1, 2, false, {}, 0x03, 0x01,
        {{kFallback, 1, 1, 1}, {kFallback, 1, 2, 2}}},
    {"all-displays bit kept", 2, 1, 2, false, {}, 0xFE, 0x81, {{kFallback, 1, 1, 1}, {kFallback, 1, 2, 2}}},
    {"selection of the last display kept", 2, 1, 2, false, {}, 0x82, 0x82,
        {{kFallback, 1, 1, 1}, {kFallback, 1, 2, 2}}},
};

class DisplayListTest : public AppFixture
{
protected:
    void setUp(const DisplayListCase& c)
    {
        app.ConnectionKind = c.kind;
        app.WallColumns = static_cast<std::uint8_t>(c.columns);
        app.WallRows = static_cast<std::uint8_t>(c.rows);
        app.FirstDisplayAtBottom = c.atBottom ? 1 : 0;
        app.settings.IpAddress.setBoth(QString::fromLatin1(kFallback));
        for (QString& entry : app.IpTable)
            entry.clear();
        for (const auto& [id, address] : c.ipTable)
            app.IpTable[static_cast<std::size_t>(id - 1)] = QString::fromLatin1(address);
        app.settings.CommandTarget.setBoth(c.targetBefore);
    }
};

TEST_F(DisplayListTest, BuildsOneRecordPerConnection)
{
    for (const DisplayListCase& c : kCases) {
        SCOPED_TRACE(c.name);
        setUp(c);
        BuildDisplayList(app);
        ASSERT_EQ(app.DisplayList.size(), c.records.size());
        for (std::size_t i = 0; i < c.records.size(); ++i) {
            const IPixy& record = app.DisplayList[i];
            const ExpectedRecord& e = c.records[i];
            SCOPED_TRACE(testing::Message() << "record " << i);
            EXPECT_EQ(record.address, QString::fromLatin1(e.address));
            EXPECT_TRUE(record.secondText.isEmpty());
            EXPECT_EQ(record.column, e.column);
            EXPECT_EQ(record.row, e.row);
            EXPECT_EQ(record.monitorId, e.monitorId);
            EXPECT_EQ(record.status, 255);
            EXPECT_EQ(record.connection, nullptr);
        }
        EXPECT_EQ(app.settings.CommandTarget.current, c.targetAfter);
        EXPECT_EQ(app.settings.CommandTarget.loaded, c.targetBefore);
    }
}

// A transport that counts how many are still alive.
class CountedTransport final : public LanConnection
{
public:
    explicit CountedTransport(int& alive) : m_alive(alive) { ++m_alive; }
    ~CountedTransport() override { --m_alive; }

    void setListener(LanConnectionListener*) override { }
    void connectTo(const QString&, std::uint16_t) override { }
    std::int64_t send(std::span<const std::uint8_t> bytes) override
    {
        return static_cast<std::int64_t>(bytes.size());
    }
    std::int64_t read(std::span<std::uint8_t>) override { return 0; }
    bool waitForReadable(std::int64_t) override { return false; }
    void close() override { }

private:
    int& m_alive;
};

std::unique_ptr<CClientSocket> countedConnection(int& alive)
{
    return std::make_unique<CClientSocket>(std::make_unique<CountedTransport>(alive), nullptr);
}

TEST_F(DisplayListTest, RebuildingDestroysTheOldConnections)
{
    setUp(kCases[3]); // per display, 2 x 2
    BuildDisplayList(app);
    int alive = 0;
    for (IPixy& record : app.DisplayList) {
        record.connection = countedConnection(alive);
        record.status = 0;
    }
    ASSERT_EQ(alive, 4);

    app.WallColumns = 1;
    BuildDisplayList(app);
    EXPECT_EQ(alive, 0);
    ASSERT_EQ(app.DisplayList.size(), 2u);
    EXPECT_EQ(app.DisplayList[0].status, 255);

    app.DisplayList[0].connection = countedConnection(alive);
    app.ConnectionKind = 0;
    BuildDisplayList(app);
    EXPECT_EQ(alive, 0);
    EXPECT_TRUE(app.DisplayList.empty());
}

TEST_F(DisplayListTest, WallLargerThanTheTableUsesTheFallback)
{
    DisplayListCase c = kCases[3];
    c.columns = c.rows = 15;
    setUp(c);
    app.IpTable[99] = QStringLiteral("10.0.0.99");
    BuildDisplayList(app);
    ASSERT_EQ(app.DisplayList.size(), 225u);
    EXPECT_EQ(app.DisplayList[99].address, QStringLiteral("10.0.0.99"));
    EXPECT_EQ(app.DisplayList[100].address, QString::fromLatin1(kFallback));
    EXPECT_EQ(app.DisplayList[224].monitorId, 225);
}

} // namespace
} // namespace ordalis::test
