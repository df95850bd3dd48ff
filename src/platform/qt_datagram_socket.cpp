#include "platform/qt_datagram_socket.h"

#include "platform/waiter.h"

#include <QHostAddress>
#include <QNetworkDatagram>
#include <QUdpSocket>

namespace ordalis {

namespace {

class QtDatagramSocket final : public DatagramSocket
{
public:
    explicit QtDatagramSocket(Waiter& waiter) : m_waiter(waiter) { }

    bool bind(std::uint16_t port) override
    {
        // Shared: a module assistant or a simulator on this machine may hold the same port.
        return m_socket.bind(
            QHostAddress::AnyIPv4, port, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint);
    }

    std::int64_t sendTo(QByteArrayView bytes, const QString& address, std::uint16_t port) override
    {
        const QHostAddress host(address);
        if (host.isNull())
            return -1;
        return m_socket.writeDatagram(bytes.data(), bytes.size(), host, port);
    }

    bool waitForDatagram(std::int64_t deadlineMs) override
    {
        return m_waiter.waitUntil(deadlineMs, [this] {
            return m_socket.hasPendingDatagrams() || m_socket.state() != QAbstractSocket::BoundState;
        }) && m_socket.hasPendingDatagrams();
    }

    bool hasDatagram() override { return m_socket.hasPendingDatagrams(); }

    QByteArray receive(int maxSize) override
    {
        const QNetworkDatagram datagram = m_socket.receiveDatagram(maxSize);
        return datagram.data();
    }

private:
    Waiter& m_waiter;
    QUdpSocket m_socket;
};

} // namespace

std::unique_ptr<DatagramSocket> QtDatagramSocketFactory::create()
{
    return std::make_unique<QtDatagramSocket>(m_waiter);
}

} // namespace ordalis
