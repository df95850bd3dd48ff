#pragma once

#include "platform/prompts.h"
#include "protocol/command_code.h"

#include <QString>

#include <cstdint>
#include <span>

namespace ordalis {

// What a frame is sent for: the serial line purges and pauses differently for each.
enum class FrameUse { Write, Read, Raw };

// How a write to all displays (Monitor ID 0) is made and confirmed on a link.
enum class WriteToAll {
    AwaitAnyReply, // the chain's first answer, whatever it holds
    Unacknowledged, // sent once; nobody answers
    EachDisplay, // sent to every display's own connection; nobody answers
    Addressed, // not a write to all here: it names a display like any other
};

// Whether a link can carry a frame now; a refusal may come with the text to report.
struct Readiness
{
    bool ready = false;
    QString text; // empty: refused without a word
    PromptIcon icon = PromptIcon::Stop;
};

// One kind of link under the command exchange: how it gets ready, sends, receives and words its
// failures. display is a Monitor ID or record number; the chain links ignore it.
class ExchangeBackend
{
public:
    virtual ~ExchangeBackend() = default;

    virtual Readiness prepare(std::uint8_t monitorId, int openMode) = 0;
    // False when the frame did not leave.
    virtual bool send(int display, std::span<const std::uint8_t> frame, FrameUse use) = 0;
    // Exactly bytes.size() bytes before the link's reply deadline.
    virtual bool receive(int display, std::span<std::uint8_t> bytes) = 0;

    virtual WriteToAll writeToAll(CommandCode code) const = 0;
    // The displays answer a read from all each on its own connection (none hears the others).
    virtual bool repliesPerDisplay() const { return false; }
    // The chain may put our own frame back on the line before the answer.
    virtual bool chained() const { return true; }

    // Failure texts. An empty text fails without one (the serial line closes the port instead).
    virtual QString sendFailure(int display, FrameUse use) const = 0;
    virtual QString missingAcknowledgement(int display) const = 0;
    virtual QString wrongAcknowledgement(int display) const = 0;
    virtual QString readFailure() const = 0;
    // An acknowledgement never came.
    virtual void acknowledgementMissed(int /*display*/) { }
};

} // namespace ordalis
