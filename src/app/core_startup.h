#pragma once

class QSettings;

namespace ordalis {

class CTavrinApp;

// Start values of the shared state: the console's command and byte field texts empty and
// its value byte 0, the ValueCache's start values, ShowErrorBoxes set, the IpTable empty.
void SetStartValues(CTavrinApp& app);

// The start-up without a window: builds the data folder (see BuildDataFolder), loads the
// settings from store, gives the shared state its start values, reads the IP settings file,
// builds the display list, clears IpFileDirty and WatchdogPaused, and sets "Project ID" to
// 24. The GUI start-up runs it after its sockets check and before the home page.
void InitCore(CTavrinApp& app, QSettings& store);

// The shutdown after the serial port is closed: writes the changed settings and, when the
// layout changed it, the IP settings file (SaveChangedSettings).
void ShutdownCore(CTavrinApp& app, QSettings& store);

} // namespace ordalis
