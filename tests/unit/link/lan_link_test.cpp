#include "link/lan_link.h"
#include "link_fixture.h"

#include <gmock/gmock.h>

namespace ordalis::test {
namespace {

using testing::ElementsAre;
using testing::ElementsAreArray;

class LanLinkTest : public LinkFixture, public testing::Test
{
protected:
    void threeDisplays(ConnectionKind kind = ConnectionKind::LanEach)
    {
        useLan(
            kind, {QStringLiteral("127.0.0.11"), QStringLiteral("127.0.0.12"), QStringLiteral("127.0.0.13")});
    }
    LanLink lan {app};
};

TEST_F(LanLinkTest, RecordSelection)
{
    struct Case
    {
        ConnectionKind kind;
        int records;
        int number;
        int expected; // record index + 1, 0 for none
    };
    const Case cases[] = {
        {ConnectionKind::Lan, 1, 1, 1},
        {ConnectionKind::Lan, 1, 7, 1},
        {ConnectionKind::Lan, 1, 0, 1},
        {ConnectionKind::Wireless, 1, 101, 1},
        {ConnectionKind::Wireless, 1, -3, 1},
        {ConnectionKind::Lan, 0, 1, 0},
        {ConnectionKind::LanEach, 3, 0, 0},
        {ConnectionKind::LanEach, 3, 1, 1},
        {ConnectionKind::LanEach, 3, 3, 3},
        {ConnectionKind::LanEach, 3, 4, 0},
        {ConnectionKind::LanEach, 3, 101, 0},
        {ConnectionKind::LanEach, 120, 100, 100},
        {ConnectionKind::LanEach, 120, 101, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
            << "kind " << int(c.kind) << " records " << c.records << " number " << c.number);
        app.ConnectionKind = std::uint8_t(c.kind);
        app.DisplayList.clear();
        app.DisplayList.resize(std::size_t(c.records));
        const IPixy* record = lan.record(c.number);
        EXPECT_EQ(record ? int(record - app.DisplayList.data()) + 1 : 0, c.expected);
    }
}

TEST_F(LanLinkTest, PortFollowsTheModuleType)
{
    struct Case
    {
        std::uint8_t lanType;
        std::int32_t telnetPort;
        std::uint16_t expected;
    };
    const Case cases[] = {{0, 23, 23}, {0, 2323, 2323}, {1, 23, 8899}, {1, 4000, 8899}, {2, 4000, 4000},
        {0, 0, 0}, {0, 70000, 0}, {0, -1, 0}, {0, 65535, 65535}};
    for (const Case& c : cases) {
        app.settings.LanType.setBoth(c.lanType);
        app.settings.TelnetPort.setBoth(c.telnetPort);
        EXPECT_EQ(lan.port(), c.expected) << int(c.lanType) << " " << c.telnetPort;
    }
}

TEST_F(LanLinkTest, ConnectingOneRecordOrAll)
{
    app.ConnectionKind = std::uint8_t(ConnectionKind::LanEach);
    app.settings.LanType.setBoth(1);
    for (const char* address : {"127.0.0.11", "127.0.0.12"}) {
        IPixy record;
        record.address = QString::fromLatin1(address);
        app.DisplayList.push_back(std::move(record));
    }
    network.peer(QStringLiteral("127.0.0.11"), 8899);
    network.peer(QStringLiteral("127.0.0.12"), 8899);

    // One record: its connected flag is set at once.
    lan.ConnectDisplaySocket(2);
    ASSERT_NE(app.DisplayList[1].connection, nullptr);
    EXPECT_EQ(app.DisplayList[0].connection, nullptr);
    EXPECT_EQ(app.DisplayList[1].connection->connectedFlag, 1);
    EXPECT_EQ(app.DisplayList[1].connection->state, CClientSocket::kStateNew);
    EXPECT_THAT(clock.sleeps(), ElementsAre(100));

    // Every record: the flags wait for the outcome; the one above is replaced.
    lan.ConnectDisplaySocket(0);
    EXPECT_EQ(app.DisplayList[0].connection->connectedFlag, 0);
    EXPECT_EQ(app.DisplayList[1].connection->connectedFlag, 0);
    EXPECT_THAT(clock.sleeps(), ElementsAre(100, 100, 100));
    ASSERT_EQ(network.attempts().size(), 3u);
    EXPECT_EQ(network.attempts()[0].address, QStringLiteral("127.0.0.12"));
    EXPECT_EQ(network.attempts()[2].port, 8899);
    EXPECT_EQ(network.liveConnections(), 2);

    network.deliverEvents();
    for (const IPixy& record : app.DisplayList) {
        EXPECT_EQ(record.connection->connectedFlag, 1);
        EXPECT_EQ(record.connection->state, CClientSocket::kStateWritable);
    }

    lan.CloseDisplaySocket(1);
    EXPECT_EQ(app.DisplayList[0].connection, nullptr);
    EXPECT_EQ(network.peer(QStringLiteral("127.0.0.11"), 8899).openConnections(), 0);
    EXPECT_EQ(network.peer(QStringLiteral("127.0.0.12"), 8899).openConnections(), 1);
    lan.CloseDisplaySocket(0);
    EXPECT_EQ(network.liveConnections(), 0);
}

TEST_F(LanLinkTest, ConnectionThatCannotBeCreated)
{
    app.ConnectionKind = std::uint8_t(ConnectionKind::LanEach);
    app.DisplayList.resize(2);
    network.failNextCreate();
    lan.ConnectDisplaySocket(0);
    EXPECT_EQ(app.DisplayList[0].connection, nullptr);
    EXPECT_NE(app.DisplayList[1].connection, nullptr);
    EXPECT_THAT(boxTexts(prompts.messages()), ElementsAre("Could not create new socket|0"));
    EXPECT_THAT(clock.sleeps(), ElementsAre(100)) << "no pause for the connection that was not made";
}

TEST_F(LanLinkTest, ConnectStatesFollowTheEvents)
{
    network.peer(QStringLiteral("127.0.0.12"), 23).refuses = true;
    threeDisplays();
    EXPECT_EQ(app.DisplayList[0].connection->state, CClientSocket::kStateWritable);
    EXPECT_EQ(app.DisplayList[1].connection->state, CClientSocket::kStateFailed);
    EXPECT_EQ(app.DisplayList[1].connection->connectedFlag, 1);

    // A failed connection is never used for sending.
    EXPECT_FALSE(lan.SendToDisplay(2, hex("07 02 01 50 4F 57 08")));
    std::array<std::uint8_t, 8> reply {};
    EXPECT_FALSE(lan.ReceiveFromDisplay(2, reply));

    peerOf(3).closeNow();
    network.deliverEvents();
    EXPECT_EQ(app.DisplayList[2].connection->connectedFlag, 0);
    EXPECT_EQ(app.DisplayList[2].connection->state, CClientSocket::kStateNew);
    EXPECT_FALSE(lan.SendToDisplay(3, hex("07 03 01 50 4F 57 08")));
    EXPECT_TRUE(clock.sleeps().empty());
}

TEST_F(LanLinkTest, SendRejectsNumbersThatNameNoRecord)
{
    threeDisplays();
    for (int number : {0, 4, 101, -1})
        EXPECT_FALSE(lan.SendToDisplay(number, hex("07 00 02 50 4F 57 01 08"))) << number;
    for (int display = 1; display <= 3; ++display)
        EXPECT_TRUE(peerOf(display).received().empty());

    // With one connection every number names it.
    app.DisplayList.clear();
    useLan(ConnectionKind::Lan, {QStringLiteral("127.0.0.10")});
    EXPECT_TRUE(lan.SendToDisplay(7, hex("07 07 01 50 4F 57 08")));
    EXPECT_TRUE(lan.SendToDisplay(0, hex("07 00 01 50 4F 57 08")));
    EXPECT_EQ(peerOf(1).received().size(), 2u);
}

TEST_F(LanLinkTest, ReceiveDeadlineFollowsTheLastTarget)
{
    struct Case
    {
        int lastTargetId;
        std::int64_t waitedMs;
        int storedAfter;
    };
    for (const Case& c : {Case {0, 2000, 0}, Case {25, 2750, 25}, Case {100, 5000, 100},
             Case {120, 5000, 100}, Case {255, 5000, 100}}) {
        threeDisplays();
        app.LastTargetId = std::uint8_t(c.lastTargetId);
        std::array<std::uint8_t, 8> reply {};
        const std::int64_t start = clock.nowMs();
        EXPECT_FALSE(lan.ReceiveFromDisplay(1, reply));
        EXPECT_EQ(clock.nowMs() - start, c.waitedMs) << c.lastTargetId;
        EXPECT_EQ(app.LastTargetId, c.storedAfter);
        app.DisplayList.clear();
    }
}

TEST_F(LanLinkTest, ReceiveTakesExactlyWhatIsAskedAndLeavesTheRest)
{
    threeDisplays();
    peerOf(1).pushNow(hex("07 01 00 42 52 49 3C 08 07 02"));
    std::array<std::uint8_t, 3> header {};
    ASSERT_TRUE(lan.ReceiveFromDisplay(1, header));
    EXPECT_EQ(toHex(Bytes(header.begin(), header.end())), "07 01 00");
    std::array<std::uint8_t, 5> rest {};
    ASSERT_TRUE(lan.ReceiveFromDisplay(1, rest));
    EXPECT_EQ(toHex(Bytes(rest.begin(), rest.end())), "42 52 49 3C 08");

    // More than 32 bytes is never asked of the connection; the destination is left alone.
    std::array<std::uint8_t, 33> tooMany {};
    tooMany.fill(0xEE);
    peerOf(1).pushNow(Bytes(40, 0x55));
    EXPECT_FALSE(lan.ReceiveFromDisplay(1, tooMany));
    EXPECT_EQ(tooMany[0], 0xEE);

    // Bytes that arrived unasked are drained before a send.
    EXPECT_TRUE(lan.SendToDisplay(1, hex("07 01 01 42 52 49 08")));
    std::array<std::uint8_t, 1> one {};
    const std::int64_t start = clock.nowMs();
    EXPECT_FALSE(lan.ReceiveFromDisplay(1, one));
    EXPECT_EQ(clock.nowMs() - start, 2000);
}

TEST_F(LanLinkTest, ReceiveEndsWhenTheConnectionCloses)
{
    threeDisplays();
    peerOf(2).replyToNextSend({{10, hex("07 02")}});
    peerOf(2).closeAfterNextSend(700);
    ASSERT_TRUE(lan.SendToDisplay(2, hex("07 02 01 42 52 49 08")));
    std::array<std::uint8_t, 8> reply {};
    reply.fill(0xEE);
    const std::int64_t start = clock.nowMs();
    EXPECT_FALSE(lan.ReceiveFromDisplay(2, reply));
    EXPECT_EQ(clock.nowMs() - start, 600);
    EXPECT_EQ(reply[0], 0xEE);
}

// The console's view: what the receive events put in the ring.
TEST_F(LanLinkTest, ReceiveRing)
{
    threeDisplays(ConnectionKind::Lan);
    CClientSocket& socket = *app.DisplayList[0].connection;
    EXPECT_FALSE(lan.hasUnreadBytes(1));
    EXPECT_EQ(socket.dataArrivedFlag, 0);

    peerOf(1).pushNow(hex("07 01 00 42 52 49 3C 08"));
    network.deliverEvents();
    EXPECT_EQ(socket.dataArrivedFlag, 1);
    EXPECT_EQ(socket.writeIndex, 8);
    ASSERT_TRUE(lan.hasUnreadBytes(1));
    EXPECT_EQ(toHex(lan.takeBytes(1, 3)), "07 01 00");
    EXPECT_EQ(toHex(lan.takeBytes(5, 5)), "42 52 49 3C 08") << "number 5 names the single record";
    EXPECT_FALSE(lan.hasUnreadBytes(1));

    // Round the end of the ring: the receive fills it to 256, then starts again at 0.
    peerOf(1).pushNow(Bytes(248, 0x11));
    network.deliverEvents();
    EXPECT_EQ(socket.writeIndex, 0);
    peerOf(1).pushNow(hex("A1 A2 A3"));
    network.deliverEvents();
    EXPECT_EQ(socket.writeIndex, 3);
    EXPECT_EQ(toHex(Bytes(socket.receiveRing.begin(), socket.receiveRing.begin() + 3)), "A1 A2 A3");
    EXPECT_EQ(socket.receiveRing[255], 0x11);

    // Reading wraps modulo 256 as well.
    socket.readIndex = 254;
    EXPECT_EQ(toHex(lan.takeBytes(1, 5)), "11 11 A1 A2 A3");
    EXPECT_EQ(socket.readIndex, 3);

    // Draining empties the ring.
    peerOf(1).pushNow(hex("01 02"));
    network.deliverEvents();
    lan.DrainDisplaySocket(1);
    EXPECT_EQ(socket.writeIndex, 0);
    EXPECT_EQ(socket.readIndex, 0);
}

TEST_F(LanLinkTest, OutOfBandDataShowsABox)
{
    threeDisplays(ConnectionKind::Lan);
    peerOf(1).sendOutOfBand();
    network.deliverEvents();
    EXPECT_THAT(boxTexts(prompts.messages()), ElementsAre("OOB received|0"));
}

TEST(LanAddressChecks, IpAddress)
{
    const std::pair<const char*, bool> cases[] = {
        {"192.168.1.100", true},
        {"0.0.0.0", true},
        {"255.255.255.255", true},
        {"010.001.000.099", true},
        {"0000000000000000000000001.2.3.4", true}, // 31 characters
        {"00000000000000000000000001.2.3.4", false}, // 32 characters
        {"192.168.1", false},
        {"192.168.1.256", false},
        {"1..2.3", false},
        {"1.2.3.4.5", false},
        {"a.b.c.d", false},
        {"", false},
        {".1.2.3", false},
        {"1.2.3.", false},
        {"1.2.3.4 ", false},
        {"1.2.3.99999999999999999999", false},
        {"1.2.3.-4", false},
    };
    for (const auto& [text, valid] : cases)
        EXPECT_EQ(LanLink::IsValidIpAddress(QString::fromLatin1(text)), valid) << text;
}

TEST(LanAddressChecks, MacAddress)
{
    const std::pair<const char*, bool> cases[] = {
        {"0123456789ab", true},
        {"ABCDEFabcdef", true},
        {"0123456789a", false},
        {"0123456789abc", false},
        {"0123456789ag", false},
        {"01:23:45:67:8", false},
        {"", false},
    };
    for (const auto& [text, valid] : cases)
        EXPECT_EQ(LanLink::IsValidMacAddress(QString::fromLatin1(text)), valid) << text;
}

TEST_F(LanLinkTest, LocalAddressesAtMostTen)
{
    std::array<QString, LanLink::kMaxLocalAddresses> addresses;
    EXPECT_EQ(lan.GetLocalAddresses(addresses), 0);

    for (int i = 1; i <= 12; ++i)
        hosts.addresses.append(QStringLiteral("192.0.2.%1").arg(i));
    EXPECT_EQ(lan.GetLocalAddresses(addresses), 10);
    EXPECT_EQ(addresses[0], QStringLiteral("192.0.2.1"));
    EXPECT_EQ(addresses[9], QStringLiteral("192.0.2.10"));
}

} // namespace
} // namespace ordalis::test
