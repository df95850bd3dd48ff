#pragma once

#include <QColor>

namespace ordalis {

// The wall drawing's colours, which the connection pictures share so that the two agree.
inline constexpr QColor kDisplayColour(255, 192, 0);
inline constexpr QColor kChainColour(100, 192, 50);
inline constexpr QColor kLanColour(255, 0, 0);
inline constexpr QColor kPcColour(0, 176, 240);

} // namespace ordalis
