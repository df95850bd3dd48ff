#pragma once

#include "platform/lan_connection.h"
#include "platform/waiter.h"

#include <QObject>
#include <QSocketNotifier>
#include <QTcpSocket>

#include <functional>
#include <memory>

namespace ordalis {

// The real LAN connection on QTcpSocket. Its waits go through the waiter, whose event loop reads
// the socket as bytes come. Qt runs a socket's signals from inside its own calls; those that fire
// inside this object's read or send reach the listener afterwards, from the event loop. Holding
// them during the program's waits is the listener's business (the exchange's connections hold
// theirs, so an exchange keeps the bytes it waits for).
class QtLanConnection final : public QObject, public LanConnection
{
    Q_OBJECT

public:
    explicit QtLanConnection(Waiter& waiter);
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

    Waiter& m_waiter;
    QTcpSocket m_socket;
    std::unique_ptr<QSocketNotifier> m_urgent;
    LanConnectionListener* m_listener = nullptr;
    bool m_inCall = false; // inside our own read or send: events go to the event loop
    bool m_connected = false;
    bool m_connectReported = false;
};

class QtLanConnectionFactory final : public LanConnectionFactory
{
public:
    explicit QtLanConnectionFactory(Waiter& waiter) : m_waiter(waiter) { }
    std::unique_ptr<LanConnection> create() override { return std::make_unique<QtLanConnection>(m_waiter); }

private:
    Waiter& m_waiter;
};

} // namespace ordalis
