#include "rules/display_search.h"

#include "app/ctavrin_app.h"
#include "link/lan_link.h"
#include "platform/clock.h"
#include "platform/datagram_socket.h"
#include "platform/prompts.h"
#include "platform/waiter.h"

namespace ordalis {

std::optional<IPSearch> UdpDisplaySearch::parseReply(QByteArrayView datagram)
{
    if (datagram.size() < kShortestReply)
        return std::nullopt;
    // The reply is text up to the end of the datagram or its first zero byte.
    const qsizetype zero = datagram.indexOf('\0');
    const QString text = QString::fromLatin1(zero < 0 ? datagram : datagram.first(zero));
    const qsizetype first = text.indexOf(QLatin1Char(','));
    if (first < 0)
        return std::nullopt;
    const QString address = text.left(first);
    if (!LanLink::IsValidIpAddress(address))
        return std::nullopt;
    const qsizetype second = text.indexOf(QLatin1Char(','), first + 1);
    if (second < 0 || !LanLink::IsValidMacAddress(text.mid(first + 1, second - first - 1)))
        return std::nullopt;
    return IPSearch {text.mid(second + 1), address};
}

QStringList UdpDisplaySearch::broadcastTargets(const QStringList& localAddresses)
{
    QStringList targets;
    for (const QString& address : localAddresses) {
        const QStringList parts = address.split(QLatin1Char('.'));
        if (parts.size() != 4)
            continue;
        const QString target = QStringList(parts.mid(0, 3)).join(QLatin1Char('.')) + QStringLiteral(".255");
        if (!targets.contains(target))
            targets.append(target);
    }
    return targets;
}

UdpDisplaySearch::UdpDisplaySearch(CTavrinApp& app, std::uint16_t localPort, std::uint16_t remotePort)
    : m_app(app), m_localPort(localPort), m_remotePort(remotePort)
{
}

int UdpDisplaySearch::run(const std::function<void(const IPSearch&)>& found)
{
    Clock& clock = *m_app.services.clock;
    Prompts& prompts = *m_app.services.prompts;
    const std::int64_t deadline = clock.nowMs() + kDeadlineMs;

    std::array<QString, LanLink::kMaxLocalAddresses> local;
    const int count = LanLink(m_app).GetLocalAddresses(local);
    const QStringList targets = broadcastTargets(QStringList(local.begin(), local.begin() + count));

    const QByteArrayView request(kRequest, sizeof kRequest - 1);
    int accepted = 0;
    DatagramSocketFactory* sockets = m_app.services.datagrams;
    for (const QString& target : targets) {
        std::unique_ptr<DatagramSocket> socket = sockets ? sockets->create() : nullptr;
        if (!socket || !socket->bind(m_localPort)) {
            // Nothing can be sent or heard on this network without a socket.
            prompts.message(QStringLiteral("Create() failed"));
            continue;
        }
        if (socket->sendTo(request, target, m_remotePort) != request.size())
            prompts.message(QStringLiteral("SendTo() sent a different number of bytes than expected"));
        m_app.services.waiter->pause(kPauseAfterSendMs);

        for (;;) {
            while (socket->hasDatagram()) {
                const QByteArray datagram = socket->receive(kReceiveBuffer);
                if (const std::optional<IPSearch> reply = parseReply(datagram)) {
                    ++accepted;
                    found(*reply);
                }
            }
            if (clock.nowMs() >= deadline || !socket->waitForDatagram(deadline))
                break;
        }
    }
    return accepted;
}

} // namespace ordalis
