#pragma once

#include <QString>

namespace ordalis {

// The device path that "Com Port" N names. Windows: \\.\COMN. Elsewhere a link
// <dataFolder>/ports/COMN when one is there, else COM1-32 -> /dev/ttyS0-31,
// COM33-64 -> /dev/ttyUSB0-31, COM65-96 -> /dev/ttyACM0-31; no device for other numbers (empty).
QString comPortPath(int number, const QString& dataFolder);

} // namespace ordalis
