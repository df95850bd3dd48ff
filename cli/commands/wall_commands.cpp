// Wall-wide commands: power, auto setup, status and discovery, on the same core and timing as
// the program's dialogs.
#include "cli_command.h"
#include "link/lan_link.h"
#include "online_session.h"
#include "rules/auto_setup_steps.h"
#include "rules/display_search.h"
#include "rules/display_status_reader.h"
#include "rules/probe_search.h"

#include <QString>

#include <functional>

namespace ordalis::cli {

namespace {

constexpr CommandCode kPow("POW");
constexpr std::uint8_t kAllDisplays = 0;

std::string text(const QString& value)
{
    return value.toUtf8().toStdString();
}

// The progress box's bar has no place here.
class NoBar final : public StepProgress
{
public:
    void advanceBar() override { }
};

// Runs a timed operation as the progress box does, a step every tick; onTick hears of each.
bool runTicks(OnlineSession& session, const TimedOperation& operation,
    const std::function<void(int tick, int step, bool failed)>& onTick)
{
    NoBar bar;
    TimedContext timed {session.app(), bar};
    std::uint8_t step = 0;
    for (int tick = 1;; ++tick) {
        session.pause(kStepTickMs);
        const int ran = step;
        const StepResult result = runStep(operation.steps, step, timed, kStepTickMs);
        onTick(tick, ran, result.phase == StepPhase::Failed);
        if (result.phase != StepPhase::Continue)
            return result.phase == StepPhase::Succeeded;
    }
}

int power(const CliContext& context, const std::vector<std::string>& args)
{
    OnlineOptions options;
    if (!parseOnlineOptions(context, args, {{}, {"--wait"}}, options)) {
        return kExitUsage;
    }
    if (options.positional.size() != 1 || (options.positional[0] != "on" && options.positional[0] != "off")) {
        return usageError(context, "power takes on or off");
    }
    OnlineSession session(context, options);
    session.connect();
    const bool on = options.positional[0] == "on";
    if (!session.exchange().WriteValue(kAllDisplays, kPow, on ? 1 : 0)) {
        return session.failed();
    }
    if (options.has("--wait")) {
        runTicks(session, on ? powerOnOperation() : powerOffOperation(), [](int, int, bool) {});
    }
    return kExitOk;
}

int autoSetup(const CliContext& context, const std::vector<std::string>& args)
{
    OnlineOptions options;
    if (!parseOnlineOptions(context, args, {{}, {"--sort-only"}}, options)) {
        return kExitUsage;
    }
    if (!options.positional.empty()) {
        return usageError(context, "auto-setup takes only --sort-only");
    }
    const bool sortOnly = options.has("--sort-only");
    OnlineSession session(context, options);
    session.connect();
    CTavrinApp& app = session.app();
    app.PendingPowerAction = sortOnly ? AutoSetupSteps::kSortOnly : AutoSetupSteps::kFullAutoSetup;
    const bool ok = runTicks(
        session, AutoSetupSteps::operation(options.kind, sortOnly), [&](int tick, int step, bool failed) {
            context.out << "tick " << tick << ": step " << step << (failed ? " failed" : "") << std::endl;
        });
    if (!ok && !app.LastErrorText.isEmpty()) {
        context.err << text(app.LastErrorText) << '\n';
    }
    context.out << text(AutoSetupSteps::outcomeText(sortOnly, ok)) << '\n';
    return ok ? kExitOk : kExitFailed;
}

void printTable(const CliContext& context, int modelRow, const DisplayStatusReader& reader)
{
    context.out << text(DisplayStatusReader::headings(modelRow).join(QLatin1Char('\t'))) << '\n';
    for (const DisplayStatusReader::Row& row : reader.rows()) {
        for (int column = 0; column < reader.columnCount(); ++column) {
            context.out << (column ? "\t" : "") << text(row[std::size_t(column)]);
        }
        context.out << '\n';
    }
    context.out.flush();
}

int status(const CliContext& context, const std::vector<std::string>& args)
{
    OnlineOptions options;
    if (!parseOnlineOptions(context, args, {{}, {"--watch"}}, options)) {
        return kExitUsage;
    }
    if (!options.positional.empty()) {
        return usageError(context, "status takes only --watch");
    }
    const bool watch = options.has("--watch");
    OnlineSession session(context, options);
    session.connect();
    DisplayStatusReader reader(session.app());
    reader.statusChanged = [&](const QString& line) { context.err << text(line) << std::endl; };
    session.pause(DisplayStatusReader::kStartPeriodMs);
    if (!reader.detect()) {
        printTable(context, options.modelRow, reader);
        return kExitFailed;
    }
    // One pass over every reading, as the dialog's timer takes them. A rest follows a pass (or
    // a power reading that found nobody on); --watch keeps cycling and prints at every rest.
    for (int period = DisplayStatusReader::kStartPeriodMs;;) {
        session.pause(period);
        period = reader.readStep();
        if (period != DisplayStatusReader::kBetweenReadingsMs) {
            printTable(context, options.modelRow, reader);
            if (!watch) {
                return kExitOk;
            }
        }
    }
}

// "A.B.C.D,..." of dotted IPv4 addresses.
bool parseAddressList(const std::string& text, QStringList& addresses)
{
    addresses = QString::fromStdString(text).split(QLatin1Char(','));
    for (const QString& address : addresses) {
        if (!LanLink::IsValidIpAddress(address)) {
            return false;
        }
    }
    return true;
}

int discover(const CliContext& context, const std::vector<std::string>& args)
{
    OnlineOptions options;
    int port = 0;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string name = args[i].substr(0, args[i].find('='));
        if (name != "--lan-type" && name != "--port" && name != "--local") {
            return usageError(
                context, "discover takes --lan-type usr|build-in, --port PORT and --local ADDRESS,...");
        }
        const std::optional<std::string> given = takeOptionValue(args, i);
        if (!given) {
            return usageError(context, name + " needs a value");
        }
        const std::string& value = *given;
        if (name == "--lan-type") {
            if (value != "usr" && value != "build-in") {
                return usageError(context, "--lan-type is usr or build-in, not '" + value + "'");
            }
            options.usrModule = value == "usr";
        } else if (name == "--port") {
            if (!parseNumber(value, 1, 65535, port)) {
                return usageError(context, "--port takes 1-65535, not '" + value + "'");
            }
        } else if (!parseAddressList(value, options.localAddresses)) {
            return usageError(
                context, "--local takes dotted IPv4 addresses separated by commas, not '" + value + "'");
        }
    }
    options.modelRow = context.modelRow;
    if (port != 0 && !options.usrModule) {
        options.telnetPort = port;
    }
    OnlineSession session(context, options);
    std::vector<IPSearch> found;
    if (options.usrModule) {
        const std::uint16_t udpPort = port != 0 ? std::uint16_t(port) : UdpDisplaySearch::kPort;
        UdpDisplaySearch(session.app(), udpPort, udpPort).run([&](const IPSearch& record) {
            found.push_back(record);
        });
    } else {
        found = TcpProbeSearch(session.app()).run();
    }
    for (const IPSearch& record : found) {
        context.out << text(record.first) << '\t' << text(record.second) << '\n';
    }
    return kExitOk;
}

const CommandRegistration registrations[] = {
    CommandRegistration {{"power", "on|off LINK [--wait]", "power every display on or off", &power,
        "  --wait                      then wait the five seconds the displays need\n", true}},
    CommandRegistration {{"auto-setup", "LINK [--sort-only]",
        "number the displays along the chain, give them the wall's matrix and division; a line a tick",
        &autoSetup, "  --sort-only                 only number the displays (Monitor ID auto sort)\n", true}},
    CommandRegistration {{"status", "LINK [--watch]",
        "read every display's status once: a header and one tab-separated row per display", &status,
        "  --watch                     keep reading as the status dialog does, a table at every rest\n",
        true}},
    CommandRegistration {{"discover", "[--lan-type usr|build-in] [--port PORT] [--local ADDRESS,...]",
        "search the local /24 networks for LAN modules; a line per module: name, address", &discover,
        "  --lan-type usr|build-in     usr: the modules' UDP assistant search; build-in (default): ask\n"
        "                              the module port of every address for its first display's model\n"
        "  --port PORT                 build-in: the modules' telnet port (default 23); usr: the\n"
        "                              assistant's UDP port (default 48899)\n"
        "  --local ADDRESS,...         search the networks of these addresses, not of this computer's\n"}},
};

} // namespace

} // namespace ordalis::cli
