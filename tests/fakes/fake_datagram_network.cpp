#include "tests/fakes/fake_datagram_network.h"

#include <algorithm>

namespace ordalis {

class FakeDatagramSocket final : public DatagramSocket
{
public:
    explicit FakeDatagramSocket(FakeDatagramNetwork& network) : m_network(network)
    {
        m_network.m_clock.addWakeSource(this, [this](std::int64_t after) -> std::optional<std::int64_t> {
            for (const Arrival& arrival : m_pending) {
                if (arrival.atMs > after)
                    return arrival.atMs;
            }
            return std::nullopt;
        });
    }
    ~FakeDatagramSocket() override { m_network.m_clock.removeWakeSource(this); }

    bool bind(std::uint16_t port) override
    {
        m_port = port;
        return !m_network.bindFails;
    }

    std::int64_t sendTo(QByteArrayView bytes, const QString& address, std::uint16_t port) override
    {
        const std::int64_t now = m_network.m_clock.nowMs();
        m_network.m_sent.push_back({now, m_port, address, port, bytes.toByteArray()});
        for (const FakeDatagramNetwork::Answer& answer : m_network.m_answers)
            m_pending.push_back({now + answer.afterMs, answer.bytes});
        std::stable_sort(m_pending.begin(), m_pending.end(),
            [](const Arrival& a, const Arrival& b) { return a.atMs < b.atMs; });
        return m_network.shortSends ? bytes.size() - 1 : bytes.size();
    }

    bool waitForDatagram(std::int64_t deadlineMs) override
    {
        return m_network.m_waiter.waitUntil(deadlineMs, [this] { return hasDatagram(); });
    }

    bool hasDatagram() override
    {
        return !m_pending.empty() && m_pending.front().atMs <= m_network.m_clock.nowMs();
    }

    QByteArray receive(int maxSize) override
    {
        if (!hasDatagram())
            return {};
        QByteArray bytes = m_pending.front().bytes.left(maxSize);
        m_pending.pop_front();
        return bytes;
    }

private:
    struct Arrival
    {
        std::int64_t atMs;
        QByteArray bytes;
    };
    FakeDatagramNetwork& m_network;
    std::uint16_t m_port = 0;
    std::deque<Arrival> m_pending;
};

std::unique_ptr<DatagramSocket> FakeDatagramNetwork::create()
{
    ++m_created;
    return std::make_unique<FakeDatagramSocket>(*this);
}

} // namespace ordalis
