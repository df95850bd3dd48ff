#include "link/port_names.h"

#include <QDir>
#include <QFileInfo>

#include <array>

namespace ordalis {

namespace {

struct DeviceRange
{
    int first; // the first COM number of the range
    const char* prefix;
};

constexpr int kRangeLength = 32;
constexpr std::array<DeviceRange, 3> kDeviceRanges {{
    {1, "/dev/ttyS"},
    {33, "/dev/ttyUSB"},
    {65, "/dev/ttyACM"},
}};

} // namespace

QString comPortPath(int number, const QString& dataFolder)
{
#ifdef Q_OS_WIN
    Q_UNUSED(dataFolder);
    return QStringLiteral("\\\\.\\COM%1").arg(number);
#else
    if (!dataFolder.isEmpty()) {
        const QString link = QDir(dataFolder).filePath(QStringLiteral("ports/COM%1").arg(number));
        const QFileInfo info(link);
        if (info.exists() || info.isSymLink())
            return link;
    }
    for (const DeviceRange& range : kDeviceRanges) {
        if (number >= range.first && number < range.first + kRangeLength)
            return QString::fromLatin1(range.prefix) + QString::number(number - range.first);
    }
    return QString();
#endif
}

} // namespace ordalis
