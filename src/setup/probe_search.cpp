#include "setup/probe_search.h"

#include "app/ctavrin_app.h"
#include "link/lan_link.h"
#include "protocol/command_frame.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QHostAddress>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <memory>

namespace ordalis {

namespace {

constexpr CommandCode kMna("MNA");
// Read from all: the display nearest the module answers first, whatever its Monitor ID.
constexpr std::uint8_t kAllDisplays = 0;

struct Probe
{
    int host = 0;
    std::unique_ptr<QTcpSocket> socket;
    QByteArray received;
    QString name;
    bool finished = false;
};

} // namespace

QStringList TcpProbeSearch::networkPrefixes(const QStringList& localAddresses)
{
    QStringList prefixes;
    for (const QString& address : localAddresses) {
        if (!LanLink::IsValidIpAddress(address))
            continue;
        const QString prefix = address.left(address.lastIndexOf(QLatin1Char('.')) + 1);
        if (!prefixes.contains(prefix))
            prefixes.append(prefix);
    }
    return prefixes;
}

QString TcpProbeSearch::modelNameFrom(const QByteArray& received)
{
    QByteArrayView bytes(received);
    const std::optional<ReadFrame> request = makeReadFrame(kAllDisplays, kMna);
    const QByteArrayView echo(reinterpret_cast<const char*>(request->data()), qsizetype(request->size()));
    if (bytes.startsWith(echo))
        bytes = bytes.sliced(echo.size());
    const qsizetype size = qsizetype(frame::replySize(kModelNameLength));
    if (bytes.size() < size)
        return QString();
    const auto at = [&](std::size_t i) { return static_cast<std::uint8_t>(bytes[qsizetype(i)]); };
    if (at(0) != frame::kStart || at(frame::kMonitorIdOffset) == 0
        || at(frame::kMonitorIdOffset) > frame::kMaxMonitorId
        || at(frame::kKindOffset) != static_cast<std::uint8_t>(FrameKind::Reply) || at(3) != kMna.letter(0)
        || at(4) != kMna.letter(1) || at(5) != kMna.letter(2) || at(std::size_t(size) - 1) != frame::kEnd)
        return QString();
    // Like the status table: the text ends before the first control character or space.
    QString name = QStringLiteral("");
    for (int i = 0; i < kModelNameLength && at(frame::kValueOffset + std::size_t(i)) > 32; ++i)
        name.append(QChar(at(frame::kValueOffset + std::size_t(i))));
    return name;
}

std::uint16_t TcpProbeSearch::port() const
{
    return LanLink(m_app).port();
}

std::vector<IPSearch> TcpProbeSearch::run()
{
    const QDeadlineTimer budget(kBudgetMs);
    std::array<QString, LanLink::kMaxLocalAddresses> local;
    const int count = LanLink(m_app).GetLocalAddresses(local);
    const QStringList prefixes = networkPrefixes(QStringList(local.begin(), local.begin() + count));

    std::vector<IPSearch> found;
    for (qsizetype i = 0; i < prefixes.size(); ++i) {
        // Each network gets an equal share of what is left.
        const int window = int(budget.remainingTime() / (prefixes.size() - i));
        std::vector<IPSearch> more = probeNetwork(prefixes[i], window);
        found.insert(found.end(), more.begin(), more.end());
    }
    return found;
}

std::vector<IPSearch> TcpProbeSearch::probeNetwork(const QString& prefix, int windowMs)
{
    const std::optional<ReadFrame> request = makeReadFrame(kAllDisplays, kMna);
    const QByteArray requestBytes(reinterpret_cast<const char*>(request->data()), qsizetype(request->size()));
    const std::uint16_t modulePort = port();

    QEventLoop loop;
    int open = 0;
    std::vector<Probe> probes(254);
    const auto finish = [&](Probe& probe) {
        if (probe.finished)
            return;
        probe.finished = true;
        probe.socket->abort();
        if (--open == 0)
            loop.quit();
    };

    for (int host = 1; host <= 254; ++host) {
        Probe& probe = probes[std::size_t(host - 1)];
        probe.host = host;
        probe.socket = std::make_unique<QTcpSocket>();
        QTcpSocket* socket = probe.socket.get();
        QObject::connect(socket, &QTcpSocket::connected, socket, [socket, requestBytes] {
            socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
            socket->write(requestBytes);
        });
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [&probe, &finish] {
            probe.received.append(probe.socket->readAll());
            probe.name = modelNameFrom(probe.received);
            if (!probe.name.isNull() || probe.received.size() > 64)
                finish(probe);
        });
        QObject::connect(socket, &QTcpSocket::errorOccurred, socket, [&probe, &finish] { finish(probe); });
        ++open;
        socket->connectToHost(QHostAddress(prefix + QString::number(host)), modulePort);
    }

    // Attempts that have not connected by the connect limit are given up; those that did
    // keep the rest of the window for their answer.
    const int connectLimit = std::min(kConnectLimitMs, windowMs / 2);
    QTimer connectTimer;
    connectTimer.setSingleShot(true);
    QObject::connect(&connectTimer, &QTimer::timeout, [&] {
        for (Probe& probe : probes) {
            if (probe.socket->state() != QAbstractSocket::ConnectedState)
                finish(probe);
        }
    });
    QTimer windowTimer;
    windowTimer.setSingleShot(true);
    QObject::connect(&windowTimer, &QTimer::timeout, &loop, &QEventLoop::quit);
    connectTimer.start(std::max(connectLimit, 0));
    windowTimer.start(std::max(windowMs, 0));
    if (open > 0)
        loop.exec(QEventLoop::ExcludeUserInputEvents);

    std::vector<IPSearch> found;
    for (Probe& probe : probes) {
        if (!probe.name.isNull())
            found.push_back({probe.name, prefix + QString::number(probe.host)});
        probe.socket->disconnect();
        probe.socket->abort();
    }
    return found;
}

} // namespace ordalis
