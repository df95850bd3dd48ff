#pragma once

#include "app/wall_model.h"

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

namespace ordalis::artwork {

// Every picture of the program, drawn in code: no image files ship with it. Each call
// draws a fresh picture; backgrounds are transparent unless said otherwise.

inline constexpr QSize kMakerLogoSize {176, 32};
inline constexpr QSize kAboutLogoSize {108, 40};
inline constexpr QSize kPanelItemSize {168, 50};
inline constexpr QSize kStepArrowSize {30, 24};
// The wizard's connection pictures: one chain of boxes and labelled links in one strip.
inline constexpr QSize kConnectionDiagramSize {300, 60};
inline constexpr QSize kAppIconSize {64, 64};

// Navigation panel items, by their position in the panel (1 at the top).
enum class PanelItem : int {
    VideoWallSetup = 1,
    VideoWallAdjustment = 2,
    ColorAdjustment = 3,
    RemoteControl = 4,
    Rs232Command = 5,
    TestPattern = 6,
    BackUp = 7,
};
inline constexpr int kPanelItemCount = 7;

enum class StepDirection : int {
    Decrease, // points left: the button left of a value
    Increase, // points right: the button right of a value
};

// The label drawn inside a panel item.
QString panelLabel(PanelItem item);

// The maker's logo above the navigation panel: a mark and the word "Ordalis".
QPixmap makerLogo();
// The about box's logo: the same mark and word, sized for the box.
QPixmap aboutLogo();
// A panel item: light grey label on a pale button, or, for the page being shown, a green
// label with a small arrow and a green border. Opaque.
QPixmap panelItem(PanelItem item, bool current);
// A step button's arrow: blue when the setting can be changed, grey when it cannot.
QPixmap stepArrow(StepDirection direction, bool available);
// How the PC reaches the displays for a connection kind (PC, links with their names,
// Display 1, Display 2 ... Display N; or a hub with a LAN link to each display).
QPixmap connectionDiagram(ConnectionKind kind);
// The application icon at kAppIconSize (the same drawing as resources/ordalis.svg).
QPixmap applicationIconPixmap();
QIcon applicationIcon();

} // namespace ordalis::artwork
