#include "link/command_exchange.h"

#include "app/ctavrin_app.h"
#include "link/lan_link.h"
#include "link/serial_link.h"
#include "link/traffic_log.h"
#include "platform/prompts.h"
#include "platform/waiter.h"
#include "protocol/command_frame.h"
#include "protocol/reply_checks.h"

#include <algorithm>
#include <array>

namespace ordalis {

namespace {

constexpr CommandCode kDiv("DIV");
constexpr CommandCode kPjd("PJD");
// The automatic division arrangement, which the displays do not acknowledge.
constexpr std::uint8_t kDivisionAuto = 0x11;

constexpr std::uint8_t kMaxMonitorId = frame::kMaxMonitorId;
constexpr std::size_t kHeaderSize = 3;
constexpr std::size_t kEchoRestSize = frame::kReadSize - kHeaderSize;
constexpr std::size_t kMaxReply = SerialLink::kMaxRead;

// Start byte and a Monitor ID the builders could have sent: a frame of the chain's.
bool startsFrame(std::span<const std::uint8_t> bytes)
{
    return bytes[0] == frame::kStart && bytes[frame::kMonitorIdOffset] <= kMaxMonitorId;
}

void logOutcome(const char* operation, CommandCode code, int id, bool ok, const QString& error)
{
    if (ok)
        qCDebug(lcLink).noquote() << operation << QString::fromStdString(code.text()) << "to" << id << "ok";
    else
        qCDebug(lcLink).noquote() << operation << QString::fromStdString(code.text()) << "to" << id
                                  << "failed:" << error;
}

} // namespace

CommandExchange::CommandExchange(CTavrinApp& app)
    : m_app(app), m_serial(app), m_singleLan(app), m_eachLan(app)
{
}

ExchangeBackend& CommandExchange::backend()
{
    switch (static_cast<ConnectionKind>(m_app.ConnectionKind)) {
    case ConnectionKind::Lan:
    case ConnectionKind::Wireless:
        return m_singleLan;
    case ConnectionKind::LanEach:
        return m_eachLan;
    case ConnectionKind::Serial:
        break;
    }
    return m_serial;
}

bool CommandExchange::fail(const QString& text, PromptIcon icon)
{
    m_app.LastErrorText = text;
    if (m_app.ShowErrorBoxes && m_app.services.prompts)
        m_app.services.prompts->message(text, icon);
    return false;
}

bool CommandExchange::failSend(int display, FrameUse use)
{
    const QString text = backend().sendFailure(display, use);
    return text.isEmpty() ? false : fail(text);
}

bool CommandExchange::EnsureLinkReady(std::uint8_t monitorId, int openMode)
{
    const Readiness readiness = backend().prepare(monitorId, openMode);
    if (!readiness.ready && !readiness.text.isEmpty()) {
        // Reported in a box, or given a moment instead when the caller shows it itself.
        m_app.LastErrorText = readiness.text;
        if (m_app.ShowErrorBoxes && m_app.services.prompts)
            m_app.services.prompts->message(readiness.text, readiness.icon);
        else
            m_app.services.waiter->pause(kPauseInsteadOfBoxMs);
    }
    return readiness.ready;
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
    bool ok = false;
    if (id == 0 && backend().writeToAll(code) != WriteToAll::Addressed) {
        ok = writeToAll(code, value, *frame);
    } else {
        // CID numbers the displays: its target byte names the display as it is.
        const int display = id == 0 ? target : id;
        ok = backend().send(display, *frame, FrameUse::Write) ? acknowledged(display, code)
                                                              : failSend(display, FrameUse::Write);
    }
    logOutcome("WriteValue", code, id, ok, m_app.LastErrorText);
    return ok;
}

bool CommandExchange::writeToAll(CommandCode code, std::uint8_t value, std::span<const std::uint8_t> frame)
{
    ExchangeBackend& link = backend();
    if (link.writeToAll(code) == WriteToAll::EachDisplay) {
        const int displays = m_app.WallColumns * m_app.WallRows;
        for (int number = 1; number <= displays; ++number)
            link.send(number, frame, FrameUse::Write);
        return true;
    }
    if (!link.send(1, frame, FrameUse::Write))
        return failSend(1, FrameUse::Write);
    if (link.writeToAll(code) == WriteToAll::Unacknowledged)
        return true;
    // The chain's first answer confirms it, whatever it holds.
    std::array<std::uint8_t, frame::kWriteSize> reply {};
    if (link.receive(1, reply) || (code == kDiv && value == kDivisionAuto))
        return true;
    return fail(link.missingAcknowledgement(1));
}

bool CommandExchange::acknowledged(int display, CommandCode code)
{
    ExchangeBackend& link = backend();
    std::array<std::uint8_t, frame::kWriteSize> reply {};
    if (!link.receive(display, reply)) {
        link.acknowledgementMissed(display);
        return fail(link.missingAcknowledgement(display));
    }
    if (!link.chained())
        return isDisplayLanAcknowledgement(reply, code) || fail(link.wrongAcknowledgement(display));
    if (isWriteAcknowledgement(reply))
        return true;
    if (!startsFrame(reply))
        return fail(link.missingAcknowledgement(display));
    // Our own frame seen again on the line: the acknowledgement follows.
    if (frameKind(reply) == FrameKind::Write && link.receive(display, reply))
        return true;
    return fail(link.wrongAcknowledgement(display));
}

bool CommandExchange::WriteThroughDisplay(int number, CommandCode code, std::uint8_t value)
{
    if (static_cast<ConnectionKind>(m_app.ConnectionKind) != ConnectionKind::LanEach || number < 1
        || number > kMaxMonitorId || !EnsureLinkReady(std::uint8_t(number), SerialLink::kModeExchange))
        return false;
    const std::optional<WriteFrame> frame = makeWriteFrame(0, code, value);
    if (!frame)
        return false;
    m_app.LastTargetId = 0;
    const bool ok = backend().send(number, *frame, FrameUse::Write) ? acknowledged(number, code)
                                                                    : failSend(number, FrameUse::Write);
    logOutcome("WriteThroughDisplay", code, number, ok, m_app.LastErrorText);
    return ok;
}

bool CommandExchange::readReply(int display, std::uint8_t id, std::uint8_t& value)
{
    ExchangeBackend& link = backend();
    std::array<std::uint8_t, frame::kWriteSize> reply {};
    const std::span<std::uint8_t> header = std::span(reply).first(kHeaderSize);
    if (!link.receive(display, header) || reply[0] != frame::kStart || reply[frame::kMonitorIdOffset] != id)
        return false;
    switch (frameKind(header)) {
    case FrameKind::Reply:
        if (!link.receive(display, std::span(reply).subspan(kHeaderSize)))
            return false;
        break;
    case FrameKind::Read: { // our own read frame seen again: skip it, the reply follows
        std::array<std::uint8_t, kEchoRestSize> echo {};
        if (!link.receive(display, echo) || !link.receive(display, reply) || !isSingleReadReply(reply, id))
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
    bool ok = false;
    if (!backend().send(id, *frame, FrameUse::Read))
        ok = failSend(id, FrameUse::Read);
    else
        ok = readReply(id, id, value) || fail(backend().readFailure());
    logOutcome("ReadValue", code, id, ok, m_app.LastErrorText);
    return ok;
}

std::optional<std::uint8_t> CommandExchange::ReadAllDisplays(CommandCode code, std::span<std::uint8_t> ids,
    std::span<std::uint8_t> values, int maxCount, int valueLength)
{
    if (!EnsureLinkReady(0, SerialLink::kModeExchange))
        return std::nullopt;
    const std::optional<ReadFrame> frame = makeReadFrame(0, code);
    if (!frame || valueLength < 0)
        return std::nullopt;
    const std::size_t n = std::size_t(valueLength);
    // Never more replies than the arrays hold.
    std::size_t capacity = std::min<std::size_t>(ids.size(), std::size_t(std::max(maxCount, 0)));
    if (n > 0)
        capacity = std::min(capacity, values.size() / n);
    const std::size_t replySize = frame::replySize(n);

    ExchangeBackend& link = backend();
    if (link.repliesPerDisplay()) {
        const std::uint8_t displays = static_cast<std::uint8_t>(m_app.WallColumns * m_app.WallRows);
        const std::size_t count = std::min<std::size_t>(displays, capacity);
        for (std::size_t i = 0; i < count; ++i) {
            link.send(int(i) + 1, *frame, FrameUse::Read);
            ids[i] = static_cast<std::uint8_t>(i + 1);
        }
        std::array<std::uint8_t, LanLink::kMaxReceive> reply {};
        for (std::size_t i = 0; i < count; ++i) {
            const std::span<std::uint8_t> into = values.subspan(i * n, n);
            if (replySize <= reply.size() && link.receive(int(i) + 1, std::span(reply).first(replySize)))
                std::copy_n(reply.begin() + frame::kValueOffset, n, into.begin());
            else
                std::fill(into.begin(), into.end(), 0);
        }
        return static_cast<std::uint8_t>(count);
    }
    if (!link.send(1, *frame, FrameUse::Read))
        return std::nullopt;
    const int count = collectReplies(code, ids, values, capacity, n);
    qCDebug(lcLink).noquote() << "ReadAllDisplays" << QString::fromStdString(code.text()) << count
                              << "replies";
    return static_cast<std::uint8_t>(count);
}

int CommandExchange::collectReplies(CommandCode code, std::span<std::uint8_t> ids,
    std::span<std::uint8_t> values, std::size_t limit, std::size_t valueLength)
{
    ExchangeBackend& link = backend();
    const std::size_t n = valueLength;
    const std::size_t replySize = frame::replySize(n);
    std::array<std::uint8_t, kMaxReply> reply {};
    if (replySize > reply.size())
        return 0;
    const std::span<std::uint8_t> whole = std::span(reply).first(replySize);
    const std::span<std::uint8_t> header = whole.first(kHeaderSize);

    std::size_t count = 0;
    if (limit == 0 || !link.receive(1, header))
        return 0;
    while (reply[0] == frame::kStart) {
        switch (frameKind(header)) {
        case FrameKind::Reply:
            if (!link.receive(1, whole.subspan(kHeaderSize)))
                return int(count);
            break;
        case FrameKind::Read: { // the read frame seen again: skip it, a whole reply follows
            std::array<std::uint8_t, kEchoRestSize> echo {};
            if (!link.receive(1, echo) || !link.receive(1, whole))
                return int(count);
            break;
        }
        default:
            return int(count);
        }
        if (!isReadAllReply(whole, code, n))
            return int(count);
        ids[count] = reply[frame::kMonitorIdOffset];
        std::copy_n(whole.begin() + frame::kValueOffset, n, values.begin() + std::ptrdiff_t(count * n));
        ++count;
        if (count >= limit || code == kPjd)
            return int(count);
        if (!link.receive(1, header))
            return int(count);
    }
    return int(count);
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
        m_app.services.waiter->pause(kPauseBetweenAttemptsMs);
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
    return backend().send(id, bytes, FrameUse::Raw);
}

} // namespace ordalis
