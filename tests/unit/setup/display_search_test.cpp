#include "rules/display_search.h"
#include "rules/probe_search.h"
#include "tests/fakes/fake_datagram_network.h"
#include "tests/support/case_name.h"
#include "tests/unit/link/link_fixture.h"

#include <gmock/gmock.h>

namespace ordalis::test {
namespace {

using testing::ElementsAre;
using testing::IsEmpty;

struct ReplyCase
{
    const char* name;
    QByteArray datagram;
    bool accepted;
    const char* deviceName;
    const char* address;
};

void PrintTo(const ReplyCase& c, std::ostream* os)
{
    *os << c.name;
}

const ReplyCase kReplyCases[] = {
    {"Whole", "192.168.1.20,0011223344AA,WIFI-MODULE", true, "WIFI-MODULE", "192.168.1.20"},
    {"CutTo24Bytes", QByteArray("192.168.1.20,0011223344AA,WIFI-MODULE").left(24), false, "", ""},
    {"Exactly25Bytes", "1.2.3.4,0011223344aa,NAME", true, "NAME", "1.2.3.4"},
    {"NameRunsToTheEnd", "10.0.0.7,A1B2C3D4E5F6,KV, 2nd floor", true, "KV, 2nd floor", "10.0.0.7"},
    {"NameEndsAtZeroByte", QByteArray("10.0.0.7,A1B2C3D4E5F6,PANEL\0junk", 32), true, "PANEL", "10.0.0.7"},
    {"MacOf11", "192.168.1.20,0011223344A,WIFI-MODULE", false, "", ""},
    {"MacOf13", "192.168.1.20,0011223344AAB,WIFI-MODULE", false, "", ""},
    {"MacNotHex", "192.168.1.20,0011223344AG,WIFI-MODULE", false, "", ""},
    {"PartAbove255", "192.168.1.256,0011223344AA,WIFI-MODULE", false, "", ""},
    {"EmptyPart", "192.168..20,0011223344AA,WIFI-MODULE-X", false, "", ""},
    {"NoComma", "192.168.1.20 0011223344AA WIFI-MODULE", false, "", ""},
    {"OneComma", "192.168.1.20,0011223344AA WIFI-MODULE", false, "", ""},
};

class ReplyTest : public testing::TestWithParam<ReplyCase>
{
};

TEST_P(ReplyTest, ParsesOrDrops)
{
    const ReplyCase& c = GetParam();
    const std::optional<IPSearch> reply = UdpDisplaySearch::parseReply(c.datagram);
    ASSERT_EQ(reply.has_value(), c.accepted);
    if (reply) {
        EXPECT_EQ(reply->first.toStdString(), c.deviceName);
        EXPECT_EQ(reply->second.toStdString(), c.address);
    }
}

INSTANTIATE_TEST_SUITE_P(Udp, ReplyTest, testing::ValuesIn(kReplyCases), rowName<ReplyCase>);

TEST(DisplaySearchNetworks, OneRequestPerDistinctNetwork)
{
    EXPECT_THAT(
        UdpDisplaySearch::broadcastTargets({"192.168.1.5", "192.168.1.7"}), ElementsAre("192.168.1.255"));
    EXPECT_THAT(UdpDisplaySearch::broadcastTargets({"192.168.1.5", "10.0.0.5", "192.168.1.9"}),
        ElementsAre("192.168.1.255", "10.0.0.255"));
    EXPECT_THAT(TcpProbeSearch::networkPrefixes({"192.168.1.5", "192.168.1.7", "10.0.0.5"}),
        ElementsAre("192.168.1.", "10.0.0."));
}

class UdpSearchTest : public testing::Test, public LinkFixture
{
protected:
    UdpSearchTest() { app.services.datagrams = &datagrams; }

    std::vector<std::string> run()
    {
        std::vector<std::string> rows;
        start = clock.nowMs();
        UdpDisplaySearch search(app);
        found = search.run(
            [&](const IPSearch& r) { rows.push_back(r.first.toStdString() + " " + r.second.toStdString()); });
        return rows;
    }

