#pragma once

#include "platform/lan_connection.h"
#include "platform/waiter.h"
#include "tests/fakes/fake_clock.h"
#include "tests/fakes/scripted_reply.h"

#include <QString>

#include <deque>
#include <map>
#include <optional>
#include <utility>

namespace ordalis {

class FakeLanConnection;

// A scripted LAN module on virtual time. Each frame sent to it takes the next scripted reply,
// whose pieces arrive at their times after the send.
class FakeLanPeer
{
public:
    bool refuses = false;

    void replyToNextSend(ScriptedReply reply) { m_replies.push_back(std::move(reply)); }
    // The peer closes its connections afterMs after the next frame it receives.
    void closeAfterNextSend(std::int64_t afterMs) { m_closeAfterNextSend = afterMs; }
    // Closes every open connection now.
    void closeNow();
    // Bytes that arrive now on every open connection, unasked.
    void pushNow(const std::vector<std::uint8_t>& bytes);
    // Urgent data on every open connection.
    void sendOutOfBand();

    const std::vector<ReceivedFrame>& received() const { return m_received; }
    int accepted() const { return m_accepted; }
    int openConnections() const { return static_cast<int>(m_connections.size()); }

private:
    friend class FakeLanConnection;
    friend class FakeLanNetwork;

    std::deque<ScriptedReply> m_replies;
    std::optional<std::int64_t> m_closeAfterNextSend;
    std::vector<ReceivedFrame> m_received;
    std::vector<FakeLanConnection*> m_connections;
    int m_accepted = 0;
};

// The network of fake peers and the factory of the connections that reach them. Events are
// delivered only by deliverEvents(), which plays one turn of the GUI thread's event loop: a
// waiter calls it at every step of a wait, and a test calls it between handlers (it then first
// runs what the waiter held). The network must outlive the connections it creates.
class FakeLanNetwork final : public LanConnectionFactory
{
public:
    FakeLanNetwork(FakeClock& clock, Waiter& waiter);
    ~FakeLanNetwork() override;

    std::unique_ptr<LanConnection> create() override;

    // The peer at address:port, created accepting on first use. Unknown addresses refuse.
    FakeLanPeer& peer(const QString& address, std::uint16_t port);

    // The next create() fails.
    void failNextCreate() { m_failNextCreate = true; }

    // Runs the events due now on every connection: connect outcomes, writability, arrived
    // bytes and closes.
    void deliverEvents();

    struct Attempt
    {
        QString address;
        std::uint16_t port = 0;
    };
    const std::vector<Attempt>& attempts() const { return m_attempts; }
    int liveConnections() const { return static_cast<int>(m_live.size()); }

private:
    friend class FakeLanConnection;

    std::optional<std::int64_t> nextEvent(std::int64_t after) const;

    FakeClock& m_clock;
    Waiter& m_waiter;
    std::map<std::pair<QString, std::uint16_t>, std::unique_ptr<FakeLanPeer>> m_peers;
    std::vector<FakeLanConnection*> m_live;
    std::vector<Attempt> m_attempts;
    bool m_failNextCreate = false;
};

} // namespace ordalis
