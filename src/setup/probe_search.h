#pragma once

#include "app/wall_model.h"

#include <QByteArray>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace ordalis {

class CTavrinApp;

// Finds the LAN modules of the local /24 networks without help from the modules: connects to
// the module port of every address at once, asks each module that accepts for the model name
// (MNA) of the first display behind it and keeps those that answer. Real sockets only; runs a local event
// loop that ignores the operator's input and ends within kBudgetMs.
class TcpProbeSearch
{
public:
    static constexpr int kBudgetMs = 4500;
    static constexpr int kConnectLimitMs = 1500;
    static constexpr int kModelNameLength = 13;

    // The networks probed: "a.b.c." for each local address whose first three parts no earlier
    // one had.
    static QStringList networkPrefixes(const QStringList& localAddresses);

    // The model name in the first reply to an MNA read from all displays (the read frame echoed
    // before it is skipped), or a null text while the bytes do not yet hold a whole, valid reply.
    static QString modelNameFrom(const QByteArray& received);

    explicit TcpProbeSearch(CTavrinApp& app) : m_app(app) { }

    // Every module that answered, by address; first = model name, second = address.
    std::vector<IPSearch> run();

    // The port probed: the one the LAN link would use.
    std::uint16_t port() const;

private:
    std::vector<IPSearch> probeNetwork(const QString& prefix, int windowMs);

    CTavrinApp& m_app;
};

} // namespace ordalis
