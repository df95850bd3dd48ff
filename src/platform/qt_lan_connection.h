#pragma once

#include "platform/clock.h"
#include "platform/lan_connection.h"

#include <QObject>
#include <QSocketNotifier>
#include <QTcpSocket>

#include <functional>
#include <memory>

namespace ordalis {

// The real LAN connection on QTcpSocket. Qt runs a socket's signals from inside its own
// waitFor… calls; those that fire while this object waits are handed to the listener only
// after the wait, from the event loop, so an exchange keeps the bytes it waits for.
class QtLanConnection final : public QObject, public LanConnection
{
    Q_OBJECT

public:
    explicit QtLanConnection(Clock& clock);
    ~QtLanConnection() override;

    void setListener(LanConnectionListener* listener) override { m_listener = listener; }
    void connectTo(const QString& address, std::uint16_t port) override;
    std::int64_t send(std::span<const std::uint8_t> bytes) override;
    std::int64_t read(std::span<std::uint8_t> dest) override;
    bool waitForReadable(std::int64_t deadlineMs) override;
    void close() override;

private:
    void report(std::function<void(LanConnectionListener&)> event);
    void pullArrived();
    void dropUrgentNotifier();
    void onConnected();
    void onError(QAbstractSocket::SocketError error);
    void onUrgentData();

    Clock& m_clock;
    QTcpSocket m_socket;
    std::unique_ptr<QSocketNotifier> m_urgent;
    LanConnectionListener* m_listener = nullptr;
    bool m_inWait = false; // inside our own wait, read or send: events go to the event loop
    bool m_connected = false;
    bool m_connectReported = false;
};

class QtLanConnectionFactory final : public LanConnectionFactory
{
public:
    explicit QtLanConnectionFactory(Clock& clock) : m_clock(clock) { }
    std::unique_ptr<LanConnection> create() override { return std::make_unique<QtLanConnection>(m_clock); }

private:
    Clock& m_clock;
};

} // namespace ordalis
