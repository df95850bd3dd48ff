#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace ordalis {

class CTavrinApp;
struct IPixy;

// The LAN side of the display link. Stateless: the connections live in the records of the
// application's DisplayList. Record numbers are 1-100 (the Monitor ID in the per-display
// kind); with one connection every number names the single record.
class LanLink
{
public:
    static constexpr std::uint16_t kWifiModulePort = 8899; // "Lan Type" 1
    static constexpr std::int64_t kPauseAfterConnectMs = 100;
    static constexpr std::int64_t kPauseAfterSendMs = 100;
    static constexpr std::int64_t kReplyTimeoutBaseMs = 2000;
    static constexpr std::int64_t kPerMonitorIdMs = 30;
    static constexpr std::size_t kMaxReceive = 32;
    static constexpr int kMaxRecordNumber = 100;
    static constexpr std::size_t kMaxLocalAddresses = 10;

    explicit LanLink(CTavrinApp& app) : m_app(app) { }

    // The record a number names, or null.
    IPixy* record(int number) const;
    std::uint16_t port() const;

    // 0: every record (each connected flag then waits for the connect outcome).
    void ConnectDisplaySocket(int number);
    void CloseDisplaySocket(int number);
    // Resets the ring and discards what has arrived on the connection.
    void DrainDisplaySocket(int number);
    // Only on a usable connection; waits 100 ms after the send. The send's own result is not
    // looked at: a frame that did not leave shows up as a missing reply.
    bool SendToDisplay(int number, std::span<const std::uint8_t> bytes);
    // Collects exactly destination.size() bytes (at most 32) straight from the connection
    // before 2000 ms + 30 ms x LastTargetId (clamped to 100) from now.
    bool ReceiveFromDisplay(int number, std::span<std::uint8_t> destination);

    // The console's view of a connection's receive ring.
    bool hasUnreadBytes(int number) const;
    std::vector<std::uint8_t> takeBytes(int number, int count);

    // At most ten IPv4 addresses of this computer; returns their number.
    std::uint8_t GetLocalAddresses(std::array<QString, kMaxLocalAddresses>& addresses) const;

    static bool IsValidIpAddress(const QString& text);
    static bool IsValidMacAddress(const QString& text);

private:
    void connectRecord(IPixy& record, bool single);

    CTavrinApp& m_app;
};

} // namespace ordalis
