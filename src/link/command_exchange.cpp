#include "link/command_exchange.h"

#include "app/ctavrin_app.h"
#include "link/lan_link.h"
#include "link/serial_link.h"
#include "platform/clock.h"
#include "platform/prompts.h"
#include "protocol/command_frame.h"
#include "protocol/reply_checks.h"

#include <algorithm>
#include <array>

namespace ordalis {

namespace {

constexpr CommandCode kCid("CID");
constexpr CommandCode kDiv("DIV");
constexpr CommandCode kPjd("PJD");
// The automatic division arrangement, which the displays do not acknowledge.
constexpr std::uint8_t kDivisionAuto = 0x11;

constexpr std::uint8_t kMaxMonitorId = frame::kMaxMonitorId;
constexpr std::size_t kHeaderSize = 3;
constexpr std::size_t kEchoRestSize = frame::kReadSize - kHeaderSize;

const QString kDeviceNotReady = QStringLiteral("RS232 device is not ready !!");
const QString kConnectionFail = QStringLiteral("%1 connection fail!");
const QString kSerialNotAck = QStringLiteral("RS232 Not Ack !!");
const QString kLanNotAck = QStringLiteral("%1 Not Ack !");
const QString kNetworkNotAck = QStringLiteral("Network Not Ack !!");

enum class Link { Serial, SingleLan, EachLan };

Link linkOf(std::uint8_t kind)
{
    switch (static_cast<ConnectionKind>(kind)) {
    case ConnectionKind::Lan:
    case ConnectionKind::Wireless:
        return Link::SingleLan;
    case ConnectionKind::LanEach:
        return Link::EachLan;
    case ConnectionKind::Serial:
        break;
    }
    return Link::Serial;
}

bool isWritable(const IPixy* record)
{
    return record && record->connection && record->connection->state == CClientSocket::kStateWritable;
}

FrameKind kindOf(std::span<const std::uint8_t> bytes)
{
    return frameKind(bytes);
}

} // namespace

bool CommandExchange::fail(const QString& text, PromptIcon icon)
{
    m_app.LastErrorText = text;
    if (m_app.ShowErrorBoxes && m_app.services.prompts)
        m_app.services.prompts->message(text, icon);
    return false;
}

bool CommandExchange::failNotAck(const QString& address)
{
    return fail(kLanNotAck.arg(address), PromptIcon::Stop);
}

QString CommandExchange::firstRecordAddress() const
{
    return m_app.DisplayList.empty() ? m_app.settings.IpAddress.current : m_app.DisplayList.front().address;
}

bool CommandExchange::EnsureLinkReady(std::uint8_t monitorId, int openMode)
{
    LanLink lan(m_app);
    switch (linkOf(m_app.ConnectionKind)) {
    case Link::SingleLan: {
        if (monitorId > kMaxMonitorId || m_app.DisplayList.empty())
            return false;
        const IPixy& first = m_app.DisplayList.front();
        if (!first.connection)
            return false;
        if (isWritable(&first))
            return true;
        m_app.LastErrorText = kConnectionFail.arg(first.address);
        if (m_app.ShowErrorBoxes && m_app.services.prompts)
            m_app.services.prompts->message(m_app.LastErrorText, PromptIcon::None);
        else
            m_app.services.clock->sleepMs(kPauseInsteadOfBoxMs);
        return false;
    }
    case Link::EachLan: {
        if (monitorId > kMaxMonitorId)
            return false;
        if (monitorId != 0)
            return isWritable(lan.record(monitorId));
        const int displays = m_app.WallColumns * m_app.WallRows;
        for (int number = 1; number <= displays; ++number) {
            if (isWritable(lan.record(number)))
                return true;
        }
        return false;
    }
    case Link::Serial:
        break;
    }

    SerialLink serial(m_app);
    if (!serial.isOpen()) {
        serial.close();
        std::unique_ptr<SerialPort> port = serial.OpenComPort(openMode);
        if (!port) {
            m_app.ComPortOpen = false;
            m_app.LastErrorText = kDeviceNotReady;
            if (m_app.ShowErrorBoxes && m_app.services.prompts)
                m_app.services.prompts->message(kDeviceNotReady, PromptIcon::Stop);
            else
                m_app.services.clock->sleepMs(kPauseInsteadOfBoxMs);
            return false;
        }
        m_app.ComPortHandle = std::move(port);
        m_app.ComPortOpen = true;
    }
    serial.purge();
    return true;
}

bool CommandExchange::WriteValue(std::uint8_t target, CommandCode code, std::uint8_t value)
{
    const std::uint8_t id = (target >= 1 && target <= kMaxMonitorId) ? target : 0;
    if (!EnsureLinkReady(id, SerialLink::kModeExchange))
        return false;
    const std::optional<WriteFrame> frame = makeWriteFrame(id, code, value);
    if (!frame)
        return false;
    m_app.LastTargetId = id;
    switch (linkOf(m_app.ConnectionKind)) {
    case Link::SingleLan:
        return writeSingleLan(id, *frame);
    case Link::EachLan:
        return writeEachLan(target, id, code, *frame);
    case Link::Serial:
        break;
    }
    return writeSerial(id, code, value, *frame);
}

bool CommandExchange::writeSingleLan(std::uint8_t id, std::span<const std::uint8_t> frame)
{
    LanLink lan(m_app);
    const QString address = firstRecordAddress();
    if (!lan.SendToDisplay(1, frame))
        return failNotAck(address);
    // A write to all displays is not acknowledged over LAN.
    if (id == 0)
        return true;
    std::array<std::uint8_t, frame::kWriteSize> reply {};
    if (!lan.ReceiveFromDisplay(1, reply) || reply[0] != frame::kStart
        || reply[frame::kMonitorIdOffset] > kMaxMonitorId)
        return failNotAck(address);
    switch (kindOf(reply)) {
    case FrameKind::Reply:
        return true;
    case FrameKind::Write: // our own frame seen again on the line: the acknowledgement follows
        if (lan.ReceiveFromDisplay(1, reply))
            return true;
        break;
    default:
        break;
    }
    return fail(kSerialNotAck, PromptIcon::Stop);
}

bool CommandExchange::writeEachLan(
    std::uint8_t target, std::uint8_t id, CommandCode code, std::span<const std::uint8_t> frame)
{
    LanLink lan(m_app);
    if (id == 0 && code != kCid) {
        const int displays = m_app.WallColumns * m_app.WallRows;
        for (int number = 1; number <= displays; ++number)
            lan.SendToDisplay(number, frame);
        return true;
    }
    // CID numbers the chain: its target byte is taken as it is, so CID to all displays names
    // no display and fails.
    return writeToRecord(code == kCid ? target : id, code, frame);
}

bool CommandExchange::WriteThroughDisplay(int number, CommandCode code, std::uint8_t value)
{
    if (linkOf(m_app.ConnectionKind) != Link::EachLan || number < 1 || number > kMaxMonitorId
        || !EnsureLinkReady(std::uint8_t(number), SerialLink::kModeExchange))
        return false;
    const std::optional<WriteFrame> frame = makeWriteFrame(0, code, value);
    if (!frame)
        return false;
    m_app.LastTargetId = 0;
    return writeToRecord(number, code, *frame);
}

bool CommandExchange::writeToRecord(int number, CommandCode code, std::span<const std::uint8_t> frame)
{
    LanLink lan(m_app);
    IPixy* record = lan.record(number);
    // No record to name: the text shows the first display's address, as the single-connection
    // kinds do.
    if (!record)
        return failNotAck(firstRecordAddress());
    const QString address = record->address;
    if (!lan.SendToDisplay(number, frame))
        return failNotAck(address);
    std::array<std::uint8_t, frame::kWriteSize> reply {};
    if (!lan.ReceiveFromDisplay(number, reply)) {
        // The keeper rebuilds this display's connection.
        if (IPixy* again = lan.record(number))
            again->status = 255;
        return failNotAck(address);
    }
    if (isDisplayLanAcknowledgement(reply, code))
        return true;
    return failNotAck(address);
}

bool CommandExchange::writeSerial(
    std::uint8_t id, CommandCode code, std::uint8_t value, std::span<const std::uint8_t> frame)
{
    SerialLink serial(m_app);
    serial.purge();
    // A failed write has closed the port; the next exchange opens it again. No text.
    if (!serial.write(frame))
        return false;
    m_app.services.clock->sleepMs(kPauseAfterSerialWriteMs);

    std::array<std::uint8_t, frame::kWriteSize> reply {};
    if (id == 0) {
        if (serial.ReadSerialExact(reply))
            return true;
        if (code == kDiv && value == kDivisionAuto)
            return true;
        return fail(kSerialNotAck, PromptIcon::Stop);
    }
    if (!serial.ReadSerialExact(reply) || reply[0] != frame::kStart
        || reply[frame::kMonitorIdOffset] > kMaxMonitorId)
        return fail(kSerialNotAck, PromptIcon::Stop);
    switch (kindOf(reply)) {
    case FrameKind::Reply:
        return true;
    case FrameKind::Write: // our own frame seen again on the line: the acknowledgement follows
        if (serial.ReadSerialExact(reply))
            return true;
        break;
    default:
        break;
    }
    return fail(kSerialNotAck, PromptIcon::Stop);
}

bool CommandExchange::readReply(const Reader& read, std::uint8_t id, std::uint8_t& value)
{
    std::array<std::uint8_t, frame::kWriteSize> reply {};
    const std::span<std::uint8_t> header = std::span(reply).first(kHeaderSize);
    if (!read(header) || reply[0] != frame::kStart || reply[frame::kMonitorIdOffset] != id)
        return false;
    switch (kindOf(header)) {
    case FrameKind::Reply:
        if (!read(std::span(reply).subspan(kHeaderSize)))
            return false;
        break;
    case FrameKind::Read: { // our own read frame seen again: skip it, the reply follows
        std::array<std::uint8_t, kEchoRestSize> echo {};
        if (!read(echo) || !read(reply) || !isSingleReadReply(reply, id))
            return false;
        break;
    }
    default:
        return false;
    }
    value = reply[frame::kValueOffset];
    return true;
}

bool CommandExchange::ReadValue(std::uint8_t target, CommandCode code, std::uint8_t& value)
{
    std::uint8_t id = target & 0x7F;
    if (id == 0 || target > kMaxMonitorId)
        id = 1;
    if (!EnsureLinkReady(id, SerialLink::kModeExchange))
        return false;
    const std::optional<ReadFrame> frame = makeReadFrame(id, code);
    if (!frame)
        return false;
    m_app.LastTargetId = id;

    if (linkOf(m_app.ConnectionKind) != Link::Serial) {
        LanLink lan(m_app);
        const Reader read
            = [&lan, id](std::span<std::uint8_t> bytes) { return lan.ReceiveFromDisplay(id, bytes); };
        if (!lan.SendToDisplay(id, *frame) || !readReply(read, id, value))
            return fail(kNetworkNotAck, PromptIcon::Stop);
        return true;
    }
    SerialLink serial(m_app);
    if (!serial.write(*frame))
        return false;
    const Reader read = [&serial](std::span<std::uint8_t> bytes) { return serial.ReadSerialExact(bytes); };
    if (!readReply(read, id, value))
        return fail(kSerialNotAck, PromptIcon::Stop);
    return true;
}

std::uint8_t CommandExchange::ReadAllDisplays(CommandCode code, std::span<std::uint8_t> ids,
    std::span<std::uint8_t> values, int maxCount, int valueLength)
{
    if (!EnsureLinkReady(0, SerialLink::kModeExchange))
        return kReadAllFailed;
    const std::optional<ReadFrame> frame = makeReadFrame(0, code);
    if (!frame || valueLength < 0)
        return kReadAllFailed;
    const std::size_t n = std::size_t(valueLength);
    // Never more replies than the arrays hold.
    std::size_t capacity = std::min<std::size_t>(ids.size(), std::size_t(std::max(maxCount, 0)));
    if (n > 0)
        capacity = std::min(capacity, values.size() / n);
    const std::size_t replySize = frame::replySize(n);

    const Link link = linkOf(m_app.ConnectionKind);
    LanLink lan(m_app);
    if (link == Link::EachLan) {
        const std::uint8_t displays = static_cast<std::uint8_t>(m_app.WallColumns * m_app.WallRows);
        const std::size_t count = std::min<std::size_t>(displays, capacity);
        for (std::size_t i = 0; i < count; ++i) {
            lan.SendToDisplay(int(i) + 1, *frame);
            ids[i] = static_cast<std::uint8_t>(i + 1);
        }
        std::array<std::uint8_t, LanLink::kMaxReceive> reply {};
        for (std::size_t i = 0; i < count; ++i) {
            const std::span<std::uint8_t> into = values.subspan(i * n, n);
            if (replySize <= reply.size()
                && lan.ReceiveFromDisplay(int(i) + 1, std::span(reply).first(replySize)))
                std::copy_n(reply.begin() + frame::kValueOffset, n, into.begin());
            else
                std::fill(into.begin(), into.end(), 0);
        }
        return static_cast<std::uint8_t>(count);
    }

    SerialLink serial(m_app);
    Reader read;
    if (link == Link::SingleLan) {
        if (!lan.SendToDisplay(1, *frame))
            return kReadAllFailed;
        read = [&lan](std::span<std::uint8_t> bytes) { return lan.ReceiveFromDisplay(1, bytes); };
    } else {
        if (!serial.write(*frame))
            return kReadAllFailed;
        read = [&serial](std::span<std::uint8_t> bytes) { return serial.ReadSerialExact(bytes); };
    }
    return static_cast<std::uint8_t>(collectReplies(read, code, ids, values, int(capacity), valueLength));
}

int CommandExchange::collectReplies(const Reader& read, CommandCode code, std::span<std::uint8_t> ids,
    std::span<std::uint8_t> values, int limit, int valueLength)
{
    const std::size_t n = std::size_t(valueLength);
    const std::size_t replySize = frame::replySize(n);
    std::array<std::uint8_t, SerialLink::kMaxRead> reply {};
    if (replySize > reply.size())
        return 0;
    const std::span<std::uint8_t> whole = std::span(reply).first(replySize);
    const std::span<std::uint8_t> header = whole.first(kHeaderSize);

    int count = 0;
    if (limit <= 0 || !read(header))
        return 0;
    while (reply[0] == frame::kStart) {
        switch (kindOf(header)) {
        case FrameKind::Reply:
            if (!read(whole.subspan(kHeaderSize)))
                return count;
            break;
        case FrameKind::Read: { // the read frame seen again: skip it, a whole reply follows
            std::array<std::uint8_t, kEchoRestSize> echo {};
            if (!read(echo) || !read(whole))
                return count;
            break;
        }
        default:
            return count;
        }
        if (!isReadAllReply(whole, code, n))
            return count;
        ids[std::size_t(count)] = reply[frame::kMonitorIdOffset];
        std::copy_n(
            whole.begin() + frame::kValueOffset, n, values.begin() + std::ptrdiff_t(std::size_t(count) * n));
        ++count;
        if (count >= limit || code == kPjd)
            return count;
        if (!read(header))
            return count;
    }
    return count;
}

bool CommandExchange::WriteValueRetry(std::uint8_t target, CommandCode code, std::uint8_t value, int attempts)
{
    const bool showBoxes = m_app.ShowErrorBoxes;
    m_app.ShowErrorBoxes = false;
    int made = 0;
    for (;;) {
        if (WriteValue(target, code, value)) {
            m_app.ShowErrorBoxes = showBoxes;
            return true;
        }
        m_app.services.clock->sleepMs(kPauseBetweenAttemptsMs);
        if (++made >= attempts)
            break;
    }
    m_app.ShowErrorBoxes = showBoxes;
    return false;
}

bool CommandExchange::SendRaw(std::span<const std::uint8_t> bytes)
{
    // A frame too short to name a display names all of them.
    const std::uint8_t id = bytes.size() > frame::kMonitorIdOffset ? bytes[frame::kMonitorIdOffset] : 0;
    if (!EnsureLinkReady(id, SerialLink::kModeRaw))
        return false;
    switch (linkOf(m_app.ConnectionKind)) {
    case Link::SingleLan:
        LanLink(m_app).SendToDisplay(1, bytes);
        return true;
    case Link::EachLan:
        LanLink(m_app).SendToDisplay(id, bytes);
        return true;
    case Link::Serial:
        break;
    }
    SerialLink serial(m_app);
    serial.purge();
    const bool written = serial.write(bytes);
    m_app.services.clock->sleepMs(kPauseAfterRawSendMs);
    return written;
}

} // namespace ordalis
