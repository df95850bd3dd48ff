#pragma once

#include "platform/serial_port.h"
#include "platform/waiter.h"

#include <QSerialPort>

namespace ordalis {

// The real serial port. Its waits go through the waiter: the event loop reads the descriptor as
// bytes come and sleeps in the kernel until then or the deadline.
class QtSerialPort final : public SerialPort
{
public:
    explicit QtSerialPort(Waiter& waiter);
    ~QtSerialPort() override;

    bool open(const QString& path, int inputQueue, int outputQueue) override;
    void close() override;
    bool isOpen() const override;
    bool purge() override;
    bool write(std::span<const std::uint8_t> bytes, std::int64_t limitMs) override;
    int read(std::span<std::uint8_t> dest, std::int64_t deadlineMs) override;

private:
    void onError(QSerialPort::SerialPortError error);
    bool broken() const { return m_failed || !m_port.isOpen(); }

    Waiter& m_waiter;
    QSerialPort m_port;
    bool m_inWait = false; // inside one of our own waits: a failure is handled when it returns
    bool m_failed = false;
};

class QtSerialPortFactory final : public SerialPortFactory
{
public:
    explicit QtSerialPortFactory(Waiter& waiter) : m_waiter(waiter) { }
    std::unique_ptr<SerialPort> create() override { return std::make_unique<QtSerialPort>(m_waiter); }

private:
    Waiter& m_waiter;
};

} // namespace ordalis
