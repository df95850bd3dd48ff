#include "ordalis/init_instance.h"

#include "app/core_startup.h"
#include "app/ctavrin_app.h"
#include "link/serial_link.h"
#include "pages/home_page.h"
#include "platform/prompts.h"
#include "widgets/ui_context.h"

#include <QHostAddress>
#include <QUdpSocket>

namespace ordalis {

bool SocketsLibraryReady()
{
    // Binding a loopback socket to any free port makes the system create one; nothing is sent.
    QUdpSocket probe;
    return probe.bind(QHostAddress::LocalHost, 0);
}

bool InitInstance(CTavrinApp& app, QSettings& store, TimerService& timers, bool socketsReady)
{
    if (!socketsReady) {
        if (app.services.prompts)
            app.services.prompts->message(QStringLiteral("Sockets library failed to initialize."));
        return false;
    }

    InitCore(app, store);
    {
        UiContext ui {app, timers};
        CPAGE1 home(ui);
        home.exec();
    }

    SerialLink(app).close();
    ShutdownCore(app, store);
    return false;
}

} // namespace ordalis
