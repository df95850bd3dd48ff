#include "setup/auto_setup_steps.h"

#include "app/ctavrin_app.h"
#include "link/command_exchange.h"
#include "platform/clock.h"
#include "protocol/value_names.h"

namespace ordalis {

namespace {

constexpr CommandCode kCid("CID");
constexpr CommandCode kMat("MAT");
constexpr CommandCode kVau("VAU");
constexpr CommandCode kDiv("DIV");
constexpr CommandCode kVwf("VWF");
constexpr CommandCode kVws("VWS");
constexpr CommandCode kPow("POW");

constexpr std::uint8_t kAllDisplays = 0;

bool sortOnly(const CTavrinApp& app)
{
    return app.PendingPowerAction == AutoSetupSteps::kSortOnly;
}

std::uint8_t matrixValue(const CTavrinApp& app)
{
    return static_cast<std::uint8_t>(app.WallColumns * 16 + app.WallRows);
}

void settleLan(CTavrinApp& app)
{
    app.services.clock->sleepMs(AutoSetupSteps::kLanSettleMs);
}

} // namespace

void AutoSetupSteps::chainStep(StepContext& context)
{
    CTavrinApp& app = context.app;
    CommandExchange exchange(app);
    switch (context.step) {
    case 0:
        if (app.ConnectionKind != static_cast<std::uint8_t>(ConnectionKind::Serial))
            settleLan(app);
        context.ok = exchange.WriteValue(kAllDisplays, kCid, 1);
        break;
    case 2:
        if (sortOnly(app))
            context.step = 8; // the next tick runs the read-back's empty step 9
        else
            context.ok = exchange.WriteValue(kAllDisplays, kMat, matrixValue(app));
        break;
    case 3: {
        const int model = app.settings.DisplayModel.current;
        if (app.FirstDisplayAtBottom == 1)
            context.ok = exchange.WriteValue(kAllDisplays, kVau, kFromBottom);
        else if (model == 0 || model == 1)
            context.ok = exchange.WriteValue(kAllDisplays, kVau, kFromTop);
        else
            context.ok = exchange.WriteValue(kAllDisplays, kDiv, kArrangeDivision);
        break;
    }
    case 6:
        context.ok = exchange.WriteValue(kAllDisplays, kVwf, 1);
        break;
    case 8:
        context.ok = exchange.WriteValue(kAllDisplays, kVws, 1);
        break;
    case 10: {
        const CommandCode check = IsExtendedProject(app.settings.ProjectId.current) ? kVws : kPow;
        const int displays = app.WallColumns * app.WallRows;
        for (int n = 1; n <= displays && context.ok; ++n) {
            std::uint8_t value = 0;
            context.ok = exchange.ReadValue(static_cast<std::uint8_t>(n), check, value);
        }
        break;
    }
    default:
        break;
    }
}

void AutoSetupSteps::perDisplayStep(StepContext& context)
{
    CTavrinApp& app = context.app;
    const std::uint8_t display = static_cast<std::uint8_t>(context.step + 1);
    if (context.step == 0)
        settleLan(app);

    CommandExchange exchange(app);
    context.ok = exchange.WriteThroughDisplay(display, kCid, display);
    context.box.advanceBar();
    if (sortOnly(app)) {
        for (int i = 0; i < 3; ++i)
            context.box.advanceBar();
    } else {
        // The box ends at the first write that fails, so none after it is sent.
        context.ok = context.ok && exchange.WriteValue(display, kMat, matrixValue(app));
        context.box.advanceBar();
        context.ok = context.ok && exchange.WriteValue(display, kDiv, kArrangeDivision);
        context.box.advanceBar();
        context.ok = context.ok && exchange.WriteValue(display, kVwf, 1);
        context.box.advanceBar();
        context.ok = context.ok && exchange.WriteValue(display, kVws, 1);
    }
    if (display >= app.WallColumns * app.WallRows)
        context.step = kEndAfterThisTick;
}

void AutoSetupSteps::install(TimedStepTable& table)
{
    table.chain.work = &chainStep;
    table.perDisplay.work = &perDisplayStep;
}

TimedStepTable AutoSetupSteps::table()
{
    TimedStepTable steps;
    install(steps);
    return steps;
}

const TimedOperation& AutoSetupSteps::operationFor(const TimedStepTable& table, const CTavrinApp& app)
{
    const int action = app.PendingPowerAction;
    if (action != kFullAutoSetup && action != kSortOnly)
        return table.power;
    return app.ConnectionKind == static_cast<std::uint8_t>(ConnectionKind::LanEach) ? table.perDisplay
                                                                                    : table.chain;
}

QString AutoSetupSteps::outcomeText(bool sortOnly, bool succeeded)
{
    if (sortOnly) {
        return succeeded
            ? QStringLiteral("Monitor ID Auto Sort Finished!")
            : QStringLiteral("Monitor ID Auto Sort Failure! Please make sure the RS232 daisy chain "
                             "is connected correctly and all displays are in power on status.");
    }
    return succeeded
        ? QStringLiteral("Auto Setup Finished!")
        : QStringLiteral("Auto Setup Failure! Please make sure all cables are connected correctly "
                         "and all displays are in power on status.");
}

} // namespace ordalis
