#include "tests/fakes/fake_lan_network.h"

#include <algorithm>

namespace ordalis {

class FakeLanConnection final : public LanConnection
{
public:
    explicit FakeLanConnection(FakeLanNetwork& network) : m_network(network)
    {
        m_network.m_live.push_back(this);
    }
    ~FakeLanConnection() override
    {
        detach();
        std::erase(m_network.m_live, this);
    }

    void setListener(LanConnectionListener* listener) override { m_listener = listener; }

    void connectTo(const QString& address, std::uint16_t port) override
    {
        m_network.m_attempts.push_back({address, port});
        const auto it = m_network.m_peers.find({address, port});
        if (it == m_network.m_peers.end() || it->second->refuses) {
            m_pendingConnect = LanConnection::kRefused;
            return;
        }
        m_peer = it->second.get();
        m_peer->m_connections.push_back(this);
        ++m_peer->m_accepted;
        m_pendingConnect = 0;
    }

    std::int64_t send(std::span<const std::uint8_t> bytes) override
    {
        if (!m_peer || m_closed)
            return -1;
        const std::int64_t now = m_network.m_clock.nowMs();
        m_peer->m_received.push_back({now, {bytes.begin(), bytes.end()}});
        if (!m_peer->m_replies.empty()) {
            ScriptedReply reply = std::move(m_peer->m_replies.front());
            m_peer->m_replies.pop_front();
            for (ScriptedChunk& chunk : reply)
                schedule(now + chunk.afterMs, std::move(chunk.bytes));
        }
        if (m_peer->m_closeAfterNextSend) {
            m_closeAt = now + *m_peer->m_closeAfterNextSend;
            m_peer->m_closeAfterNextSend.reset();
        }
        return static_cast<std::int64_t>(bytes.size());
    }

    std::int64_t read(std::span<std::uint8_t> dest) override
    {
        collect();
        if (m_buffer.empty())
            return m_closed || (!m_peer && m_connectReported) ? -1 : 0;
        const std::size_t n = std::min(dest.size(), m_buffer.size());
        std::copy_n(m_buffer.begin(), n, dest.begin());
        m_buffer.erase(m_buffer.begin(), m_buffer.begin() + static_cast<std::ptrdiff_t>(n));
        return static_cast<std::int64_t>(n);
    }

    bool waitForReadable(std::int64_t deadlineMs) override
    {
        return m_network.m_waiter.waitUntil(deadlineMs, [this] {
            collect();
            return !m_buffer.empty() || m_closed || !m_peer;
        }) && !m_buffer.empty();
    }

    // The first scripted arrival or close later than after.
    std::optional<std::int64_t> nextEvent(std::int64_t after) const
    {
        std::optional<std::int64_t> next;
        for (const auto& [atMs, bytes] : m_arrivals) {
            if (atMs > after) {
                next = atMs;
                break;
            }
        }
        if (m_closeAt && *m_closeAt > after && (!next || *m_closeAt < *next))
            next = m_closeAt;
        return next;
    }

    void close() override
    {
        detach();
        m_closed = true;
        m_closeReported = true;
    }

    // One event-loop turn.
    void deliverEvents()
    {
        LanConnectionListener* listener = m_listener;
        if (!listener)
            return;
        if (!m_connectReported && m_pendingConnect) {
            m_connectReported = true;
            listener->onConnected(*m_pendingConnect);
            if (*m_pendingConnect != 0)
                return;
            listener->onWritable();
        }
        if (!m_connectReported)
            return;
        collect();
        if (!m_buffer.empty())
            listener->onReadable();
        if (m_pendingOutOfBand) {
            m_pendingOutOfBand = false;
            listener->onOutOfBand();
        }
        if (m_closed && !m_closeReported) {
            m_closeReported = true;
            listener->onClosed();
        }
    }

