#include "setup/run_auto_setup.h"

#include "app/ctavrin_app.h"
#include "link/lan_link.h"
#include "platform/prompts.h"
#include "rules/auto_setup_steps.h"
#include "setup/auto_setup_dialog.h"
#include "setup/progress_box.h"
#include "widgets/ui_context.h"

namespace ordalis {

namespace {

// The first LAN address the wall relies on that is not a valid IPv4 address, or a null text.
QString firstInvalidAddress(const CTavrinApp& app)
{
    switch (static_cast<ConnectionKind>(app.ConnectionKind)) {
    case ConnectionKind::Lan:
    case ConnectionKind::Wireless: {
        const QString& address = app.settings.IpAddress.current;
        return LanLink::IsValidIpAddress(address) ? QString() : address;
    }
    case ConnectionKind::LanEach: {
        const std::size_t displays = std::size_t(app.WallColumns) * app.WallRows;
        for (std::size_t i = 0; i < displays; ++i) {
            // A display without a record has no address to reach it by.
            const QString address
                = i < app.DisplayList.size() ? app.DisplayList[i].address : QStringLiteral("");
            if (!LanLink::IsValidIpAddress(address))
                return address;
        }
        return QString();
    }
    case ConnectionKind::Serial:
        break;
    }
    return QString();
}

} // namespace

void RunAutoSetup(UiContext& ui, QWidget* parent)
{
    CTavrinApp& app = ui.app;
    bool onlySort = false;
    {
        CAutoSetup1Dlg choice(parent);
        if (choice.exec() != QDialog::Accepted)
            return;
        onlySort = choice.OnlySortIds;
    }
    app.PendingPowerAction = onlySort ? AutoSetupSteps::kSortOnly : AutoSetupSteps::kFullAutoSetup;

    Prompts& prompts = *app.services.prompts;
    const QString invalid = firstInvalidAddress(app);
    if (!invalid.isNull()) {
        prompts.message(QStringLiteral("IP Address (%1) is not valid.").arg(invalid), PromptIcon::Stop);
        return;
    }

    bool succeeded = false;
    {
        CProcessbox box(
            ui, AutoSetupSteps::operation(static_cast<ConnectionKind>(app.ConnectionKind), onlySort), parent);
        succeeded = box.run();
    }
    prompts.message(AutoSetupSteps::outcomeText(onlySort, succeeded),
        succeeded ? PromptIcon::Information : PromptIcon::Stop);
}

} // namespace ordalis
