#include "pages/page_factory.h"

#include "pages/backup_page.h"
#include "pages/colour_page.h"
#include "pages/remote_control_page.h"
#include "pages/rs232_command_page.h"
#include "pages/test_pattern_page.h"
#include "pages/wall_adjustment_page.h"

namespace ordalis {

CPageFrame* createPage(UiContext& ui, PageNumber number, QWidget* parent)
{
    CPageFrame* page = nullptr;
    switch (number) {
    case PageNumber::Colour:
        page = new CPAGE2(ui, parent);
        break;
    case PageNumber::WallAdjustment:
        page = new CPAGE3(ui, parent);
        break;
    case PageNumber::RemoteControl:
        page = new CPAGE4(ui, parent);
        break;
    case PageNumber::Rs232Command:
        page = new CPAGE5(ui, parent);
        break;
    case PageNumber::TestPattern:
        page = new CPAGE6(ui, parent);
        break;
    case PageNumber::BackUp:
        page = new CPAGE7(ui, parent);
        break;
    case PageNumber::Home:
        break;
    }
    if (page)
        page->hide();
    return page;
}

} // namespace ordalis
