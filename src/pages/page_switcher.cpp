#include "pages/page_switcher.h"

#include "link/serial_link.h"
#include "pages/home_page.h"

namespace ordalis {

PageSwitcher::PageSwitcher(CPAGE1& home, Factory factory) : m_home(home), m_factory(std::move(factory))
{
}

CPageFrame* PageSwitcher::page(PageNumber number) const
{
    const auto it = m_slots.find(static_cast<int>(number));
    return it == m_slots.end() ? nullptr : it->second.data();
}

CPageFrame* PageSwitcher::windowOf(int number, bool create)
{
    if (number == static_cast<int>(PageNumber::Home))
        return &m_home;
    const PageInfo* info = pageInfo(number);
    if (!info)
        return nullptr;
    if (CPageFrame* existing = page(info->number))
        return existing;
    if (!create)
        return nullptr;
    CPageFrame* made = m_factory ? m_factory(m_home.ui(), info->number, &m_home) : nullptr;
    if (!made)
        return nullptr;
    made->hide();
    QObject::connect(
        made, &CPageFrame::pageRequested, &m_home, &CPAGE1::handlePageRequest, Qt::QueuedConnection);
    m_slots[number] = made;
    return made;
}

void PageSwitcher::takeDown(int number)
{
    const auto it = m_slots.find(number);
    if (it == m_slots.end())
        return;
    if (CPageFrame* page = it->second.data()) {
        page->hide();
        // Deleted once control is back in the event loop that runs the request, so a
        // handler of the page still on the stack under a nested loop is never cut off.
        page->deleteLater();
    }
    m_slots.erase(it);
}

void PageSwitcher::SwitchPage(int from, int to)
{
    SerialLink(m_home.app()).close();

    // A request from a page that is gone (taken down by an earlier request) is stale:
    // making that page only to take it down again would leave two pages stacked.
    CPageFrame* fromWindow = windowOf(from, false);
    CPageFrame* toWindow = fromWindow ? windowOf(to, true) : nullptr;
    if (!fromWindow || !toWindow || fromWindow == toWindow)
        return;

    const QRect area = m_home.rect();
    if (fromWindow != &m_home)
        takeDown(from);
    m_home.setCovered(toWindow != &m_home);
    if (toWindow != &m_home) {
        toWindow->setGeometry(area);
        toWindow->raise();
        toWindow->show();
        toWindow->setFocus();
    }
}

void PageSwitcher::FollowPage(int number)
{
    if (CPageFrame* shown = pageInfo(number) ? page(pageInfo(number)->number) : nullptr) {
        // The pages lie inside the home page's window: keep the page over its client area.
        if (shown->geometry() != m_home.rect())
            shown->setGeometry(m_home.rect());
    }
}

void PageSwitcher::closeAll()
{
    while (!m_slots.empty())
        takeDown(m_slots.begin()->first);
}

} // namespace ordalis
