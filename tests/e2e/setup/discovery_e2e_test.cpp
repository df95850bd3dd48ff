#include "platform/qt_datagram_socket.h"
#include "rules/display_search.h"
#include "rules/probe_search.h"
#include "tests/e2e/link/sim_fixture.h"

#include <QHostAddress>
#include <QUdpSocket>

#include <gmock/gmock.h>

namespace ordalis::test {
namespace {

using testing::ElementsAre;
using testing::Pair;

std::vector<std::pair<std::string, std::string>> texts(const std::vector<IPSearch>& found)
{
    std::vector<std::pair<std::string, std::string>> out;
    for (const IPSearch& record : found)
        out.emplace_back(record.first.toStdString(), record.second.toStdString());
    return out;
}

class DiscoveryTest : public testing::Test, public SimFixture
{
protected:
    DiscoveryTest() { hosts.addresses = {QStringLiteral("127.0.0.1")}; }
};

// The host's only network is 127.0.0.0/24, so the request goes to 127.0.0.255, where the
// simulator answers for its module.
TEST_F(DiscoveryTest, UdpSearchFindsTheSimulatorsModule)
{
    QUdpSocket probe;
    ASSERT_TRUE(probe.bind(QHostAddress(QStringLiteral("127.0.0.255")), 0));
    const std::uint16_t port = probe.localPort();
    probe.close();

    sim::SimConfig config = sim::SimConfig::chain(1);
    config.lan = sim::Endpoint {"127.0.0.1", 0};
    config.udpAddress = "127.0.0.255";
    config.udpPort = port;
    ASSERT_TRUE(start(config));

    QtDatagramSocketFactory sockets(waiter);
    app.services.datagrams = &sockets;
    std::vector<IPSearch> found;
    const int accepted
        = UdpDisplaySearch(app, port, port).run([&](const IPSearch& r) { found.push_back(r); });
    EXPECT_EQ(accepted, 1);
    EXPECT_THAT(texts(found), ElementsAre(Pair("WALLSIM-LAN", "127.0.0.1")));
    EXPECT_TRUE(prompts.messages().empty());
}

TEST_F(DiscoveryTest, TcpProbeFindsModulesOnTheLoopbackNetwork)
{
    sim::SimConfig config = sim::SimConfig::chain(3);
    config.lanEach = sim::Endpoint {"127.0.0.200", 0};
    const char* names[] = {"KV-870", "KV-650", "KV-320"};
    for (int i = 0; i < 3; ++i) {
        sim::Bytes name(13, 0);
        std::copy(names[i], names[i] + std::strlen(names[i]), name.begin());
        config.displays[std::size_t(i)].values["MNA"] = name;
    }
    // The third module's display is off: its module accepts, but nobody answers.
    config.displays[2].powered = false;
    ASSERT_TRUE(start(config));
    app.settings.LanType.setBoth(0);
    app.settings.TelnetPort.setBoth(sim->lanEachPort());

    const std::vector<IPSearch> found = TcpProbeSearch(app).run();
    EXPECT_THAT(texts(found), ElementsAre(Pair("KV-870", "127.0.0.200"), Pair("KV-650", "127.0.0.201")));
}

} // namespace
} // namespace ordalis::test
