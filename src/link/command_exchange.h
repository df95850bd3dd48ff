#pragma once

#include "link/link_backends.h"
#include "protocol/command_code.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <span>

namespace ordalis {

class CTavrinApp;

// Sends a command frame over the link that ConnectionKind selects and waits for its
// acknowledgement or reply. Each operation has one body over the link's backend. Stateless:
// LastErrorText, LastTargetId and ShowErrorBoxes are the application's. Every operation waits
// until its reply deadline at most, through the application's waiter.
class CommandExchange
{
public:
    static constexpr std::int64_t kPauseInsteadOfBoxMs = 100;
    static constexpr std::int64_t kPauseBetweenAttemptsMs = 100;

    explicit CommandExchange(CTavrinApp& app);

    // The link can carry a frame for this Monitor ID; opens the serial port when needed.
    bool EnsureLinkReady(std::uint8_t monitorId, int openMode);

    // target: bit 7 or 0 = all displays, 1-100 = that Monitor ID.
    bool WriteValue(std::uint8_t target, CommandCode code, std::uint8_t value);
    // target: 1-100 that Monitor ID, otherwise Monitor ID 1.
    bool ReadValue(std::uint8_t target, CommandCode code, std::uint8_t& value);
    // Reads code from all displays: reply i gives ids[i] and values[i*n .. i*n+n-1]. The number
    // of replies collected (never more than the arrays hold), or nothing when the link is not
    // usable.
    std::optional<std::uint8_t> ReadAllDisplays(CommandCode code, std::span<std::uint8_t> ids,
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
    ExchangeBackend& backend();
    bool fail(const QString& text, PromptIcon icon = PromptIcon::Stop);
    bool failSend(int display, FrameUse use);
    bool writeToAll(CommandCode code, std::uint8_t value, std::span<const std::uint8_t> frame);
    bool acknowledged(int display, CommandCode code);
    bool readReply(int display, std::uint8_t id, std::uint8_t& value);
    int collectReplies(CommandCode code, std::span<std::uint8_t> ids, std::span<std::uint8_t> values,
        std::size_t limit, std::size_t valueLength);

    CTavrinApp& m_app;
    SerialBackend m_serial;
    SingleLanBackend m_singleLan;
    EachLanBackend m_eachLan;
};

} // namespace ordalis
