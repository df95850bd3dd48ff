#include "app/ctavrin_app.h"
#include "app/settings_store.h"
#include "ordalis/init_instance.h"
#include "platform/event_loop_waiter.h"
#include "platform/message_box_prompts.h"
#include "platform/network_host_addresses.h"
#include "platform/qt_datagram_socket.h"
#include "platform/qt_lan_connection.h"
#include "platform/qt_serial_port.h"
#include "platform/qt_timer_service.h"
#include "platform/steady_clock.h"
#include "widgets/artwork.h"
#include "widgets/fonts.h"

#include <QApplication>
#include <QSettings>

using namespace ordalis;

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Ordalis"));
    QApplication::setDesktopFileName(QStringLiteral("ordalis"));
    QApplication::setWindowIcon(artwork::applicationIcon());
    InstallFontSubstitutes();

    SteadyClock clock;
    EventLoopWaiter waiter(clock);
    MessageBoxPrompts prompts;
    QtSerialPortFactory serialPorts(waiter);
    QtLanConnectionFactory lanConnections(waiter);
    NetworkHostAddresses hostAddresses;
    QtDatagramSocketFactory datagrams(waiter);
    QtTimerService timers(waiter);

    CTavrinApp app(
        Services {&clock, &waiter, &prompts, &serialPorts, &lanConnections, &hostAddresses, &datagrams});
    QSettings store(QString::fromLatin1(kSettingsOrganization), QString::fromLatin1(kSettingsApplication));
    InitInstance(app, store, timers, SocketsLibraryReady());
    return 0;
}
