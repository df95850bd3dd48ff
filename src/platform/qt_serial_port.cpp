#include "platform/qt_serial_port.h"

#include <algorithm>
#include <climits>

namespace ordalis {

namespace {

bool isFatal(QSerialPort::SerialPortError error)
{
    // After the other end goes away every wait fails at once with ReadError while the port
    // still looks open; keeping it open would spin.
    return error == QSerialPort::ReadError || error == QSerialPort::WriteError
        || error == QSerialPort::ResourceError;
}

int waitSlice(std::int64_t leftMs)
{
    return static_cast<int>(std::min<std::int64_t>(leftMs, INT_MAX));
}

} // namespace

QtSerialPort::QtSerialPort(Clock& clock) : m_clock(clock)
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
    const std::int64_t deadline = m_clock.nowMs() + limitMs;
    const qint64 queued = m_port.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
    if (queued != qint64(bytes.size()))
        return false;
    while (m_port.bytesToWrite() > 0) {
        const std::int64_t left = deadline - m_clock.nowMs();
        if (left <= 0)
            return false;
        m_inWait = true;
        const bool progressed = m_port.waitForBytesWritten(waitSlice(left));
        m_inWait = false;
        if (m_failed) {
            close();
            return false;
        }
        if (!progressed && m_port.error() != QSerialPort::TimeoutError)
            return false;
        m_port.clearError();
    }
    return true;
}

int QtSerialPort::read(std::span<std::uint8_t> dest, std::int64_t deadlineMs)
{
    if (dest.empty())
        return 0;
    for (;;) {
        if (!m_port.isOpen())
            return -1;
        // waitForReadyRead sees only bytes that arrive after it starts: look first.
        if (m_port.bytesAvailable() > 0) {
            const qint64 got = m_port.read(reinterpret_cast<char*>(dest.data()), qint64(dest.size()));
            return got < 0 ? -1 : static_cast<int>(got);
        }
        // A deadline already passed still takes what the driver holds: a zero wait polls it once.
        const std::int64_t left = std::max<std::int64_t>(deadlineMs - m_clock.nowMs(), 0);
        m_inWait = true;
        const bool arrived = m_port.waitForReadyRead(waitSlice(left));
        m_inWait = false;
        if (m_failed) {
            close();
            return -1;
        }
        if (arrived)
            continue;
        if (m_port.error() != QSerialPort::TimeoutError && m_port.error() != QSerialPort::NoError) {
            close();
            return -1;
        }
        m_port.clearError();
        if (left == 0)
            return 0;
        // Qt rounds its own time-out: the deadline is checked again on the clock.
    }
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
