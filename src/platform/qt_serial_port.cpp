#include "platform/qt_serial_port.h"

#include "platform/clock.h"

namespace ordalis {

namespace {

bool isFatal(QSerialPort::SerialPortError error)
{
    // After the other end goes away every wait fails at once with ReadError while the port
    // still looks open; keeping it open would spin.
    return error == QSerialPort::ReadError || error == QSerialPort::WriteError
        || error == QSerialPort::ResourceError;
}

} // namespace

QtSerialPort::QtSerialPort(Waiter& waiter) : m_waiter(waiter)
{
    QObject::connect(&m_port, &QSerialPort::errorOccurred, &m_port,
        [this](QSerialPort::SerialPortError error) { onError(error); });
}

QtSerialPort::~QtSerialPort()
{
    m_port.disconnect();
    m_port.close();
}

bool QtSerialPort::open(const QString& path, int /*inputQueue*/, int /*outputQueue*/)
{
    // Qt offers no control over the driver's queue sizes; its own buffer grows as needed.
    close();
    m_failed = false;
    m_port.setPortName(path);
    if (!m_port.open(QIODevice::ReadWrite))
        return false;
    // Modem lines are not touched: on a pseudo-terminal they fail and mean nothing.
    const bool configured = m_port.setBaudRate(QSerialPort::Baud115200)
        && m_port.setDataBits(QSerialPort::Data8) && m_port.setParity(QSerialPort::NoParity)
        && m_port.setStopBits(QSerialPort::OneStop) && m_port.setFlowControl(QSerialPort::NoFlowControl);
    if (!configured) {
        close();
        return false;
    }
    m_port.clear(QSerialPort::Input);
    m_port.clearError();
    return true;
}

void QtSerialPort::close()
{
    if (m_port.isOpen())
        m_port.close();
}

bool QtSerialPort::isOpen() const
{
    return m_port.isOpen();
}

bool QtSerialPort::purge()
{
    return m_port.isOpen() && m_port.clear(QSerialPort::AllDirections);
}

bool QtSerialPort::write(std::span<const std::uint8_t> bytes, std::int64_t limitMs)
{
    if (!m_port.isOpen())
        return false;
    const std::int64_t deadline = m_waiter.clock().nowMs() + limitMs;
    const qint64 queued = m_port.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
    if (queued != qint64(bytes.size()))
        return false;
    // Hands the device what it takes now; the event loop writes the rest as it drains.
    m_port.flush();
    m_inWait = true;
    const bool written
        = m_waiter.waitUntil(deadline, [this] { return m_port.bytesToWrite() == 0 || broken(); });
    m_inWait = false;
    if (m_failed) {
        close();
        return false;
    }
    return written && m_port.isOpen();
}

int QtSerialPort::read(std::span<std::uint8_t> dest, std::int64_t deadlineMs)
{
    if (dest.empty())
        return 0;
    if (!m_port.isOpen())
        return -1;
    if (m_port.bytesAvailable() == 0) {
        // A zero wait moves what the driver already holds into the buffer, so a deadline that has
        // passed still takes it; the waiter then sleeps until more comes.
        m_inWait = true;
        m_port.waitForReadyRead(0);
        m_waiter.waitUntil(deadlineMs, [this] { return m_port.bytesAvailable() > 0 || broken(); });
        m_inWait = false;
    }
    if (m_failed || !m_port.isOpen()) {
        close();
        return -1;
    }
    m_port.clearError();
    if (m_port.bytesAvailable() == 0)
        return 0;
    const qint64 got = m_port.read(reinterpret_cast<char*>(dest.data()), qint64(dest.size()));
    return got < 0 ? -1 : static_cast<int>(got);
}

void QtSerialPort::onError(QSerialPort::SerialPortError error)
{
    if (!isFatal(error))
        return;
    m_failed = true;
    // Closing inside Qt's own wait is left until the wait returns.
    if (!m_inWait)
        close();
}

} // namespace ordalis
