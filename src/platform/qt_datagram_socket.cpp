#include "platform/qt_datagram_socket.h"

#include "platform/clock.h"

#include <QHostAddress>
#include <QNetworkDatagram>
#include <QUdpSocket>

namespace ordalis {

namespace {

class QtDatagramSocket final : public DatagramSocket
{
public:
    explicit QtDatagramSocket(Clock& clock) : m_clock(clock) { }

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
        while (!m_socket.hasPendingDatagrams()) {
            const std::int64_t left = deadlineMs - m_clock.nowMs();
            if (left <= 0 || m_socket.state() != QAbstractSocket::BoundState)
                return false;
            if (!m_socket.waitForReadyRead(static_cast<int>(left)) && !m_socket.hasPendingDatagrams()
                && m_socket.error() != QAbstractSocket::SocketTimeoutError)
                return false; // broken: waiting again would return at once
        }
        return true;
    }

    bool hasDatagram() override { return m_socket.hasPendingDatagrams(); }

    QByteArray receive(int maxSize) override
    {
        const QNetworkDatagram datagram = m_socket.receiveDatagram(maxSize);
        return datagram.data();
    }

private:
    Clock& m_clock;
    QUdpSocket m_socket;
};

} // namespace

std::unique_ptr<DatagramSocket> QtDatagramSocketFactory::create()
{
    return std::make_unique<QtDatagramSocket>(m_clock);
}

} // namespace ordalis
