// ordalis-cli: a headless front end. Options come before the command; the commands that talk to
// displays take the connection and wall options among their arguments too. Each command lives in
// a file under commands/ and registers itself.
#include "cli_command.h"
#include "online_session.h"

#include <QCoreApplication>
#include <QLoggingCategory>

#include <iostream>
#include <string>
#include <vector>

namespace {

using namespace ordalis::cli;

void printToolHelp(std::ostream& out)
{
    out << "Usage: ordalis-cli [OPTIONS] COMMAND [ARGS]\n"
           "\n"
           "Options, before the command:\n"
           "  --help                      show this help; COMMAND --help shows a command's usage\n"
           "  --trace                     print the link traffic on stderr: every frame sent and\n"
           "                              received, with its time in ms, the deadlines and outcomes\n"
           "The wall:\n"
        << kWallOptionLines << "LINK, one of:\n"
        << kLinkOptionLines
        << "The commands that take a LINK take the wall and LINK options among their arguments too.\n"
           "\n"
           "Commands:\n";
    // A long head goes on a line of its own, its summary on the next.
    constexpr std::size_t kMostWidth = 40;
    std::size_t width = 0;
    for (const CliCommand& command : registeredCommands()) {
        const std::size_t head = command.name.size() + 1 + command.usage.size();
        if (head <= kMostWidth) {
            width = std::max(width, head);
        }
    }
    for (const CliCommand& command : registeredCommands()) {
        std::string head(command.name);
        if (!command.usage.empty()) {
            head += ' ';
            head += command.usage;
        }
        out << "  " << head;
        if (head.size() > width) {
            out << '\n' << std::string(width + 4, ' ');
        } else {
            out << std::string(width - head.size() + 2, ' ');
        }
        out << command.summary << '\n';
    }
}

void printCommandHelp(std::ostream& out, const CliCommand& command)
{
    out << commandUsageLine(command) << '\n' << command.summary << '\n' << command.options;
    if (command.takesLink) {
        out << "The wall:\n"
            << kWallOptionLines << "LINK, one of:\n"
            << kLinkOptionLines
            << "The wall and LINK options go before the command or among its arguments.\n";
    }
}

int run(const std::vector<std::string>& args)
{
    CliContext context {0, std::cout, std::cerr};
    // The connection and wall options before the command, passed on to it as given.
    std::vector<std::string> passed;
    std::size_t i = 0;
    for (; i < args.size() && args[i].starts_with("-"); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            printToolHelp(context.out);
            return kExitOk;
        }
        if (arg == "--trace") {
            QLoggingCategory::setFilterRules(QStringLiteral("ordalis.link.debug=true"));
            continue;
        }
        const std::string name = arg.substr(0, arg.find('='));
        if (isLinkOrWallSwitch(name)) {
            passed.push_back(arg);
            continue;
        }
        if (!isLinkOrWallValued(name)) {
            return usageError(context, "unknown option '" + arg + "'");
        }
        const std::optional<std::string> value = takeOptionValue(args, i);
        if (!value) {
            return usageError(context, name + " needs a value");
        }
        if (name != "--model") {
            passed.push_back(name + "=" + *value);
        } else if (!parseNumber(*value, 0, 6, context.modelRow)) {
            return usageError(context, "--model takes a row from 0 to 6, not '" + *value + "'");
        }
    }
    if (i == args.size()) {
        return usageError(context, "no command given");
    }

    const CliCommand* command = findCommand(args[i]);
    if (!command) {
        return usageError(context, "unknown command '" + args[i] + "'");
    }
    if (!passed.empty() && !command->takesLink) {
        return usageError(context, args[i] + " takes no LINK or wall options besides --model");
    }
    std::vector<std::string> rest = passed;
    rest.insert(rest.end(), args.begin() + std::ptrdiff_t(i) + 1, args.end());
    for (const std::string& arg : rest) {
        if (arg == "--help" || arg == "-h") {
            printCommandHelp(context.out, *command);
            return kExitOk;
        }
    }
    return command->handler(context, rest);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // The traffic log's lines as they are, on stderr.
    qSetMessagePattern(QStringLiteral("%{category}: %{message}"));
    std::vector<std::string> args(argv + 1, argv + argc);
    return run(args);
}
