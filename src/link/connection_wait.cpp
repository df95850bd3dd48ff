#include "link/connection_wait.h"

#include "app/ctavrin_app.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>

#include <algorithm>

namespace ordalis {

bool connectionsSettled(const CTavrinApp& app)
{
    return std::all_of(app.DisplayList.begin(), app.DisplayList.end(), [](const IPixy& record) {
        const CClientSocket* socket = record.connection.get();
        if (!socket)
            return true;
        switch (socket->state) {
        case CClientSocket::kStateWritable:
        case CClientSocket::kStateFailed:
            return true;
        case CClientSocket::kStateNew:
            return socket->connectedFlag == 0; // closed by the peer
        default:
            return false; // connected, writability not yet reported
        }
    });
}

bool waitForConnections(const CTavrinApp& app, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs, Qt::PreciseTimer);
    // The timer only wakes the loop at the deadline; every connection event wakes it too.
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    while (!connectionsSettled(app) && !deadline.hasExpired()) {
        wake.start(int(deadline.remainingTime()));
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return connectionsSettled(app);
}

} // namespace ordalis
