#include "platform/qt_lan_connection.h"

#include <QHostAddress>
#include <QMetaObject>

#ifdef Q_OS_WIN
#include <winsock2.h>
#else
#include <sys/socket.h>
#endif

namespace ordalis {

QtLanConnection::QtLanConnection(Waiter& waiter) : m_waiter(waiter)
{
    connect(&m_socket, &QTcpSocket::connected, this, &QtLanConnection::onConnected);
    connect(&m_socket, &QTcpSocket::errorOccurred, this, &QtLanConnection::onError);
    connect(&m_socket, &QTcpSocket::readyRead, this,
        [this] { report([](LanConnectionListener& l) { l.onReadable(); }); });
    connect(&m_socket, &QTcpSocket::disconnected, this, [this] {
        dropUrgentNotifier();
        if (m_connected) {
            m_connected = false;
            report([](LanConnectionListener& l) { l.onClosed(); });
        }
    });
}

QtLanConnection::~QtLanConnection()
{
    m_listener = nullptr;
    close();
}

void QtLanConnection::connectTo(const QString& address, std::uint16_t port)
{
    QHostAddress host;
    if (!host.setAddress(address) || host.protocol() != QAbstractSocket::IPv4Protocol) {
        // Never a name lookup: the address must be dotted IPv4. Reported from the event loop.
        m_connectReported = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (m_listener)
                    m_listener->onConnected(kBadAddress);
            },
            Qt::QueuedConnection);
        return;
    }
    m_socket.connectToHost(host, port);
}

std::int64_t QtLanConnection::send(std::span<const std::uint8_t> bytes)
{
    if (m_socket.state() != QAbstractSocket::ConnectedState)
        return -1;
    // A failing write reports the close: that waits for the event loop like every other event.
    m_inCall = true;
    const qint64 queued = m_socket.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
    // The GUI thread sleeps after a send: push the bytes out now rather than from the event loop.
    m_socket.flush();
    m_inCall = false;
    return queued;
}

void QtLanConnection::pullArrived()
{
    if (m_socket.state() != QAbstractSocket::ConnectedState)
        return;
    // A zero wait moves what the system holds into the socket's buffer without sleeping.
    m_inCall = true;
    m_socket.waitForReadyRead(0);
    m_inCall = false;
}

std::int64_t QtLanConnection::read(std::span<std::uint8_t> dest)
{
    if (dest.empty())
        return 0;
    // Qt's buffer may hold only part of what has arrived: a drain must see the rest too.
    if (m_socket.bytesAvailable() < qint64(dest.size()))
        pullArrived();
    if (m_socket.bytesAvailable() == 0)
        return m_socket.state() == QAbstractSocket::ConnectedState ? 0 : -1;
    const qint64 got = m_socket.read(reinterpret_cast<char*>(dest.data()), qint64(dest.size()));
    return got < 0 ? -1 : got;
}

bool QtLanConnection::waitForReadable(std::int64_t deadlineMs)
{
    // What the system already holds counts, even when the deadline has passed.
    if (m_socket.bytesAvailable() == 0)
        pullArrived();
    if (m_socket.bytesAvailable() > 0)
        return true;
    // A closed connection keeps what it had buffered readable; once that is read, nothing comes.
    return m_waiter.waitUntil(deadlineMs, [this] {
        return m_socket.bytesAvailable() > 0 || m_socket.state() != QAbstractSocket::ConnectedState;
    }) && m_socket.bytesAvailable() > 0;
}

void QtLanConnection::dropUrgentNotifier()
{
    // The descriptor goes away with the socket; the notifier may be the sender of this very
    // call, so it is deleted from the event loop.
    if (m_urgent) {
        m_urgent->setEnabled(false);
        m_urgent.release()->deleteLater();
    }
}

void QtLanConnection::close()
{
    dropUrgentNotifier();
    m_connected = false;
    if (m_socket.state() != QAbstractSocket::UnconnectedState) {
        // Our own close is not the peer's: no onClosed for it.
        const QSignalBlocker blocker(&m_socket);
        m_socket.abort();
    }
}

void QtLanConnection::report(std::function<void(LanConnectionListener&)> event)
{
    if (!m_inCall) {
        if (m_listener)
            event(*m_listener);
        return;
    }
    QMetaObject::invokeMethod(
        this,
        [this, event = std::move(event)] {
            if (m_listener)
                event(*m_listener);
        },
        Qt::QueuedConnection);
}

void QtLanConnection::onConnected()
{
    m_connected = true;
    m_connectReported = true;
    m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    const qintptr fd = m_socket.socketDescriptor();
    if (fd >= 0) {
        // Qt reads urgent data inline, where it would pass for reply bytes: keep it out of
        // the stream and take it through the exception notifier instead.
#ifdef Q_OS_WIN
        const BOOL inlineUrgent = FALSE;
        ::setsockopt(static_cast<SOCKET>(fd), SOL_SOCKET, SO_OOBINLINE,
            reinterpret_cast<const char*>(&inlineUrgent), sizeof inlineUrgent);
#else
        const int inlineUrgent = 0;
        ::setsockopt(static_cast<int>(fd), SOL_SOCKET, SO_OOBINLINE, &inlineUrgent, sizeof inlineUrgent);
#endif
        m_urgent = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Exception);
        connect(m_urgent.get(), &QSocketNotifier::activated, this, &QtLanConnection::onUrgentData);
    }
    report([](LanConnectionListener& l) { l.onConnected(0); });
    // Writability follows a completed connect, from the event loop.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_listener && m_connected)
                m_listener->onWritable();
        },
        Qt::QueuedConnection);
}

void QtLanConnection::onError(QAbstractSocket::SocketError error)
{
    if (m_connectReported || error == QAbstractSocket::SocketTimeoutError)
        return;
    m_connectReported = true;
    report([](LanConnectionListener& l) { l.onConnected(kRefused); });
}

void QtLanConnection::onUrgentData()
{
    // Take the urgent byte out, or the notifier fires again at once; its value is not used.
    char byte = 0;
#ifdef Q_OS_WIN
    ::recv(static_cast<SOCKET>(m_socket.socketDescriptor()), &byte, 1, MSG_OOB);
#else
    ::recv(static_cast<int>(m_socket.socketDescriptor()), &byte, 1, MSG_OOB);
#endif
    report([](LanConnectionListener& l) { l.onOutOfBand(); });
}

} // namespace ordalis
