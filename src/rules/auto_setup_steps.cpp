#include "rules/auto_setup_steps.h"

#include "app/ctavrin_app.h"
#include "link/command_exchange.h"
#include "platform/waiter.h"
#include "protocol/value_names.h"

#include <array>

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
constexpr int kReadBackStep = 9; // where the auto sort goes on after the numbering

std::uint8_t matrixValue(const CTavrinApp& app)
{
    return static_cast<std::uint8_t>(app.WallColumns * 16 + app.WallRows);
}

StepResult tick(bool ok, int next = -1)
{
    return {kStepTickMs, ok ? StepPhase::Continue : StepPhase::Failed, next};
}

bool writeAll(TimedContext& context, CommandCode code, std::uint8_t value)
{
    return CommandExchange(context.app).WriteValue(kAllDisplays, code, value);
}

StepResult numberChain(TimedContext& context, int)
{
    CTavrinApp& app = context.app;
    if (app.ConnectionKind != static_cast<std::uint8_t>(ConnectionKind::Serial))
        app.services.waiter->pause(AutoSetupSteps::kLanSettleMs);
    return tick(writeAll(context, kCid, 1));
}

StepResult sendMatrix(TimedContext& context, int)
{
    return tick(writeAll(context, kMat, matrixValue(context.app)));
}

StepResult skipToReadBack(TimedContext&, int)
{
    return tick(true, kReadBackStep);
}

StepResult arrangeDivisions(TimedContext& context, int)
{
    const CTavrinApp& app = context.app;
    const int model = app.settings.DisplayModel.current;
    if (app.FirstDisplayAtBottom == 1)
        return tick(writeAll(context, kVau, AutoSetupSteps::kFromBottom));
    if (model == 0 || model == 1)
        return tick(writeAll(context, kVau, AutoSetupSteps::kFromTop));
    return tick(writeAll(context, kDiv, AutoSetupSteps::kArrangeDivision));
}

StepResult frameCompensationOn(TimedContext& context, int)
{
    return tick(writeAll(context, kVwf, 1));
}

StepResult videoWallOn(TimedContext& context, int)
{
    return tick(writeAll(context, kVws, 1));
}

// Every display must answer; the first that does not ends the check.
StepResult readBack(TimedContext& context, int)
{
    CTavrinApp& app = context.app;
    const CommandCode check = IsExtendedProject(app.settings.ProjectId.current) ? kVws : kPow;
    const int displays = app.WallColumns * app.WallRows;
    CommandExchange exchange(app);
    bool ok = true;
    for (int n = 1; n <= displays && ok; ++n) {
        std::uint8_t value = 0;
        ok = exchange.ReadValue(static_cast<std::uint8_t>(n), check, value);
    }
    return tick(ok);
}

StepResult finished(TimedContext&, int)
{
    return {kStepTickMs, StepPhase::Succeeded};
}

// One display per tick: step s numbers display s + 1 through its own connection and, in full,
// gives it the wall's matrix and division; the box ends at the first write that fails.
template<bool kSortOnly> StepResult setUpDisplay(TimedContext& context, int step)
{
    CTavrinApp& app = context.app;
    const std::uint8_t display = static_cast<std::uint8_t>(step + 1);
    if (step == 0)
        app.services.waiter->pause(AutoSetupSteps::kLanSettleMs);

    CommandExchange exchange(app);
    bool ok = exchange.WriteThroughDisplay(display, kCid, display);
    context.progress.advanceBar();
    if (kSortOnly) {
        for (int i = 0; i < 3; ++i)
            context.progress.advanceBar();
    } else {
        ok = ok && exchange.WriteValue(display, kMat, matrixValue(app));
        context.progress.advanceBar();
        ok = ok && exchange.WriteValue(display, kDiv, AutoSetupSteps::kArrangeDivision);
        context.progress.advanceBar();
        ok = ok && exchange.WriteValue(display, kVwf, 1);
        context.progress.advanceBar();
        ok = ok && exchange.WriteValue(display, kVws, 1);
    }
    if (!ok)
        return {kStepTickMs, StepPhase::Failed};
    return {
        kStepTickMs, display >= app.WallColumns * app.WallRows ? StepPhase::Succeeded : StepPhase::Continue};
}

// clang-format off
constexpr std::array<Step<TimedContext>, 11> kChainFullSteps {{
    {0, "CID", &numberChain},
    {1, "", nullptr},
    {2, "MAT", &sendMatrix},
    {3, "VAU/DIV", &arrangeDivisions},
    {4, "", nullptr},
    {6, "VWF", &frameCompensationOn},
    {7, "", nullptr},
    {8, "VWS", &videoWallOn},
    {9, "", nullptr},
    {10, "read back", &readBack},
    {11, "end", &finished},
}};
constexpr std::array<Step<TimedContext>, 6> kChainSortSteps {{
    {0, "CID", &numberChain},
    {1, "", nullptr},
    {2, "skip", &skipToReadBack},
    {3, "", nullptr},
    {10, "read back", &readBack},
    {11, "end", &finished},
}};
constexpr std::array<Step<TimedContext>, 1> kPerDisplayFullSteps {{{0, "display", &setUpDisplay<false>}}};
constexpr std::array<Step<TimedContext>, 1> kPerDisplaySortSteps {{{0, "display", &setUpDisplay<true>}}};
// clang-format on

constexpr const char* kFullTitle = "Video Wall Auto Setup";
constexpr const char* kFullMessage = "Video Wall Auto Setup is processing...";
constexpr const char* kSortTitle = "Monitor ID Auto Sort";
constexpr const char* kSortMessage = "Monitor ID Auto Sort is processing...";

constexpr TimedOperation kChainFull {kFullTitle, kFullMessage, kChainFullSteps};
constexpr TimedOperation kChainSort {kSortTitle, kSortMessage, kChainSortSteps};
constexpr TimedOperation kPerDisplayFull {kFullTitle, kFullMessage, kPerDisplayFullSteps};
constexpr TimedOperation kPerDisplaySort {kSortTitle, kSortMessage, kPerDisplaySortSteps};

} // namespace

const TimedOperation& AutoSetupSteps::operation(ConnectionKind kind, bool sortOnly)
{
    if (kind == ConnectionKind::LanEach)
        return sortOnly ? kPerDisplaySort : kPerDisplayFull;
    return sortOnly ? kChainSort : kChainFull;
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
