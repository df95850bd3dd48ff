#pragma once

#include "app/wall_model.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <vector>

namespace ordalis {

class CTavrinApp;

// Finds the LAN modules of the local /24 networks without help from the modules: connects to
// the module port of every address at once, asks each module that accepts for the model name
// (MNA) of the first display behind it and keeps those that answer. The connections come from
// the LAN connection service; run() waits through the waiter, which delivers the connections'
// events meanwhile, and ends within kBudgetMs.
class TcpProbeSearch
{
public:
    static constexpr int kBudgetMs = 4500;
    static constexpr int kConnectLimitMs = 1500;
    static constexpr int kModelNameLength = 13;
    static constexpr int kHostsPerNetwork = 254;

    // The networks probed: "a.b.c." for each local address whose first three parts no earlier
    // one had.
    static QStringList networkPrefixes(const QStringList& localAddresses);

    // The model name in the first reply to an MNA read from all displays (the read frame echoed
    // before it is skipped), or a null text while the bytes do not yet hold a whole, valid reply.
    static QString modelNameFrom(const QByteArray& received);

    explicit TcpProbeSearch(CTavrinApp& app);
    ~TcpProbeSearch();

    // Every module that answered, network by network; first = model name, second = address.
    std::vector<IPSearch> run();

    // The port probed: the one the LAN link would use.
    std::uint16_t port() const;

    // The steps run() takes for one network, driven by the connections' events.
    // Connects to prefix + 1 … prefix + 254.
    void start(const QString& prefix);
    // Gives up the attempts that have not connected (the connect limit has passed).
    void dropUnconnected();
    // Every attempt has its outcome.
    bool finished() const;
    // The modules that answered, by address; closes every connection.
    std::vector<IPSearch> collect();

private:
    class Probe;

    void probeFinished();

    CTavrinApp& m_app;
    QString m_prefix;
    std::vector<std::unique_ptr<Probe>> m_probes;
    int m_open = 0;
};

} // namespace ordalis
