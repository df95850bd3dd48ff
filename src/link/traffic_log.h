#pragma once

#include <QLoggingCategory>

#include <cstdint>
#include <span>

namespace ordalis {

// The link traffic: every frame sent and received in hex with the monotonic time, the deadlines
// waited and each exchange's outcome. Off by default; QT_LOGGING_RULES="ordalis.link.debug=true"
// (or a qtlogging.ini) switches it on, ordalis-cli --trace too.
Q_DECLARE_LOGGING_CATEGORY(lcLink)

// "07 05 02 42 52 4C 32 08"
QString hexText(std::span<const std::uint8_t> bytes);

} // namespace ordalis
