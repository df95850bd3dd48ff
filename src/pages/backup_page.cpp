#include "pages/backup_page.h"

namespace ordalis {

CPAGE7::CPAGE7(UiContext& ui, QWidget* parent) : CPageFrame(ui, PageNumber::BackUp, parent)
{
}

} // namespace ordalis