    FakeDatagramNetwork datagrams {clock, waiter};
    std::int64_t start = 0;
    int found = -1;
};

// The deadline counts from the start of the whole search: the first network hears replies for
// 5 s, the second only those that came during its 1 s pause.
TEST_F(UdpSearchTest, DeadlineFromTheStartOfTheSearch)
{
    hosts.addresses = {"192.168.1.5", "192.168.1.7", "10.0.0.5"};
    datagrams.answerEverySend({{200, "192.168.1.20,0011223344AA,FIRST"}, {300, "short,reply"},
        {2500, "192.168.1.21,0011223344AB,LATE-ONE"}});

    EXPECT_THAT(run(), ElementsAre("FIRST 192.168.1.20", "LATE-ONE 192.168.1.21", "FIRST 192.168.1.20"));
    EXPECT_EQ(found, 3);
    ASSERT_EQ(datagrams.sent().size(), 2u);
    for (const FakeDatagramNetwork::Sent& sent : datagrams.sent()) {
        EXPECT_EQ(sent.bytes, QByteArray("HF-A11ASSISTHREAD"));
        EXPECT_EQ(sent.localPort, 48899);
        EXPECT_EQ(sent.port, 48899);
    }
    EXPECT_EQ(datagrams.sent()[0].address, "192.168.1.255");
    EXPECT_EQ(datagrams.sent()[0].atMs, start);
    EXPECT_EQ(datagrams.sent()[1].address, "10.0.0.255");
    EXPECT_EQ(datagrams.sent()[1].atMs, start + 5000);
    EXPECT_EQ(clock.nowMs(), start + 6000);
    EXPECT_THAT(prompts.messages(), IsEmpty());
}

TEST_F(UdpSearchTest, NoLocalAddressSendsNothing)
{
    EXPECT_THAT(run(), IsEmpty());
    EXPECT_EQ(found, 0);
    EXPECT_EQ(datagrams.socketsCreated(), 0);
}

TEST_F(UdpSearchTest, SocketFailuresAreShownAndTheSearchGoesOn)
{
    hosts.addresses = {"192.168.1.5", "10.0.0.5"};
    datagrams.bindFails = true;
    EXPECT_THAT(run(), IsEmpty());
    EXPECT_THAT(datagrams.sent(), IsEmpty());
    EXPECT_THAT(boxTexts(prompts.messages()),
        ElementsAre("Create() failed|" + std::to_string(int(PromptIcon::None)),
            "Create() failed|" + std::to_string(int(PromptIcon::None))));

    prompts.clear();
    datagrams.bindFails = false;
    datagrams.shortSends = true;
    datagrams.answerEverySend({{100, "192.168.1.20,0011223344AA,WIFI-MODULE"}});
    hosts.addresses = {"192.168.1.5"};
    EXPECT_THAT(run(), ElementsAre("WIFI-MODULE 192.168.1.20"));
    EXPECT_THAT(boxTexts(prompts.messages()),
        ElementsAre("SendTo() sent a different number of bytes than expected|"
            + std::to_string(int(PromptIcon::None))));
}

struct ModelNameCase
{
    const char* name;
    const char* bytes;
    const char* model; // nullptr: not (yet) a reply
};

void PrintTo(const ModelNameCase& c, std::ostream* os)
{
    *os << c.name;
}

const ModelNameCase kModelNameCases[] = {
    {"Reply", "07 01 00 4D 4E 41 4B 56 2D 38 37 30 00 00 00 00 00 00 00 08", "KV-870"},
    {"EchoThenReply", "07 00 01 4D 4E 41 08 07 01 00 4D 4E 41 4B 56 2D 38 37 30 20 41 42 43 44 45 46 08",
        "KV-870"},
    {"AllThirteen", "07 01 00 4D 4E 41 41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 08", "ABCDEFGHIJKLM"},
    {"EmptyName", "07 01 00 4D 4E 41 20 20 20 20 20 20 20 20 20 20 20 20 20 08", ""},
    {"Partial", "07 01 00 4D 4E 41 4B 56", nullptr},
    {"SecondDisplayFirst", "07 02 00 4D 4E 41 4B 56 2D 38 37 30 00 00 00 00 00 00 00 08 07 03", "KV-870"},
    {"IdAbove100", "07 65 00 4D 4E 41 4B 56 2D 38 37 30 00 00 00 00 00 00 00 08", nullptr},
    {"ReadFrameOnly", "07 00 01 4D 4E 41 08", nullptr},
    {"OtherCommand", "07 01 00 53 45 52 4B 56 2D 38 37 30 00 00 00 00 00 00 00 08", nullptr},
    {"NoEndByte", "07 01 00 4D 4E 41 4B 56 2D 38 37 30 00 00 00 00 00 00 00 09", nullptr},
};

class ModelNameTest : public testing::TestWithParam<ModelNameCase>
{
};

TEST_P(ModelNameTest, ReadsTheFirstDisplaysModelName)
{
    const ModelNameCase& c = GetParam();
    const Bytes bytes = hex(c.bytes);
    const QString name = TcpProbeSearch::modelNameFrom(
        QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())));
    if (!c.model) {
        EXPECT_TRUE(name.isNull()) << name.toStdString();
    } else {
        EXPECT_FALSE(name.isNull());
        EXPECT_EQ(name.toStdString(), c.model);
    }
}

