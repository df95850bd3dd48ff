#pragma once

#include "platform/serial_port.h"
#include "platform/waiter.h"
#include "tests/fakes/fake_clock.h"
#include "tests/fakes/scripted_reply.h"

#include <QStringList>

#include <deque>
#include <optional>

namespace ordalis {

// A scripted serial line on virtual time, and the factory of the ports that open it.
// Every write takes the next scripted reply, whose pieces arrive at their times after the
// write; a read that finds nothing buffered waits through the waiter, which wakes at the next
// arrival or the read's deadline, whichever comes first.
class FakeSerialLine final : public SerialPortFactory
{
public:
    FakeSerialLine(FakeClock& clock, Waiter& waiter);
    ~FakeSerialLine() override;

    std::unique_ptr<SerialPort> create() override;

    // Script. With no device added, every path opens.
    void addDevice(const QString& path) { m_devices.append(path); }
    void setOpenFails(bool fails) { m_openFails = fails; }
    void replyToNextWrite(ScriptedReply reply) { m_replies.push_back(std::move(reply)); }
    // Bytes that arrive at an absolute time whatever is written.
    void arriveAt(std::int64_t atMs, std::vector<std::uint8_t> bytes);
    // The next write does not finish: it takes the whole limit and fails.
    void failNextWrite() { m_failNextWrite = true; }
    // The device goes away: from then on reads fail once nothing is buffered.
    void hangUpAt(std::int64_t atMs) { m_hangUpAt = atMs; }

    // Records.
    const std::vector<ReceivedFrame>& writes() const { return m_writes; }
    int purges() const { return m_purges; }
    int opens() const { return m_opens; }
    int closes() const { return m_closes; }
    const QString& lastOpenPath() const { return m_lastOpenPath; }
    bool isOpen() const { return m_open; }
    // Bytes that have arrived and are not read yet.
    std::size_t buffered();

private:
    friend class FakeSerialPort;
    struct Arrival
    {
        std::int64_t atMs;
        std::vector<std::uint8_t> bytes;
    };

    void schedule(std::int64_t atMs, std::vector<std::uint8_t> bytes);
    void collectArrived();
    bool portOpen(const QString& path);
    void portClose();
    bool portPurge();
    bool portWrite(std::span<const std::uint8_t> bytes, std::int64_t limitMs);
    int portRead(std::span<std::uint8_t> dest, std::int64_t deadlineMs);

    FakeClock& m_clock;
    Waiter& m_waiter;
    QStringList m_devices;
    bool m_openFails = false;
    bool m_failNextWrite = false;
    std::optional<std::int64_t> m_hangUpAt;
    std::deque<ScriptedReply> m_replies;
    std::vector<Arrival> m_arrivals; // sorted by time
    std::deque<std::uint8_t> m_buffer;
    std::vector<ReceivedFrame> m_writes;
    int m_purges = 0;
    int m_opens = 0;
    int m_closes = 0;
    bool m_open = false;
    QString m_lastOpenPath;
};

} // namespace ordalis
