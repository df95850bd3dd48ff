// ordalis-cli: a headless front end. Options come before the command; each command lives in its
// own file under commands/ and registers itself.
#include "cli_command.h"

#include <QCoreApplication>

#include <charconv>
#include <iostream>
#include <string>
#include <vector>

namespace {

using namespace ordalis::cli;

constexpr int kModelRows = 7;

void printToolHelp(std::ostream& out)
{
    out << "Usage: ordalis-cli [--model ROW] COMMAND [ARGS]\n"
           "\n"
           "Options:\n"
           "  --model ROW  \"Display Model\" row, 0-6 (default 0)\n"
           "  --help       show this help; COMMAND --help shows a command's usage\n"
           "\n"
           "Commands:\n";
    std::size_t width = 0;
    for (const CliCommand& command : registeredCommands()) {
        width = std::max(width, command.name.size() + 1 + command.usage.size());
    }
    for (const CliCommand& command : registeredCommands()) {
        std::string head(command.name);
        if (!command.usage.empty()) {
            head += ' ';
            head += command.usage;
        }
        out << "  " << head << std::string(width - head.size() + 2, ' ') << command.summary << '\n';
    }
}

bool parseModelRow(const std::string& text, int& row)
{
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, row);
    return ec == std::errc() && ptr == end && row >= 0 && row < kModelRows;
}

int run(const std::vector<std::string>& args)
{
    CliContext context {0, std::cout, std::cerr};
    std::size_t i = 0;
    for (; i < args.size() && args[i].starts_with("-"); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            printToolHelp(context.out);
            return kExitOk;
        }
        std::string value;
        if (arg == "--model") {
            if (i + 1 == args.size()) {
                return usageError(context, "--model needs a row (0-6)");
            }
            value = args[++i];
        } else if (arg.starts_with("--model=")) {
            value = arg.substr(8);
        } else {
            return usageError(context, "unknown option '" + arg + "'");
        }
        if (!parseModelRow(value, context.modelRow)) {
            return usageError(context, "--model takes a row from 0 to 6, not '" + value + "'");
        }
    }
    if (i == args.size()) {
        return usageError(context, "no command given");
    }

    const CliCommand* command = findCommand(args[i]);
    if (!command) {
        return usageError(context, "unknown command '" + args[i] + "'");
    }
    std::vector<std::string> rest(args.begin() + std::ptrdiff_t(i) + 1, args.end());
    for (const std::string& arg : rest) {
        if (arg == "--help" || arg == "-h") {
            context.out << commandUsageLine(*command) << "\n" << command->summary << "\n";
            return kExitOk;
        }
    }
    return command->handler(context, rest);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::vector<std::string> args(argv + 1, argv + argc);
    return run(args);
}
