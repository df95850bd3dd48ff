#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <span>

namespace ordalis {

// What a LAN connection reports. Calls arrive on the GUI thread from its event loop, a waiter's
// wait included, never from inside the connection's own read or send. A listener that must not
// act during the program's waits holds its work through the waiter.
class LanConnectionListener
{
public:
    // error 0: connected; otherwise the attempt failed.
    virtual void onConnected(int error) = 0;
    // The connection can take bytes; reported once after a successful connect.
    virtual void onWritable() = 0;
    virtual void onReadable() = 0;
    virtual void onOutOfBand() = 0;
    // The peer closed the connection or it broke.
    virtual void onClosed() = 0;

protected:
    ~LanConnectionListener() = default;
};

// A non-blocking TCP client connection.
class LanConnection
{
public:
    // error passed to onConnected when the address is not a dotted IPv4 address
    static constexpr int kBadAddress = 1;
    // error passed to onConnected when the peer refused or could not be reached
    static constexpr int kRefused = 2;

    virtual ~LanConnection() = default;

    virtual void setListener(LanConnectionListener* listener) = 0;

    // Starts connecting; the outcome comes as onConnected.
    virtual void connectTo(const QString& address, std::uint16_t port) = 0;

    // Queues the bytes and pushes out as much as the system takes now. The count, or -1.
    virtual std::int64_t send(std::span<const std::uint8_t> bytes) = 0;

    // Non-blocking: the bytes that have arrived, at most dest.size(); 0 when none have;
    // -1 when none have and the connection is closed.
    virtual std::int64_t read(std::span<std::uint8_t> dest) = 0;

    // Sleeps until bytes are readable or the clock reaches deadlineMs. False at the deadline
    // or when the connection closed with nothing left to read.
    virtual bool waitForReadable(std::int64_t deadlineMs) = 0;

    // Shuts the connection down in both directions and closes it.
    virtual void close() = 0;
};

class LanConnectionFactory
{
public:
    virtual ~LanConnectionFactory() = default;
    // A new, unconnected connection; empty when the system could not create one.
    virtual std::unique_ptr<LanConnection> create() = 0;
};

} // namespace ordalis
