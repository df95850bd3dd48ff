#include "pages/rs232_command_page.h"

namespace ordalis {

CPAGE5::CPAGE5(UiContext& ui, QWidget* parent) : CPageFrame(ui, PageNumber::Rs232Command, parent)
{
}

} // namespace ordalis
