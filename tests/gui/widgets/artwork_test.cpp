#include "tests/support/case_name.h"
#include "widgets/artwork.h"

#include <QDir>
#include <QImage>

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>

namespace ordalis::artwork {
namespace {

struct PictureCase
{
    std::string name;
    std::function<QPixmap()> make;
    QSize size;
};

std::vector<PictureCase> pictureCases()
{
    std::vector<PictureCase> cases {
        {"maker_logo", makerLogo, {176, 32}},
        {"about_logo", aboutLogo, {108, 40}},
        {"step_increase_available", [] { return stepArrow(StepDirection::Increase, true); }, {30, 24}},
        {"step_increase_unavailable", [] { return stepArrow(StepDirection::Increase, false); }, {30, 24}},
        {"step_decrease_available", [] { return stepArrow(StepDirection::Decrease, true); }, {30, 24}},
        {"step_decrease_unavailable", [] { return stepArrow(StepDirection::Decrease, false); }, {30, 24}},
        {"connection_serial", [] { return connectionDiagram(ConnectionKind::Serial); }, {300, 60}},
        {"connection_lan", [] { return connectionDiagram(ConnectionKind::Lan); }, {300, 60}},
        {"connection_lan_each", [] { return connectionDiagram(ConnectionKind::LanEach); }, {300, 60}},
        {"connection_wireless", [] { return connectionDiagram(ConnectionKind::Wireless); }, {300, 60}},
        {"app_icon", applicationIconPixmap, {64, 64}},
    };
    for (int position = 1; position <= 7; ++position) {
        const auto item = static_cast<PanelItem>(position);
        for (bool current : {false, true}) {
            cases.push_back({"panel_" + std::to_string(position) + (current ? "_current" : "_normal"),
                [item, current] { return panelItem(item, current); }, {168, 50}});
        }
    }
    return cases;
}

// Distinct colours of the opaque pixels: 0 for a fully transparent picture.
std::set<QRgb> opaqueColours(const QImage& image)
{
    std::set<QRgb> colours;
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
        for (int x = 0; x < argb.width(); ++x) {
            const QRgb pixel = argb.pixel(x, y);
            if (qAlpha(pixel) == 255)
                colours.insert(pixel);
        }
    }
    return colours;
}

class ArtworkTest : public ::testing::TestWithParam<PictureCase>
{
};

TEST_P(ArtworkTest, HasItsSizeAndIsNotBlank)
{
    const PictureCase& c = GetParam();
    const QImage image = c.make().toImage();
    EXPECT_EQ(image.size(), c.size) << c.name;
    EXPECT_GE(opaqueColours(image).size(), 2u) << c.name << " is blank";

    // Kept for a person to look at; not compared.
    const QString folder = QStringLiteral(ORDALIS_BINARY_DIR "/pictures/artwork");
    QDir().mkpath(folder);
    image.save(folder + QLatin1Char('/') + QString::fromStdString(c.name) + QStringLiteral(".png"));
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, ArtworkTest, ::testing::ValuesIn(pictureCases()), test::rowName<PictureCase>);

// Pictures that mean different things must look different: a copy-and-paste slip that
// hands out the same picture twice shows here.
TEST(ArtworkVariants, EachPictureOfAFamilyIsDistinct)
{
    const struct
    {
        const char* family;
        std::vector<QPixmap> pictures;
    } families[] = {
        {"step arrows",
            {stepArrow(StepDirection::Increase, true), stepArrow(StepDirection::Increase, false),
                stepArrow(StepDirection::Decrease, true), stepArrow(StepDirection::Decrease, false)}},
        {"connection pictures",
            {connectionDiagram(ConnectionKind::Serial), connectionDiagram(ConnectionKind::Lan),
                connectionDiagram(ConnectionKind::LanEach), connectionDiagram(ConnectionKind::Wireless)}},
        {"panel items normal",
            {panelItem(PanelItem::VideoWallSetup, false), panelItem(PanelItem::VideoWallAdjustment, false),
                panelItem(PanelItem::ColorAdjustment, false), panelItem(PanelItem::RemoteControl, false),
                panelItem(PanelItem::Rs232Command, false), panelItem(PanelItem::TestPattern, false),
                panelItem(PanelItem::BackUp, false)}},
        {"panel item looks",
            {panelItem(PanelItem::TestPattern, false), panelItem(PanelItem::TestPattern, true)}},
    };
    for (const auto& family : families) {
        for (std::size_t i = 0; i < family.pictures.size(); ++i) {
            for (std::size_t j = i + 1; j < family.pictures.size(); ++j)
                EXPECT_NE(family.pictures[i].toImage(), family.pictures[j].toImage())
                    << family.family << ": " << i << " and " << j;
        }
    }
}

TEST(ArtworkLabels, PanelItemsCarryTheirLabels)
{
    const struct
    {
        PanelItem item;
        const char* label;
    } items[] = {
        {PanelItem::VideoWallSetup, "Video Wall Setup"},
        {PanelItem::VideoWallAdjustment, "Video Wall Adjustment"},
        {PanelItem::ColorAdjustment, "Color Adjustment"},
        {PanelItem::RemoteControl, "Remote Control"},
        {PanelItem::Rs232Command, "RS232 Command"},
        {PanelItem::TestPattern, "Test Pattern"},
        {PanelItem::BackUp, "Back Up"},
    };
    for (const auto& entry : items)
        EXPECT_EQ(panelLabel(entry.item), QString::fromLatin1(entry.label));
}

TEST(ArtworkIcon, IconOffersSeveralSizes)
{
    const QIcon icon = applicationIcon();
    ASSERT_FALSE(icon.isNull());
    EXPECT_GE(icon.availableSizes().size(), 3);
    EXPECT_EQ(icon.pixmap(QSize(32, 32)).size(), QSize(32, 32));
}

} // namespace
} // namespace ordalis::artwork
