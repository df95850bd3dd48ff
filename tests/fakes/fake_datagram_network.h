#pragma once

#include "platform/datagram_socket.h"
#include "platform/waiter.h"
#include "tests/fakes/fake_clock.h"

#include <QByteArray>
#include <QString>

#include <deque>
#include <vector>

namespace ordalis {

// UDP sockets on virtual time for tests. Every datagram sent is recorded; the scripted answers
// arrive on the sending socket afterMs after each send, whatever its address.
class FakeDatagramNetwork final : public DatagramSocketFactory
{
public:
    struct Answer
    {
        std::int64_t afterMs = 0;
        QByteArray bytes;
    };
    struct Sent
    {
        std::int64_t atMs = 0;
        std::uint16_t localPort = 0;
        QString address;
        std::uint16_t port = 0;
        QByteArray bytes;
    };

    FakeDatagramNetwork(FakeClock& clock, Waiter& waiter) : m_clock(clock), m_waiter(waiter) { }

    std::unique_ptr<DatagramSocket> create() override;

    // Answers to every request sent from now on.
    void answerEverySend(std::vector<Answer> answers) { m_answers = std::move(answers); }
    bool bindFails = false;
    bool shortSends = false;

    const std::vector<Sent>& sent() const { return m_sent; }
    int socketsCreated() const { return m_created; }

private:
    friend class FakeDatagramSocket;
    FakeClock& m_clock;
    Waiter& m_waiter;
    std::vector<Answer> m_answers;
    std::vector<Sent> m_sent;
    int m_created = 0;
};

} // namespace ordalis
