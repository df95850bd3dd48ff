#include "pages/colour_page.h"

namespace ordalis {

CPAGE2::CPAGE2(UiContext& ui, QWidget* parent) : CPageFrame(ui, PageNumber::Colour, parent)
{
}

} // namespace ordalis
