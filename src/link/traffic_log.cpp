#include "link/traffic_log.h"

#include <QString>

namespace ordalis {

Q_LOGGING_CATEGORY(lcLink, "ordalis.link", QtInfoMsg)

QString hexText(std::span<const std::uint8_t> bytes)
{
    QString text;
    text.reserve(qsizetype(bytes.size() * 3));
    for (const std::uint8_t byte : bytes) {
        if (!text.isEmpty())
            text.append(QLatin1Char(' '));
        text.append(QString::number(byte, 16).rightJustified(2, QLatin1Char('0')).toUpper());
    }
    return text;
}

} // namespace ordalis
