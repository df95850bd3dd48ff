#include "link/lan_link.h"

#include "app/ctavrin_app.h"
#include "link/traffic_log.h"
#include "platform/clock.h"
#include "platform/host_addresses.h"
#include "platform/lan_connection.h"
#include "platform/prompts.h"
#include "platform/waiter.h"

#include <algorithm>

namespace ordalis {

namespace {

constexpr std::size_t kDrainChunk = 64;
constexpr int kMaxAddressLength = 32;
constexpr int kMacLength = 12;

bool isSingleConnection(std::uint8_t kind)
{
    return kind == std::uint8_t(ConnectionKind::Lan) || kind == std::uint8_t(ConnectionKind::Wireless);
}

} // namespace

IPixy* LanLink::record(int number) const
{
    if (isSingleConnection(m_app.ConnectionKind))
        number = 1;
    if (number < 1 || number > kMaxRecordNumber || std::size_t(number) > m_app.DisplayList.size())
        return nullptr;
    return &m_app.DisplayList[std::size_t(number) - 1];
}

std::uint16_t LanLink::port() const
{
    if (m_app.settings.LanType.current == 1)
        return kWifiModulePort;
    // A stored port that no connection can use is not wrapped round into another one:
    // port 0 makes every connect fail.
    const std::int32_t telnet = m_app.settings.TelnetPort.current;
    return telnet >= 1 && telnet <= 65535 ? static_cast<std::uint16_t>(telnet) : 0;
}

void LanLink::connectRecord(IPixy& target, bool single)
{
    target.connection.reset();
    std::unique_ptr<LanConnection> transport
        = m_app.services.lanConnections ? m_app.services.lanConnections->create() : nullptr;
    if (!transport) {
        if (m_app.services.prompts)
            m_app.services.prompts->message(QStringLiteral("Could not create new socket"));
        return;
    }
    auto socket = std::make_unique<CClientSocket>(
        std::move(transport), m_app.services.prompts, m_app.services.waiter);
    CClientSocket* raw = socket.get();
    target.connection = std::move(socket);
    raw->transport().connectTo(target.address, port());
    if (single)
        raw->connectedFlag = 1;
    m_app.services.waiter->pause(kPauseAfterConnectMs);
}

void LanLink::ConnectDisplaySocket(int number)
{
    if (number != 0) {
        if (IPixy* target = record(number))
            connectRecord(*target, true);
        return;
    }
    // The box of a failed creation runs a nested event loop: the list is looked up afresh.
    for (std::size_t i = 0; i < m_app.DisplayList.size(); ++i)
        connectRecord(m_app.DisplayList[i], false);
}

void LanLink::CloseDisplaySocket(int number)
{
    if (number != 0) {
        if (IPixy* target = record(number))
            target->connection.reset();
        return;
    }
    for (IPixy& each : m_app.DisplayList)
        each.connection.reset();
}

void LanLink::DrainDisplaySocket(int number)
{
    IPixy* target = record(number);
    if (!target || !target->connection)
        return;
    CClientSocket& socket = *target->connection;
    socket.writeIndex = 0;
    socket.readIndex = 0;
    std::array<std::uint8_t, kDrainChunk> chunk {};
    while (socket.transport().read(chunk) == std::int64_t(kDrainChunk)) { }
}

bool LanLink::SendToDisplay(int number, std::span<const std::uint8_t> bytes)
{
    IPixy* target = record(number);
    if (!target || !target->connection || target->connection->state != CClientSocket::kStateWritable)
        return false;
    DrainDisplaySocket(number);
    qCDebug(lcLink).noquote() << m_app.services.clock->nowMs() << "ms: sent to" << target->address
                              << hexText(bytes);
    target->connection->transport().send(bytes);
    m_app.services.waiter->pause(kPauseAfterSendMs);
    return true;
}

bool LanLink::ReceiveFromDisplay(int number, std::span<std::uint8_t> destination)
{
    m_app.LastTargetId = std::min<std::uint8_t>(m_app.LastTargetId, kMaxRecordNumber);
    Clock& clock = *m_app.services.clock;
    const std::int64_t deadline = clock.nowMs() + kReplyTimeoutBaseMs + kPerMonitorIdMs * m_app.LastTargetId;
    IPixy* target = record(number);
    const std::size_t wanted = destination.size();
    if (wanted > kMaxReceive || !target || !target->connection
        || target->connection->state != CClientSocket::kStateWritable)
        return false;

    LanConnection& transport = target->connection->transport();
    std::array<std::uint8_t, kMaxReceive> buffer {};
    std::size_t count = 0;
    while (count < wanted) {
        // Never more than still wanted: the rest of a reply stays for the next receive.
        const std::int64_t got = transport.read(std::span(buffer).subspan(count, wanted - count));
        if (got < 0) {
            qCDebug(lcLink).noquote() << clock.nowMs() << "ms: connection to" << target->address << "closed";
            return false;
        }
        if (got > 0)
            qCDebug(lcLink).noquote() << clock.nowMs() << "ms: received from" << target->address
                                      << hexText(std::span(buffer).subspan(count, std::size_t(got)));
        count += static_cast<std::size_t>(got);
        if (count == wanted || got > 0)
            continue;
        if (clock.nowMs() >= deadline) {
            qCDebug(lcLink).noquote() << clock.nowMs() << "ms: deadline" << deadline << "ms passed with"
                                      << count << "of" << wanted << "bytes";
            return false;
        }
        // Sleeps in the kernel until bytes come, the connection closes or the deadline passes.
        transport.waitForReadable(deadline);
    }
    std::copy_n(buffer.begin(), wanted, destination.begin());
    return true;
}

bool LanLink::hasUnreadBytes(int number) const
{
    const IPixy* target = record(number);
    return target && target->connection && target->connection->hasUnreadBytes();
}

std::vector<std::uint8_t> LanLink::takeBytes(int number, int count)
{
    IPixy* target = record(number);
    if (!target || !target->connection)
        return {};
    return target->connection->takeBytes(count);
}

std::uint8_t LanLink::GetLocalAddresses(std::array<QString, kMaxLocalAddresses>& addresses) const
{
    if (!m_app.services.hostAddresses)
        return 0;
    const QStringList found = m_app.services.hostAddresses->ipv4Addresses();
    const std::size_t count = std::min<std::size_t>(std::size_t(found.size()), kMaxLocalAddresses);
    for (std::size_t i = 0; i < count; ++i)
        addresses[i] = found[qsizetype(i)];
    return static_cast<std::uint8_t>(count);
}

bool LanLink::IsValidIpAddress(const QString& text)
{
    if (text.isEmpty() || text.size() >= kMaxAddressLength)
        return false;
    int dots = 0;
    int digits = 0; // in the current part
    int value = 0;
    for (const QChar c : text) {
        if (c == QLatin1Char('.')) {
            if (digits == 0)
                return false;
            ++dots;
            digits = 0;
            value = 0;
        } else if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            ++digits;
            value = std::min(value * 10 + (c.unicode() - '0'), 1000); // leading zeros are accepted
            if (value > 255)
                return false;
        } else {
            return false;
        }
    }
    return dots == 3 && digits > 0;
}

bool LanLink::IsValidMacAddress(const QString& text)
{
    if (text.size() != kMacLength)
        return false;
    return std::all_of(text.begin(), text.end(), [](QChar c) {
        return (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            || (c >= QLatin1Char('a') && c <= QLatin1Char('f'))
            || (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
    });
}

} // namespace ordalis
