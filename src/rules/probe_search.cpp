#include "rules/probe_search.h"

#include "app/ctavrin_app.h"
#include "link/lan_link.h"
#include "platform/clock.h"
#include "platform/lan_connection.h"
#include "platform/waiter.h"
#include "protocol/command_frame.h"

#include <algorithm>
#include <array>

namespace ordalis {

namespace {

constexpr CommandCode kMna("MNA");
// Read from all: the display nearest the module answers first, whatever its Monitor ID.
constexpr std::uint8_t kAllDisplays = 0;
// More than an echo and a reply: whatever talks on this port is not a module.
constexpr qsizetype kMostBytesKept = 64;

} // namespace

// One address: its connection, what came back, and whether its outcome is known.
class TcpProbeSearch::Probe final : public LanConnectionListener
{
public:
    Probe(TcpProbeSearch& search, int hostNumber) : m_search(search), host(hostNumber) { }

    void onConnected(int error) override
    {
        if (error != 0)
            finish();
        else
            connected = true;
    }
    void onWritable() override
    {
        const std::optional<ReadFrame> request = makeReadFrame(kAllDisplays, kMna);
        if (connection && connection->send(*request) < 0)
            finish();
    }
    void onReadable() override
    {
        std::array<std::uint8_t, 128> buffer {};
        std::int64_t got = 0;
        while (!finished && connection && (got = connection->read(buffer)) > 0) {
            received.append(reinterpret_cast<const char*>(buffer.data()), qsizetype(got));
            name = modelNameFrom(received);
            if (!name.isNull() || received.size() > kMostBytesKept)
                finish();
        }
    }
    void onOutOfBand() override { }
    void onClosed() override { finish(); }

    void finish()
    {
        if (finished)
            return;
        finished = true;
        if (connection)
            connection->close();
        m_search.probeFinished();
    }

    TcpProbeSearch& m_search;
    const int host;
    std::unique_ptr<LanConnection> connection;
    QByteArray received;
    QString name;
    bool connected = false;
    bool finished = false;
};

TcpProbeSearch::TcpProbeSearch(CTavrinApp& app) : m_app(app)
{
}

TcpProbeSearch::~TcpProbeSearch()
{
    collect();
}

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

void TcpProbeSearch::start(const QString& prefix)
{
    collect();
    m_prefix = prefix;
    LanConnectionFactory* factory = m_app.services.lanConnections;
    const std::uint16_t modulePort = port();
    for (int host = 1; host <= kHostsPerNetwork && factory; ++host) {
        auto probe = std::make_unique<Probe>(*this, host);
        probe->connection = factory->create();
        if (!probe->connection)
            continue;
        probe->connection->setListener(probe.get());
        ++m_open;
        Probe& started = *probe;
        m_probes.push_back(std::move(probe));
        started.connection->connectTo(prefix + QString::number(host), modulePort);
    }
}

void TcpProbeSearch::dropUnconnected()
{
    for (const std::unique_ptr<Probe>& probe : m_probes) {
        if (!probe->connected)
            probe->finish();
    }
}

bool TcpProbeSearch::finished() const
{
    return m_open == 0;
}

std::vector<IPSearch> TcpProbeSearch::collect()
{
    std::vector<IPSearch> found;
    for (const std::unique_ptr<Probe>& probe : m_probes) {
        if (!probe->name.isNull())
            found.push_back({probe->name, m_prefix + QString::number(probe->host)});
        probe->connection->setListener(nullptr);
        probe->connection->close();
    }
    m_probes.clear();
    m_open = 0;
    return found;
}

void TcpProbeSearch::probeFinished()
{
    --m_open;
}

std::vector<IPSearch> TcpProbeSearch::run()
{
    std::array<QString, LanLink::kMaxLocalAddresses> local;
    const int count = LanLink(m_app).GetLocalAddresses(local);
    const QStringList prefixes = networkPrefixes(QStringList(local.begin(), local.begin() + count));

    Waiter& waiter = *m_app.services.waiter;
    const std::int64_t budgetEnd = waiter.clock().nowMs() + kBudgetMs;
    std::vector<IPSearch> found;
    for (qsizetype i = 0; i < prefixes.size(); ++i) {
        // Each network gets an equal share of what is left.
        const std::int64_t now = waiter.clock().nowMs();
        const std::int64_t window = std::max<std::int64_t>(budgetEnd - now, 0) / (prefixes.size() - i);
        start(prefixes[i]);
        // Attempts that have not connected by the connect limit are given up; those that did
        // keep the rest of the window for their answer.
        const auto done = [this] { return finished(); };
        if (!waiter.waitUntil(now + std::clamp<std::int64_t>(window / 2, 0, kConnectLimitMs), done)) {
            dropUnconnected();
            waiter.waitUntil(now + window, done);
        }
        std::vector<IPSearch> more = collect();
        found.insert(found.end(), more.begin(), more.end());
    }
    return found;
}

} // namespace ordalis
