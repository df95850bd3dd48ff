#include "widgets/fonts.h"

#include <QFontInfo>
#include <QFontMetrics>

#include <gtest/gtest.h>

namespace ordalis {
namespace {

TEST(Fonts, ArialResolvesToArialOrItsSubstitute)
{
    InstallFontSubstitutes();
    const QFontInfo info(QFont(QStringLiteral("Arial")));
    EXPECT_TRUE(info.family() == QLatin1String("Arial") || info.family() == QLatin1String("Liberation Sans"))
        << info.family().toStdString();
}

// The font's line is the largest that fits: one pixel larger would no longer fit.
TEST(Fonts, LineHeightIsTheLargestThatFits)
{
    for (int line : {8, 12, 18, 20, 26, 30}) {
        for (bool bold : {false, true}) {
            const QFont font = arialFont(line, bold);
            EXPECT_EQ(font.bold(), bold);
            EXPECT_LE(QFontMetrics(font).height(), line) << line;
            QFont larger = font;
            larger.setPixelSize(font.pixelSize() + 1);
            EXPECT_GT(QFontMetrics(larger).height(), line) << line;
            EXPECT_GE(QFontMetrics(font).height(), line - 2) << line;
        }
    }
}

} // namespace
} // namespace ordalis
