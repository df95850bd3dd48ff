#include "link/serial_link.h"

#include "app/ctavrin_app.h"
#include "link/port_names.h"
#include "link/traffic_log.h"
#include "platform/clock.h"

#include <algorithm>
#include <array>

namespace ordalis {

namespace {

constexpr int kInputQueue = 128;
constexpr int kOutputQueue = 256;

} // namespace

std::unique_ptr<SerialPort> SerialLink::OpenComPort(int mode)
{
    m_app.ReadTimeoutBase = kTimeoutBaseMs;
    m_app.portName = comPortPath(m_app.settings.ComPort.current, m_app.DataFolder);
    if (mode == kModeRaw)
        m_app.ReadTimeoutBase = 0;
    else if (mode != kModeExchange)
        return nullptr;
    if (!m_app.services.serialPorts || m_app.portName.isEmpty())
        return nullptr;
    std::unique_ptr<SerialPort> port = m_app.services.serialPorts->create();
    if (!port || !port->open(m_app.portName, kInputQueue, kOutputQueue))
        return nullptr;
    return port;
}

bool SerialLink::isOpen() const
{
    return m_app.ComPortOpen && m_app.ComPortHandle && m_app.ComPortHandle->isOpen();
}

void SerialLink::close()
{
    if (m_app.ComPortOpen || m_app.ComPortHandle) {
        if (m_app.ComPortHandle)
            m_app.ComPortHandle->close();
        m_app.ComPortHandle.reset();
        m_app.ComPortOpen = false;
    }
}

bool SerialLink::purge()
{
    return isOpen() && m_app.ComPortHandle->purge();
}

bool SerialLink::write(std::span<const std::uint8_t> bytes)
{
    qCDebug(lcLink).noquote() << m_app.services.clock->nowMs() << "ms: sent on the serial line"
                              << hexText(bytes);
    if (isOpen() && m_app.ComPortHandle->write(bytes, kWriteLimitMs))
        return true;
    qCDebug(lcLink).noquote() << m_app.services.clock->nowMs() << "ms: the write failed; port closed";
    close();
    return false;
}

bool SerialLink::ReadSerialExact(std::span<std::uint8_t> destination)
{
    m_app.LastTargetId = std::min(m_app.LastTargetId, kMaxTargetId);
    Clock& clock = *m_app.services.clock;
    const std::int64_t deadline
        = clock.nowMs() + std::int64_t(m_app.ReadTimeoutBase) + kPerMonitorIdMs * m_app.LastTargetId;
    const std::size_t wanted = destination.size();
    if (wanted > kMaxRead || !isOpen())
        return false;

    std::array<std::uint8_t, kMaxRead> buffer {};
    std::size_t count = 0;
    while (count < wanted) {
        // Never more than still wanted: the rest of a reply stays for the next read.
        const int got = m_app.ComPortHandle->read(std::span(buffer).subspan(count, wanted - count), deadline);
        if (got < 0) {
            qCDebug(lcLink).noquote() << clock.nowMs() << "ms: the port failed; closed";
            close();
            return false;
        }
        if (got == 0) {
            qCDebug(lcLink).noquote() << clock.nowMs() << "ms: deadline" << deadline << "ms passed with"
                                      << count << "of" << wanted << "bytes";
            return false;
        }
        qCDebug(lcLink).noquote() << clock.nowMs() << "ms: received"
                                  << hexText(std::span(buffer).subspan(count, std::size_t(got)));
        count += static_cast<std::size_t>(got);
    }
    std::copy_n(buffer.begin(), wanted, destination.begin());
    return true;
}

} // namespace ordalis
