#pragma once

namespace ordalis {

class CTavrinApp;

// Keeps the LAN connections of the DisplayList alive: creates missing ones and rebuilds those
// that an exchange marked (status 255), that never completed their connect, or whose connect
// failed. The GUI timer runs LanWatchdog every second; one keeper serves that timer, because
// its busy mark must outlive a single run.
class ConnectionKeeper
{
public:
    explicit ConnectionKeeper(CTavrinApp& app) : m_app(app) { }

    void LanWatchdog();
    bool busy() const { return m_busy; }

private:
    CTavrinApp& m_app;
    bool m_busy = false;
};

} // namespace ordalis
