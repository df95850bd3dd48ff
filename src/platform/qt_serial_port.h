#pragma once

#include "platform/clock.h"
#include "platform/serial_port.h"

#include <QSerialPort>

namespace ordalis {

// The real serial port. Waits run in waitForReadyRead/waitForBytesWritten, which sleep in the
// kernel on the descriptor for the time left until the deadline.
class QtSerialPort final : public SerialPort
{
public:
    explicit QtSerialPort(Clock& clock);
    ~QtSerialPort() override;

    bool open(const QString& path, int inputQueue, int outputQueue) override;
    void close() override;
    bool isOpen() const override;
    bool purge() override;
    bool write(std::span<const std::uint8_t> bytes, std::int64_t limitMs) override;
    int read(std::span<std::uint8_t> dest, std::int64_t deadlineMs) override;

private:
    void onError(QSerialPort::SerialPortError error);

    Clock& m_clock;
    QSerialPort m_port;
    bool m_inWait = false; // inside one of our own waits: a failure is handled when it returns
    bool m_failed = false;
};

class QtSerialPortFactory final : public SerialPortFactory
{
public:
    explicit QtSerialPortFactory(Clock& clock) : m_clock(clock) { }
    std::unique_ptr<SerialPort> create() override { return std::make_unique<QtSerialPort>(m_clock); }

private:
    Clock& m_clock;
};

} // namespace ordalis
