#pragma once

#include "protocol/command_code.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <span>

namespace ordalis {

class CTavrinApp;
enum class PromptIcon;

// Sends a command frame over the link that ConnectionKind selects and waits for its
// acknowledgement or reply. Stateless: LastErrorText, LastTargetId and ShowErrorBoxes are the
// application's. Every operation blocks until its reply deadline at most.
class CommandExchange
{
public:
    static constexpr std::uint8_t kReadAllFailed = 255;
    static constexpr std::int64_t kPauseAfterSerialWriteMs = 10;
    static constexpr std::int64_t kPauseAfterRawSendMs = 50;
    static constexpr std::int64_t kPauseInsteadOfBoxMs = 100;
    static constexpr std::int64_t kPauseBetweenAttemptsMs = 100;

    explicit CommandExchange(CTavrinApp& app) : m_app(app) { }

    // The link can carry a frame for this Monitor ID; opens the serial port when needed.
    bool EnsureLinkReady(std::uint8_t monitorId, int openMode);

    // target: bit 7 or 0 = all displays, 1-100 = that Monitor ID.
    bool WriteValue(std::uint8_t target, CommandCode code, std::uint8_t value);
    // target: 1-100 that Monitor ID, otherwise Monitor ID 1.
    bool ReadValue(std::uint8_t target, CommandCode code, std::uint8_t& value);
    // Reads code from all displays: reply i gives ids[i] and values[i*n .. i*n+n-1]. Returns the
    // number of replies collected (never more than the arrays hold), or 255 when the link is
    // not usable.
    std::uint8_t ReadAllDisplays(CommandCode code, std::span<std::uint8_t> ids,
        std::span<std::uint8_t> values, int maxCount, int valueLength);
    // One LAN connection per display: writes the frame (Monitor ID 0, code, value) over display
    // number's own connection, acknowledged by that display as any write to it is. The auto
    // setup numbers the displays this way, each through its own module.
    bool WriteThroughDisplay(int number, CommandCode code, std::uint8_t value);
    // WriteValue with message boxes off, tried up to attempts times (at least once).
    bool WriteValueRetry(std::uint8_t target, CommandCode code, std::uint8_t value, int attempts);
    // Sends an operator's frame as it is, waiting for nothing; byte 1 names the Monitor ID.
    bool SendRaw(std::span<const std::uint8_t> bytes);

private:
    using Reader = std::function<bool(std::span<std::uint8_t>)>;

    bool fail(const QString& text, PromptIcon icon);
    bool failNotAck(const QString& address);
    bool writeSerial(
        std::uint8_t id, CommandCode code, std::uint8_t value, std::span<const std::uint8_t> frame);
    bool writeSingleLan(std::uint8_t id, std::span<const std::uint8_t> frame);
    bool writeEachLan(
        std::uint8_t target, std::uint8_t id, CommandCode code, std::span<const std::uint8_t> frame);
    bool writeToRecord(int number, CommandCode code, std::span<const std::uint8_t> frame);
    bool readReply(const Reader& read, std::uint8_t id, std::uint8_t& value);
    int collectReplies(const Reader& read, CommandCode code, std::span<std::uint8_t> ids,
        std::span<std::uint8_t> values, int limit, int valueLength);
    QString firstRecordAddress() const;

    CTavrinApp& m_app;
};

} // namespace ordalis
