#pragma once

#include "app/wall_model.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <optional>

namespace ordalis {

class CTavrinApp;

// The wireless modules' own assistant search: one UDP request per local /24 network, sent to
// its broadcast address; each module answers "address,MAC,name". The sockets come from the
// datagram service.
class UdpDisplaySearch
{
public:
    static constexpr char kRequest[] = "HF-A11ASSISTHREAD";
    static constexpr std::uint16_t kPort = 48899;
    static constexpr std::int64_t kPauseAfterSendMs = 1000;
    static constexpr std::int64_t kDeadlineMs = 5000; // from the start of the whole search
    static constexpr int kReceiveBuffer = 255;
    static constexpr int kShortestReply = 25;

    // A reply's device name (first) and address (second); nothing when it is to be dropped.
    static std::optional<IPSearch> parseReply(QByteArrayView datagram);
    // "a.b.c.255" for each local address whose first three parts no earlier one had.
    static QStringList broadcastTargets(const QStringList& localAddresses);

    // The ports are those of the modules unless a caller moves them.
    explicit UdpDisplaySearch(
        CTavrinApp& app, std::uint16_t localPort = kPort, std::uint16_t remotePort = kPort);

    // Blocks until the deadline; reports each accepted reply in arrival order and returns their
    // number. Socket failures are shown as message boxes and the search goes on.
    int run(const std::function<void(const IPSearch&)>& found);

private:
    CTavrinApp& m_app;
    std::uint16_t m_localPort;
    std::uint16_t m_remotePort;
};

} // namespace ordalis
