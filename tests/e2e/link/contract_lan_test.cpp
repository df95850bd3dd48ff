// What the exchange and the connection keeper rely on from a LAN connection, run over the
// scripted network and over the real connection on loopback, so that the fake cannot drift from
// the connection it stands for.
#include "contract_lan_worlds.h"

#include <gmock/gmock.h>

namespace ordalis::test {
namespace {

using testing::ElementsAre;
using testing::IsEmpty;

template<typename World> class LanConnectionContract : public testing::Test
{
protected:
    World world;
};

using LanWorlds = testing::Types<FakeLanWorld, LoopbackLanWorld>;
TYPED_TEST_SUITE(LanConnectionContract, LanWorlds, WorldName);

const std::string kRefused = "connected " + std::to_string(LanConnection::kRefused);
const std::string kBadAddress = "connected " + std::to_string(LanConnection::kBadAddress);

TYPED_TEST(LanConnectionContract, AcceptedConnectIsReportedThenWritable)
{
    EXPECT_THAT(this->world.connect(), ElementsAre("connected 0", "writable"));
}

TYPED_TEST(LanConnectionContract, RefusedConnectFailsEverythingAfter)
{
    TypeParam& w = this->world;
    EXPECT_THAT(w.connectRefused(), ElementsAre(kRefused));
    EXPECT_EQ(w.connection().send(Bytes {0x07}), -1);
    EXPECT_EQ(w.read(8).result, -1);
    const std::int64_t start = w.now();
    EXPECT_FALSE(w.connection().waitForReadable(start + 1000));
    EXPECT_LE(w.now(), start + TypeParam::kLateMs) << "nothing to wait for";
}

TYPED_TEST(LanConnectionContract, BytesArrivingBeforeTheDeadlineAreRead)
{
    TypeParam& w = this->world;
    ASSERT_THAT(w.connect(), ElementsAre("connected 0", "writable"));
    const std::int64_t start = w.now();
    const std::int64_t deadline = start + 1000;
    w.peerSendsAfter(20, {0x07, 0x05, 0x00, 0x42});
    w.peerSendsAfter(150, {0x52, 0x08});

    EXPECT_TRUE(w.connection().waitForReadable(deadline));
    EXPECT_LT(w.now(), start + 150) << "the wait ends when the first piece comes";
    EXPECT_THAT(w.read(2).bytes, ElementsAre(0x07, 0x05)) << "never more than asked";
    EXPECT_THAT(w.read(8).bytes, ElementsAre(0x00, 0x42));
    EXPECT_EQ(w.read(8).result, 0) << "a read never waits";
    EXPECT_TRUE(w.connection().waitForReadable(deadline));
    EXPECT_THAT(w.read(8).bytes, ElementsAre(0x52, 0x08));
    EXPECT_LT(w.now(), deadline);
}

TYPED_TEST(LanConnectionContract, NothingArrivingEndsTheWaitAtItsDeadline)
{
    TypeParam& w = this->world;
    ASSERT_THAT(w.connect(), ElementsAre("connected 0", "writable"));
    const std::int64_t deadline = w.now() + 60;
    w.peerSendsAfter(120, {0x07});

    EXPECT_FALSE(w.connection().waitForReadable(deadline));
    EXPECT_GE(w.now(), deadline) << "a time-out never ends the wait early";
    EXPECT_LE(w.now(), deadline + TypeParam::kLateMs);
    EXPECT_EQ(w.read(8).result, 0);
    EXPECT_TRUE(w.connection().waitForReadable(w.now() + 1000)) << "what came later is read later";
    EXPECT_THAT(w.read(8).bytes, ElementsAre(0x07));
}

// The exchange reads before it waits: what has arrived is taken without any wait.
TYPED_TEST(LanConnectionContract, ReadTakesWhatHasArrived)
{
    TypeParam& w = this->world;
    ASSERT_THAT(w.connect(), ElementsAre("connected 0", "writable"));
    w.peerSendsAfter(0, {0x07, 0x05, 0x00, 0x42});
    EXPECT_THAT(w.read(8).bytes, ElementsAre(0x07, 0x05, 0x00, 0x42));
}

TYPED_TEST(LanConnectionContract, PassedDeadlineDoesNotWaitForWhatIsComing)
{
    TypeParam& w = this->world;
    ASSERT_THAT(w.connect(), ElementsAre("connected 0", "writable"));
    const std::int64_t start = w.now();
    w.peerSendsAfter(40, {0x07});
    EXPECT_FALSE(w.connection().waitForReadable(start - 1));
    EXPECT_LE(w.now(), start + TypeParam::kLateMs);
    EXPECT_EQ(w.read(8).result, 0);
}

// The peer sends and closes while the program does something else: the bytes come first, then
// the close, and the wait after them ends at once.
TYPED_TEST(LanConnectionContract, BytesLeftAfterThePeerClosedAreReadThenTheReadFails)
{
    TypeParam& w = this->world;
    ASSERT_THAT(w.connect(), ElementsAre("connected 0", "writable"));
    w.peerSendsAfter(0, {0x07, 0x05, 0x00, 0x42});
    w.peerClosesAfter(0);

    EXPECT_TRUE(w.connection().waitForReadable(w.now() + 1000));
    EXPECT_THAT(w.read(8).bytes, ElementsAre(0x07, 0x05, 0x00, 0x42));
    const std::int64_t start = w.now();
    EXPECT_FALSE(w.connection().waitForReadable(start + 1000));
    EXPECT_LE(w.now(), start + TypeParam::kLateMs) << "not at the deadline";
    EXPECT_EQ(w.read(8).result, -1);
    EXPECT_TRUE(w.runEventsUntil([&] { return w.listener().saw("closed"); }, 1000));
    EXPECT_THAT(w.listener().taken, IsEmpty());
}

TYPED_TEST(LanConnectionContract, PeerClosingDuringAWaitEndsIt)
{
    TypeParam& w = this->world;
    ASSERT_THAT(w.connect(), ElementsAre("connected 0", "writable"));
    const std::int64_t start = w.now();
    w.peerClosesAfter(40);
    EXPECT_FALSE(w.connection().waitForReadable(start + 1000));
    EXPECT_LE(w.now(), start + 40 + TypeParam::kLateMs) << "not at the deadline";
    EXPECT_EQ(w.read(8).result, -1);
}

// What arrives during a wait is the waiter's: a receive handler that holds its reports until the
// wait is over finds nothing left.
TYPED_TEST(LanConnectionContract, BytesArrivingDuringAWaitAreTheWaiters)
{
    TypeParam& w = this->world;
    ASSERT_THAT(w.connect(), ElementsAre("connected 0", "writable"));
    w.peerSendsAfter(20, {0x07, 0x05, 0x00, 0x42, 0x52, 0x4C, 0x32, 0x08});

    EXPECT_TRUE(w.connection().waitForReadable(w.now() + 1000));
    EXPECT_THAT(w.read(3).bytes, ElementsAre(0x07, 0x05, 0x00));
    EXPECT_THAT(w.read(8).bytes, ElementsAre(0x42, 0x52, 0x4C, 0x32, 0x08));
    EXPECT_THAT(w.listener().events, IsEmpty());
    EXPECT_TRUE(w.runEventsUntil([&] { return w.listener().saw("readable"); }, 1000));
    EXPECT_THAT(w.listener().taken, IsEmpty()) << "nothing left for the handler";
}

TYPED_TEST(LanConnectionContract, SendsReachThePeerInOrder)
{
    TypeParam& w = this->world;
    ASSERT_THAT(w.connect(), ElementsAre("connected 0", "writable"));
    EXPECT_EQ(w.connection().send(Bytes {0x07, 0x00, 0x02, 0x50, 0x4F, 0x57, 0x01, 0x08}), 8);
    EXPECT_EQ(w.connection().send(Bytes {0x07, 0x01}), 2);
    EXPECT_THAT(w.peerReceived(10), ElementsAre(0x07, 0x00, 0x02, 0x50, 0x4F, 0x57, 0x01, 0x08, 0x07, 0x01));
}

// Where the scripted network differs from the real connection. The real connection is right
// here: these cases run on it alone until the fake is fixed, and FakeLanWorld then joins the list.
template<typename World> class LanConnectionContractFakeDiffers : public LanConnectionContract<World>
{
};
TYPED_TEST_SUITE(LanConnectionContractFakeDiffers, testing::Types<LoopbackLanWorld>, WorldName);

// TODO(FakeLanNetwork): an address that is not dotted IPv4 is reported as kRefused, not
// kBadAddress.
TYPED_TEST(LanConnectionContractFakeDiffers, NameIsABadAddress)
{
    EXPECT_THAT(this->world.connectTo(QStringLiteral("display-one.local"), 23), ElementsAre(kBadAddress));
}

// The peer sent and closed while the program did something else.
// TODO(FakeLanNetwork): send() returns -1 as soon as the peer has closed; the real connection
// learns of the close only from the event loop or a wait, and takes the send until then.
TYPED_TEST(LanConnectionContractFakeDiffers, SendAfterAnUnnoticedPeerCloseIsTaken)
{
    TypeParam& w = this->world;
    ASSERT_THAT(w.connect(), ElementsAre("connected 0", "writable"));
    w.peerSendsAfter(0, {0x07, 0x05, 0x00, 0x42});
    w.peerClosesAfter(0);
    EXPECT_EQ(w.connection().send(Bytes {0x07, 0x05, 0x01, 0x42, 0x52, 0x49, 0x08}), 7);
    EXPECT_TRUE(w.connection().waitForReadable(w.now() + 1000)) << "the reset the send earns loses nothing";
    EXPECT_THAT(w.read(8).bytes, ElementsAre(0x07, 0x05, 0x00, 0x42));
    EXPECT_FALSE(w.connection().waitForReadable(w.now() + 1000));
    EXPECT_EQ(w.read(8).result, -1);
}

// A deadline already passed still sees what has arrived, as the waiter and the serial port do:
// the real connection first takes in what the system holds.
TYPED_TEST(LanConnectionContract, PassedDeadlineSeesWhatHasArrived)
{
    TypeParam& w = this->world;
    ASSERT_THAT(w.connect(), ElementsAre("connected 0", "writable"));
    w.peerSendsAfter(0, {0x07, 0x05});
    EXPECT_TRUE(w.connection().waitForReadable(w.now() - 1));
    EXPECT_THAT(w.read(8).bytes, ElementsAre(0x07, 0x05));
}

} // namespace
} // namespace ordalis::test
