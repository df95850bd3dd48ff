#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <span>

namespace ordalis {

// One serial device: 115200 baud, 8 data bits, no parity, one stop bit, raw, no flow control.
// Every wait sleeps in the kernel and ends at a deadline on the application's Clock.
class SerialPort
{
public:
    virtual ~SerialPort() = default;

    // Opens and configures the device and discards any input already waiting there. The queue
    // sizes are applied where the platform lets a program choose them. False leaves it closed.
    virtual bool open(const QString& path, int inputQueue, int outputQueue) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // Discards everything queued in both directions.
    virtual bool purge() = 0;

    // True only when every byte was handed to the device within limitMs.
    virtual bool write(std::span<const std::uint8_t> bytes, std::int64_t limitMs) = 0;

    // Takes at most dest.size() bytes. When none are buffered, sleeps until some arrive or the
    // clock reaches deadlineMs (a deadline already passed takes only what is buffered).
    // Returns the count (0 at the deadline), or -1 when the device failed; it is then closed.
    virtual int read(std::span<std::uint8_t> dest, std::int64_t deadlineMs) = 0;
};

class SerialPortFactory
{
public:
    virtual ~SerialPortFactory() = default;
    // A closed port.
    virtual std::unique_ptr<SerialPort> create() = 0;
};

} // namespace ordalis
