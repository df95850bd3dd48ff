// Online commands over a wall: power, auto setup, status and discovery, on the same core and
// timing as the program's dialogs.
#include "cli_command.h"
#include "link/command_exchange.h"
#include "pages/display_status.h"
#include "setup/auto_setup_steps.h"
#include "setup/display_search.h"
#include "setup/probe_search.h"
#include "setup/qt_datagram_socket.h"

#include <QCoreApplication>

#include <iostream>

namespace ordalis::cli {

namespace {

constexpr int kTickMs = 500; // the progress box's timer
constexpr std::int64_t kPowerPauseMs = 5000; // the progress box's ten ticks after a power write
constexpr std::uint8_t kFullAutoSetup = 2;
constexpr std::uint8_t kSortOnly = 3;

std::string text(const QString& value)
{
    return value.toUtf8().toStdString();
}

int power(const CliContext& context, const std::vector<std::string>& args)
{
    bool wait = false;
    int value = -1;
    for (const std::string& arg : args) {
        if (arg == "--wait")
            wait = true;
        else if (arg == "on" || arg == "off")
            value = arg == "on" ? 1 : 0;
        else
            return usageError(context, "power takes on or off, and --wait");
    }
    if (value < 0)
        return usageError(context, "power takes on or off");
    WallSession session(context.wall, context.modelRow, context.err);
    if (!session.open())
        return kExitFailed;
    if (!CommandExchange(session.app()).WriteValue(0, CommandCode("POW"), std::uint8_t(value))) {
        context.err << text(session.app().LastErrorText) << '\n';
        return kExitFailed;
    }
    if (wait)
        session.clock().sleepMs(kPowerPauseMs);
    return kExitOk;
}

class NoBar final : public StepProgress
{
public:
    void advanceBar() override { }
};

int autoSetup(const CliContext& context, const std::vector<std::string>& args)
{
    bool sortOnly = false;
    for (const std::string& arg : args) {
        if (arg != "--sort-only")
            return usageError(context, "auto-setup takes only --sort-only");
        sortOnly = true;
    }
    WallSession session(context.wall, context.modelRow, context.err);
    if (!session.open())
        return kExitFailed;
    CTavrinApp& app = session.app();
    app.PendingPowerAction = sortOnly ? kSortOnly : kFullAutoSetup;

    const TimedStepTable table = AutoSetupSteps::table();
    const TimedOperation& operation = AutoSetupSteps::operationFor(table, app);
    NoBar bar;
    std::uint8_t step = 0;
    bool ok = false;
    for (int tick = 1;; ++tick) {
        session.clock().sleepMs(kTickMs);
        QCoreApplication::processEvents();
        const int ran = step;
        StepContext stepContext {app, bar, step};
        const bool ended = RunTimedStep(operation, stepContext);
        context.out << "tick " << tick << ": step " << ran << (stepContext.ok ? "" : " failed") << std::endl;
        if (ended) {
            ok = stepContext.ok;
            break;
        }
    }
    if (!ok)
        context.err << text(app.LastErrorText) << '\n';
    if (sortOnly) {
        context.out << (ok
                ? "Monitor ID Auto Sort Finished!"
                : "Monitor ID Auto Sort Failure! Please make sure the RS232 daisy chain is connected "
                  "correctly and all displays are in power on status.")
                    << '\n';
    } else {
        context.out << (ok
                ? "Auto Setup Finished!"
                : "Auto Setup Failure! Please make sure all cables are connected correctly and all "
                  "displays are in power on status.")
                    << '\n';
    }
    return ok ? kExitOk : kExitFailed;
}

void printTable(const CliContext& context, const DisplayStatusReader& reader)
{
    context.out << text(DisplayStatusReader::headings(context.modelRow).join(QLatin1Char('\t'))) << '\n';
    for (const DisplayStatusReader::Row& row : reader.rows()) {
        for (int column = 0; column < reader.columnCount(); ++column)
            context.out << (column ? "\t" : "") << text(row[std::size_t(column)]);
        context.out << '\n';
    }
    context.out.flush();
}

int status(const CliContext& context, const std::vector<std::string>& args)
{
    bool watch = false;
    for (const std::string& arg : args) {
        if (arg != "--watch")
            return usageError(context, "status takes only --watch");
        watch = true;
    }
    WallSession session(context.wall, context.modelRow, context.err);
    if (!session.open())
        return kExitFailed;
    DisplayStatusReader reader(session.app());
    reader.statusChanged = [&](const QString& line) { context.err << text(line) << '\n'; };
    session.clock().sleepMs(DisplayStatusReader::kStartPeriodMs);
    if (!reader.detect()) {
        printTable(context, reader);
        return kExitFailed;
    }
    // One pass over every reading, as the dialog's timer takes them. A rest follows a pass (or
    // a power reading that found nobody on); --watch keeps cycling and prints at every rest.
    for (int period = DisplayStatusReader::kStartPeriodMs;;) {
        session.clock().sleepMs(period);
        QCoreApplication::processEvents();
        period = reader.readStep();
        if (period != DisplayStatusReader::kBetweenReadingsMs) {
            printTable(context, reader);
            if (!watch)
                return kExitOk;
        }
    }
}

int discover(const CliContext& context, const std::vector<std::string>& args)
{
    int lanType = 0;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--lan-type" && i + 1 < args.size()
            && (args[i + 1] == "usr" || args[i + 1] == "build-in")) {
            lanType = args[++i] == "usr" ? 1 : 0;
        } else {
            return usageError(context, "discover takes --lan-type usr|build-in");
        }
    }
    WallSession session(context.wall, context.modelRow, context.err);
    CTavrinApp& app = session.app();
    app.settings.LanType.setBoth(std::uint8_t(lanType));
    if (!context.wall.lan.empty()) {
        const std::size_t colon = context.wall.lan.rfind(':');
        if (colon != std::string::npos)
            app.settings.TelnetPort.setBoth(
                QString::fromStdString(context.wall.lan.substr(colon + 1)).toInt());
    } else {
        app.settings.TelnetPort.setBoth(23);
    }
    std::vector<IPSearch> found;
    if (lanType == 1) {
        QtDatagramSocketFactory sockets(session.clock());
        UdpDisplaySearch(app, sockets).run([&](const IPSearch& record) { found.push_back(record); });
    } else {
        found = TcpProbeSearch(app).run();
    }
    for (const IPSearch& record : found)
        context.out << text(record.first) << '\t' << text(record.second) << '\n';
    return kExitOk;
}

const CommandRegistration registrations[] = {
    CommandRegistration {{"power", "on|off [--wait]", "powers every display on or off", &power}},
    CommandRegistration {
        {"auto-setup", "[--sort-only]", "numbers the displays and arranges the wall", &autoSetup}},
    CommandRegistration {{"status", "[--watch]", "reads every display's status table", &status}},
    CommandRegistration {
        {"discover", "[--lan-type usr|build-in]", "searches the local networks for LAN modules", &discover}},
};

} // namespace

} // namespace ordalis::cli
