#include "link/connection_keeper.h"

#include "app/ctavrin_app.h"
#include "link/lan_link.h"

namespace ordalis {

namespace {

bool needsRebuild(const IPixy& record)
{
    const CClientSocket& socket = *record.connection;
    return record.status == IPixy::kRebuildConnection || socket.connectedFlag == 0
        || socket.state == CClientSocket::kStateFailed;
}

} // namespace

void ConnectionKeeper::LanWatchdog()
{
    // A box shown while connecting runs a nested event loop, which can run the timer again.
    if (m_app.WatchdogPaused || m_busy)
        return;
    m_busy = true;
    LanLink lan(m_app);
    // The list may change under a nested event loop: its length is read afresh every step.
    for (std::size_t i = 0; i < m_app.DisplayList.size(); ++i) {
        const int number = static_cast<int>(i) + 1;
        if (!m_app.DisplayList[i].connection) {
            lan.ConnectDisplaySocket(number);
            if (i >= m_app.DisplayList.size())
                break;
            m_app.DisplayList[i].status = 0;
        }
        // A connection that could not be created is tried again on the next run.
        if (m_app.DisplayList[i].connection && needsRebuild(m_app.DisplayList[i])) {
            lan.CloseDisplaySocket(number);
            lan.ConnectDisplaySocket(number);
            if (i >= m_app.DisplayList.size())
                break;
            m_app.DisplayList[i].status = 0;
        }
    }
    m_busy = false;
}

} // namespace ordalis
