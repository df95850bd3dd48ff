#include "link/link_backends.h"

#include "app/ctavrin_app.h"
#include "link/lan_link.h"
#include "link/serial_link.h"
#include "platform/waiter.h"

namespace ordalis {

namespace {

constexpr CommandCode kCid("CID");
constexpr std::uint8_t kMaxMonitorId = 100;

const QString kDeviceNotReady = QStringLiteral("RS232 device is not ready !!");
const QString kConnectionFail = QStringLiteral("%1 connection fail!");
const QString kSerialNotAck = QStringLiteral("RS232 Not Ack !!");
const QString kLanNotAck = QStringLiteral("%1 Not Ack !");
const QString kNetworkNotAck = QStringLiteral("Network Not Ack !!");

bool isWritable(const IPixy* record)
{
    return record && record->connection && record->connection->state == CClientSocket::kStateWritable;
}

// The first display's address: what the single connection reaches, and what the per-display
// kind shows for a display that has no record.
QString firstAddress(const CTavrinApp& app)
{
    return app.DisplayList.empty() ? app.settings.IpAddress.current : app.DisplayList.front().address;
}

QString recordAddress(CTavrinApp& app, int display)
{
    const IPixy* record = LanLink(app).record(display);
    return record ? record->address : firstAddress(app);
}

} // namespace

Readiness SerialBackend::prepare(std::uint8_t, int openMode)
{
    SerialLink serial(m_app);
    if (!serial.isOpen()) {
        serial.close();
        std::unique_ptr<SerialPort> port = serial.OpenComPort(openMode);
        if (!port) {
            m_app.ComPortOpen = false;
            return {false, kDeviceNotReady, PromptIcon::Stop};
        }
        m_app.ComPortHandle = std::move(port);
        m_app.ComPortOpen = true;
    }
    serial.purge();
    return {true, {}};
}

bool SerialBackend::send(int, std::span<const std::uint8_t> frame, FrameUse use)
{
    SerialLink serial(m_app);
    if (use != FrameUse::Read)
        serial.purge();
    // A failed write has closed the port; the next exchange opens it again.
    const bool written = serial.write(frame);
    if (use == FrameUse::Write && written)
        m_app.services.waiter->pause(kPauseAfterWriteMs);
    else if (use == FrameUse::Raw)
        m_app.services.waiter->pause(kPauseAfterRawMs);
    return written;
}

bool SerialBackend::receive(int, std::span<std::uint8_t> bytes)
{
    return SerialLink(m_app).ReadSerialExact(bytes);
}

QString SerialBackend::missingAcknowledgement(int) const
{
    return kSerialNotAck;
}

QString SerialBackend::wrongAcknowledgement(int) const
{
    return kSerialNotAck;
}

QString SerialBackend::readFailure() const
{
    return kSerialNotAck;
}

Readiness SingleLanBackend::prepare(std::uint8_t monitorId, int)
{
    if (monitorId > kMaxMonitorId || m_app.DisplayList.empty())
        return {};
    const IPixy& first = m_app.DisplayList.front();
    if (!first.connection)
        return {};
    if (isWritable(&first))
        return {true, {}};
    return {false, kConnectionFail.arg(first.address), PromptIcon::None};
}

bool SingleLanBackend::send(int, std::span<const std::uint8_t> frame, FrameUse use)
{
    const bool sent = LanLink(m_app).SendToDisplay(1, frame);
    // A raw frame is not looked after: what did not leave shows up as no answer.
    return sent || use == FrameUse::Raw;
}

bool SingleLanBackend::receive(int, std::span<std::uint8_t> bytes)
{
    return LanLink(m_app).ReceiveFromDisplay(1, bytes);
}

QString SingleLanBackend::sendFailure(int display, FrameUse use) const
{
    return use == FrameUse::Read ? kNetworkNotAck : missingAcknowledgement(display);
}

QString SingleLanBackend::missingAcknowledgement(int) const
{
    return kLanNotAck.arg(firstAddress(m_app));
}

QString SingleLanBackend::wrongAcknowledgement(int) const
{
    // The module passed something on, but not the answer: the chain behind it is at fault.
    return kSerialNotAck;
}

QString SingleLanBackend::readFailure() const
{
    return kNetworkNotAck;
}

Readiness EachLanBackend::prepare(std::uint8_t monitorId, int)
{
    if (monitorId > kMaxMonitorId)
        return {};
    LanLink lan(m_app);
    if (monitorId != 0)
        return {isWritable(lan.record(monitorId)), {}};
    const int displays = m_app.WallColumns * m_app.WallRows;
    for (int number = 1; number <= displays; ++number) {
        if (isWritable(lan.record(number)))
            return {true, {}};
    }
    return {};
}

bool EachLanBackend::send(int display, std::span<const std::uint8_t> frame, FrameUse use)
{
    const bool sent = LanLink(m_app).SendToDisplay(display, frame);
    return sent || use == FrameUse::Raw;
}

bool EachLanBackend::receive(int display, std::span<std::uint8_t> bytes)
{
    return LanLink(m_app).ReceiveFromDisplay(display, bytes);
}

WriteToAll EachLanBackend::writeToAll(CommandCode code) const
{
    return code == kCid ? WriteToAll::Addressed : WriteToAll::EachDisplay;
}

QString EachLanBackend::sendFailure(int display, FrameUse use) const
{
    return use == FrameUse::Read ? kNetworkNotAck : missingAcknowledgement(display);
}

QString EachLanBackend::missingAcknowledgement(int display) const
{
    return kLanNotAck.arg(recordAddress(m_app, display));
}

QString EachLanBackend::wrongAcknowledgement(int display) const
{
    return missingAcknowledgement(display);
}

QString EachLanBackend::readFailure() const
{
    return kNetworkNotAck;
}

void EachLanBackend::acknowledgementMissed(int display)
{
    if (IPixy* record = LanLink(m_app).record(display))
        record->status = IPixy::kRebuildConnection;
}

} // namespace ordalis
