#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <memory>

namespace ordalis {

// A UDP socket as the display discovery uses it: bound to one local port on every address,
// sending to one address at a time.
class DatagramSocket
{
public:
    virtual ~DatagramSocket() = default;

    virtual bool bind(std::uint16_t port) = 0;
    // The number of bytes sent, or -1.
    virtual std::int64_t sendTo(QByteArrayView bytes, const QString& address, std::uint16_t port) = 0;
    // Sleeps until a datagram waits or the clock reaches deadlineMs; false at the deadline.
    virtual bool waitForDatagram(std::int64_t deadlineMs) = 0;
    virtual bool hasDatagram() = 0;
    // The next waiting datagram, cut to maxSize bytes.
    virtual QByteArray receive(int maxSize) = 0;
};

class DatagramSocketFactory
{
public:
    virtual ~DatagramSocketFactory() = default;
    virtual std::unique_ptr<DatagramSocket> create() = 0;
};

} // namespace ordalis