    void peerClose()
    {
        m_closed = true;
        detach();
    }
    void peerPush(const std::vector<std::uint8_t>& bytes)
    {
        m_buffer.insert(m_buffer.end(), bytes.begin(), bytes.end());
    }
    void peerOutOfBand() { m_pendingOutOfBand = true; }

private:
    void schedule(std::int64_t atMs, std::vector<std::uint8_t> bytes)
    {
        const auto at = std::upper_bound(m_arrivals.begin(), m_arrivals.end(), atMs,
            [](std::int64_t t, const auto& a) { return t < a.first; });
        m_arrivals.insert(at, {atMs, std::move(bytes)});
    }

    // Moves what has arrived by now into the buffer; bytes due after a close never arrive.
    void collect()
    {
        const std::int64_t now = m_network.m_clock.nowMs();
        auto it = m_arrivals.begin();
        for (; it != m_arrivals.end() && it->first <= now && !(m_closeAt && it->first > *m_closeAt); ++it)
            m_buffer.insert(m_buffer.end(), it->second.begin(), it->second.end());
        m_arrivals.erase(m_arrivals.begin(), it);
        if (m_closeAt && *m_closeAt <= now) {
            m_closeAt.reset();
            m_arrivals.clear();
            peerClose();
        }
    }

    void detach()
    {
        if (m_peer) {
            std::erase(m_peer->m_connections, this);
            m_peer = nullptr;
        }
    }

    FakeLanNetwork& m_network;
    FakeLanPeer* m_peer = nullptr;
    LanConnectionListener* m_listener = nullptr;
    std::optional<int> m_pendingConnect;
    bool m_connectReported = false;
    bool m_closed = false;
    bool m_closeReported = false;
    bool m_pendingOutOfBand = false;
    std::optional<std::int64_t> m_closeAt;
    std::vector<std::pair<std::int64_t, std::vector<std::uint8_t>>> m_arrivals;
    std::deque<std::uint8_t> m_buffer;
};

void FakeLanPeer::closeNow()
{
    for (FakeLanConnection* c : std::vector<FakeLanConnection*>(m_connections))
        c->peerClose();
}

void FakeLanPeer::pushNow(const std::vector<std::uint8_t>& bytes)
{
    for (FakeLanConnection* c : m_connections)
        c->peerPush(bytes);
}

void FakeLanPeer::sendOutOfBand()
{
    for (FakeLanConnection* c : m_connections)
        c->peerOutOfBand();
}

FakeLanNetwork::FakeLanNetwork(FakeClock& clock, Waiter& waiter) : m_clock(clock), m_waiter(waiter)
{
    m_clock.addWakeSource(this, [this](std::int64_t after) { return nextEvent(after); });
}

FakeLanNetwork::~FakeLanNetwork()
{
    m_clock.removeWakeSource(this);
}

std::optional<std::int64_t> FakeLanNetwork::nextEvent(std::int64_t after) const
{
    std::optional<std::int64_t> next;
    for (const FakeLanConnection* c : m_live) {
        const std::optional<std::int64_t> at = c->nextEvent(after);
        if (at && (!next || *at < *next))
            next = at;
    }
    return next;
}

std::unique_ptr<LanConnection> FakeLanNetwork::create()
{
    if (m_failNextCreate) {
        m_failNextCreate = false;
        return nullptr;
    }
    return std::make_unique<FakeLanConnection>(*this);
}

FakeLanPeer& FakeLanNetwork::peer(const QString& address, std::uint16_t port)
{
    std::unique_ptr<FakeLanPeer>& p = m_peers[{address, port}];
    if (!p)
        p = std::make_unique<FakeLanPeer>();
    return *p;
}

void FakeLanNetwork::deliverEvents()
{
    // Between handlers the event loop first runs what a finished wait held.
    if (!m_waiter.busy())
        m_waiter.releaseHeld();
    // A listener may close or replace connections; walk a copy and skip the departed.
    const std::vector<FakeLanConnection*> live = m_live;
    for (FakeLanConnection* c : live) {
        if (std::find(m_live.begin(), m_live.end(), c) != m_live.end())
            c->deliverEvents();
    }
}

} // namespace ordalis
