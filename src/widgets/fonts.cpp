#include "widgets/fonts.h"

#include <QFontMetrics>

namespace ordalis {

void InstallFontSubstitutes()
{
    static const bool installed = [] {
        QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
        return true;
    }();
    (void)installed;
}

QFont arialFont(int lineHeight, bool bold)
{
    InstallFontSubstitutes();
    QFont font(QStringLiteral("Arial"));
    font.setBold(bold);
    font.setStyleStrategy(QFont::PreferAntialias);
    // The line of a sans face is about 1.15 em: start just above that and walk down.
    int pixelSize = qMax(1, lineHeight);
    font.setPixelSize(pixelSize);
    while (pixelSize > 1 && QFontMetrics(font).height() > lineHeight) {
        --pixelSize;
        font.setPixelSize(pixelSize);
    }
    return font;
}

} // namespace ordalis
