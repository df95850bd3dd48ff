#pragma once

#include <QFont>

namespace ordalis {

// Maps "Arial" to Liberation Sans (same metrics) where Arial is not installed. Safe to call
// more than once; start-up calls it before the first window is made.
void InstallFontSubstitutes();

// Bold or regular Arial whose line (ascent plus descent) is at most lineHeight pixels: the
// largest pixel size that fits. Text positioned by its top and centred in a box of that
// height then sits where the drawings expect it. lineHeight must be above 0.
QFont arialFont(int lineHeight, bool bold);

} // namespace ordalis
