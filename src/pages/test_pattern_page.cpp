#include "pages/test_pattern_page.h"

namespace ordalis {

CPAGE6::CPAGE6(UiContext& ui, QWidget* parent) : CPageFrame(ui, PageNumber::TestPattern, parent)
{
}

} // namespace ordalis
