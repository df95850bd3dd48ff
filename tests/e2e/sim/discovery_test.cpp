#include "sim/wall_sim.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace ordalis::sim {
namespace {

// The program's side of the search: one socket bound to a port on every address, sharing it as
// the discovery does, sending the request and collecting what comes back.
class SearchSocket
{
public:
    SearchSocket()
    {
        m_fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        const int one = 1;
        setsockopt(m_fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        sockaddr_in any {};
        any.sin_family = AF_INET;
        ::bind(m_fd, reinterpret_cast<sockaddr*>(&any), sizeof any);
        socklen_t length = sizeof any;
        getsockname(m_fd, reinterpret_cast<sockaddr*>(&any), &length);
        m_port = ntohs(any.sin_port);
    }
    ~SearchSocket() { ::close(m_fd); }

    int port() const { return m_port; }

    void send(const std::string& address, const std::string& payload)
    {
        sockaddr_in to {};
        to.sin_family = AF_INET;
        to.sin_port = htons(std::uint16_t(m_port));
        inet_pton(AF_INET, address.c_str(), &to.sin_addr);
        ::sendto(m_fd, payload.data(), payload.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    }

    // Datagrams that come within the time, stopping early once 'expected' have come.
    std::vector<std::string> receive(std::size_t expected, int timeoutMs)
    {
        std::vector<std::string> out;
        pollfd p {m_fd, POLLIN, 0};
        while (out.size() < expected && ::poll(&p, 1, timeoutMs) > 0) {
            char buffer[255];
            const ssize_t n = ::recv(m_fd, buffer, sizeof buffer, 0);
            if (n >= 0) {
                out.emplace_back(buffer, std::size_t(n));
            }
        }
        return out;
    }

private:
    int m_fd = -1;
    int m_port = 0;
};

// The reply rules of the search: at least 25 bytes, a dotted IPv4 address, 12 hex digits, a name.
bool acceptedAsReply(const std::string& reply)
{
    const std::size_t first = reply.find(',');
    const std::size_t second = first == std::string::npos ? first : reply.find(',', first + 1);
    if (reply.size() < 25 || second == std::string::npos) {
        return false;
    }
    const std::string ip = reply.substr(0, first);
    const std::string mac = reply.substr(first + 1, second - first - 1);
    in_addr addr {};
    const bool dotted = std::count(ip.begin(), ip.end(), '.') == 3
        && ip.find_first_not_of("0123456789.") == std::string::npos
        && inet_pton(AF_INET, ip.c_str(), &addr) == 1;
    const bool hex = mac.size() == 12 && mac.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
    return dotted && hex && second + 1 < reply.size();
}

TEST(Discovery, AnswersEveryModuleBesideAProgramOnTheSamePort)
{
    SearchSocket program;
    SimConfig config = SimConfig::chain(2);
    config.lan = Endpoint {"127.0.0.1", 0};
    config.lanEach = Endpoint {"127.0.4.31", 0};
    config.udpAddress = "127.0.4.255";
    config.udpPort = program.port();
    WallSim sim(config);
    ASSERT_TRUE(sim.start()) << sim.errorText();
    EXPECT_EQ(sim.udpPort(), program.port());
    EXPECT_EQ(sim.readyLines().back(), "udp 127.0.4.255:" + std::to_string(program.port()));

    program.send("127.0.4.255", "HF-A11ASSISTHREAD");
    const std::vector<std::string> replies = program.receive(3, 2000);
    EXPECT_EQ(replies,
        (std::vector<std::string> {"127.0.0.1,020000000000,WALLSIM-LAN",
            "127.0.4.31,020000000001,WALLSIM-LAN-1", "127.0.4.32,020000000002,WALLSIM-LAN-2"}));
    for (const std::string& reply : replies) {
        EXPECT_TRUE(acceptedAsReply(reply)) << reply;
    }

    // Anything but the exact request goes unanswered.
    for (const char* other : {"HF-A11ASSISTHREAD\n", "HF-A11", "hello"}) {
        program.send("127.0.4.255", other);
    }
    EXPECT_TRUE(program.receive(1, 300).empty());
    const auto traffic = sim.traffic();
    EXPECT_EQ(std::count_if(traffic.begin(), traffic.end(),
                  [](const TrafficRecord& r) { return r.text == "ignored: not a discovery request"; }),
        3);
}

TEST(Discovery, ASecondSimulatorCannotTakeTheSameAddress)
{
    SimConfig config = SimConfig::chain(1);
    config.lan = Endpoint {"127.0.0.1", 0};
    config.udpAddress = "127.0.5.255";
    config.udpPort = 0;
    WallSim first(config);
    ASSERT_TRUE(first.start()) << first.errorText();
    config.udpPort = first.udpPort();
    WallSim second(config);
    EXPECT_FALSE(second.start());
    EXPECT_NE(second.errorText().find("127.0.5.255:" + std::to_string(first.udpPort())), std::string::npos)
        << second.errorText();
}

} // namespace
} // namespace ordalis::sim