INSTANTIATE_TEST_SUITE_P(Probe, ModelNameTest, testing::ValuesIn(kModelNameCases), rowName<ModelNameCase>);

// The probe on the fake network: 192.168.1.20 is a module whose first display answers (after
// the echo of the request), .21 accepts and stays silent, .22 talks but is no module; every
// other address refuses.
class ProbeTest : public testing::Test, public LinkFixture
{
protected:
    ProbeTest()
    {
        network.peer("192.168.1.20", 23)
            .replyToNextSend({{20, hex("07 00 01 4D 4E 41 08")},
                {40, hex("07 05 00 4D 4E 41 4B 56 2D 38 37 30 00 00 00 00 00 00 00 08")}});
        network.peer("192.168.1.21", 23);
        network.peer("192.168.1.22", 23).replyToNextSend({{10, Bytes(80, 0x41)}});
    }
};

TEST_F(ProbeTest, KeepsTheModulesWhoseFirstDisplayAnswers)
{
    TcpProbeSearch search(app);
    search.start("192.168.1.");
    ASSERT_EQ(network.attempts().size(), 254u);
    EXPECT_EQ(network.attempts().front().address, "192.168.1.1");
    EXPECT_EQ(network.attempts().back().address, "192.168.1.254");
    EXPECT_EQ(network.attempts().front().port, 23);

    network.deliverEvents(); // connect outcomes; the three that accept are asked for MNA
    EXPECT_EQ(toHex(network.peer("192.168.1.20", 23).received().at(0).bytes), "07 00 01 4D 4E 41 08");
    EXPECT_FALSE(search.finished());
    clock.advanceBy(40);
    network.deliverEvents();
    EXPECT_FALSE(search.finished()); // .21 still owes its answer

    const std::vector<IPSearch> found = search.collect();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].first, "KV-870");
    EXPECT_EQ(found[0].second, "192.168.1.20");
    EXPECT_EQ(network.liveConnections(), 0);
}

TEST_F(ProbeTest, AttemptsStillConnectingAtTheLimitAreGivenUp)
{
    TcpProbeSearch search(app);
    search.start("192.168.1.");
    search.dropUnconnected();
    EXPECT_TRUE(search.finished());
    network.deliverEvents();
    EXPECT_TRUE(search.collect().empty());
    EXPECT_EQ(network.peer("192.168.1.20", 23).openConnections(), 0);
}

// The whole search on virtual time: the networks share the 4.5 s, a module that answered is kept
// and the silent one is given up at the end of its network's window.
TEST_F(ProbeTest, RunEndsWithinItsBudget)
{
    hosts.addresses = {"192.168.1.5", "10.0.0.5"};
    const std::int64_t start = clock.nowMs();
    const std::vector<IPSearch> found = TcpProbeSearch(app).run();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].second, "192.168.1.20");
    // The first network's window is half of the budget, kept to its end by the silent module; on
    // the second every address refuses at once.
    EXPECT_EQ(clock.nowMs() - start, TcpProbeSearch::kBudgetMs / 2);
    EXPECT_EQ(network.liveConnections(), 0);
}

TEST_F(ProbeTest, UsrModulesAreProbedOnTheirOwnPort)
{
    app.settings.LanType.setBoth(1);
    TcpProbeSearch search(app);
    search.start("10.0.0.");
    EXPECT_EQ(network.attempts().front().port, 8899);
}

} // namespace
} // namespace ordalis::test
