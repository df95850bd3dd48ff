#include "app/core_startup.h"

#include "app/ctavrin_app.h"
#include "app/data_folder.h"
#include "app/display_list.h"
#include "app/ip_settings.h"
#include "app/project_id.h"
#include "app/settings_store.h"

namespace ordalis {

void SetStartValues(CTavrinApp& app)
{
    app.console.commandText.clear();
    for (QString& text : app.console.byteTexts)
        text.clear();
    app.console.valueByte = 0;
    app.valueCache = ValueCache {};
    app.ShowErrorBoxes = true;
    for (QString& address : app.IpTable)
        address.clear();
}

void InitCore(CTavrinApp& app, QSettings& store)
{
    app.DataFolder = BuildDataFolder();
    LoadSettings(app, store);
    SetStartValues(app);
    LoadIpSettings(app);
    BuildDisplayList(app);
    app.IpFileDirty = false;
    app.WatchdogPaused = false;
    ResetProjectId(app);
}

void ShutdownCore(CTavrinApp& app, QSettings& store)
{
    SaveChangedSettings(app, store);
}

} // namespace ordalis
