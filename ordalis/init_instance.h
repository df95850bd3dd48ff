#pragma once

class QSettings;

namespace ordalis {

class CTavrinApp;
class TimerService;

// The sockets check of start-up: the system lets the program make a TCP/IP socket.
bool SocketsLibraryReady();

// The whole program on the services the application object holds: the sockets check (when
// socketsReady is false the message box is shown and nothing else runs), the settings and
// files of the core start-up from store, the home page run modally until the operator leaves,
// then the serial port closed and the changed settings written back. Always returns false,
// as the program then ends without a message loop of its own.
bool InitInstance(CTavrinApp& app, QSettings& store, TimerService& timers, bool socketsReady);

} // namespace ordalis
