#pragma once

#include "pages/page_table.h"

#include <QPointer>

#include <functional>
#include <map>

class QWidget;

namespace ordalis {

class CPAGE1;
class CPageFrame;
struct UiContext;

// The home page's page switcher: one slot per page other than the home page, filled when
// the page is made and emptied when it is taken down, so each page exists at most once.
class PageSwitcher
{
public:
    // Makes a page other than the home page, still hidden; nullptr when it cannot.
    using Factory = std::function<CPageFrame*(UiContext&, PageNumber, QWidget* parent)>;

    PageSwitcher(CPAGE1& home, Factory factory);

    // Releases the serial port and shows page to where page from was; from is taken down
    // unless it is the home page. Nothing changes when either page cannot be had.
    void SwitchPage(int from, int to);

    // Keeps the home page under a page that moved.
    void FollowPage(int page);

    // Takes down every page held in a slot.
    void closeAll();

    // The page held in its slot, or nullptr.
    CPageFrame* page(PageNumber number) const;

private:
    CPageFrame* windowOf(int number, bool create);
    void takeDown(int number);

    CPAGE1& m_home;
    Factory m_factory;
    std::map<int, QPointer<CPageFrame>> m_slots;
};

} // namespace ordalis
