#pragma once

#include "protocol/command_code.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace ordalis {

// The acceptance rules for what a display sends back, one per use. Each takes the frame exactly
// as collected (its expected length, or it is refused) and looks only at the bytes its rule names.

// Acknowledgement of a write on the serial link or through the one LAN connection (8 bytes):
// start byte, a Monitor ID of at most 100 and the reply kind. Code letters, value and end byte
// are not looked at. (A serial write to all displays takes any 8 bytes; that is the caller's rule.)
bool isWriteAcknowledgement(std::span<const std::uint8_t> reply);

// Acknowledgement of a write through a display's own LAN connection (8 bytes): start byte, end
// byte and the code letters that were sent.
bool isDisplayLanAcknowledgement(std::span<const std::uint8_t> reply, CommandCode sent);

// Reply to a read of one single-byte value (8 bytes): start byte, the Monitor ID that was read and
// the reply kind. The value is byte 6.
bool isSingleReadReply(std::span<const std::uint8_t> reply, std::uint8_t monitorId);

// One reply collected by a read from all displays (valueLength + 7 bytes): start byte, reply kind,
// the first code letter and the end byte after the value bytes.
bool isReadAllReply(std::span<const std::uint8_t> reply, CommandCode sent, std::size_t valueLength);

} // namespace ordalis
