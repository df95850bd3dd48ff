#include "pages/wall_adjustment_page.h"

namespace ordalis {

CPAGE3::CPAGE3(UiContext& ui, QWidget* parent) : CPageFrame(ui, PageNumber::WallAdjustment, parent)
{
}

} // namespace ordalis
