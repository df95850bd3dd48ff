#include "pages/remote_control_page.h"

namespace ordalis {

CPAGE4::CPAGE4(UiContext& ui, QWidget* parent) : CPageFrame(ui, PageNumber::RemoteControl, parent)
{
}

} // namespace ordalis
