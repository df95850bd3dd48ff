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
           "  --wall CxR   the wall's columns and rows (default 3x3)\n"
           "  --bottom-left, --top-left  where display 1 sits (default bottom left)\n"
           "  --serial PATH  the chain on this serial device\n"
           "  --lan ADDRESS[:PORT]  the chain behind this LAN module (port 23 unless given)\n"
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

bool parseWall(const std::string& text, WallOptions& wall)
{
    const std::size_t x = text.find('x');
    if (x == std::string::npos) {
        return false;
    }
    int columns = 0;
    int rows = 0;
    const char* end = text.data() + text.size();
    const auto [afterColumns, ec1] = std::from_chars(text.data(), text.data() + x, columns);
    const auto [afterRows, ec2] = std::from_chars(text.data() + x + 1, end, rows);
    if (ec1 != std::errc() || ec2 != std::errc() || afterColumns != text.data() + x || afterRows != end
        || columns < 1 || columns > 10 || rows < 1 || rows > 10) {
        return false;
    }
    wall.columns = columns;
    wall.rows = rows;
    return true;
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
        if (arg == "--bottom-left" || arg == "--top-left") {
            context.wall.bottomLeft = arg == "--bottom-left";
            continue;
        }
        if (arg == "--wall" || arg == "--serial" || arg == "--lan") {
            if (i + 1 == args.size()) {
                return usageError(context, arg + " needs a value");
            }
            const std::string& given = args[++i];
            if (arg == "--serial") {
                context.wall.serialPath = given;
            } else if (arg == "--lan") {
                context.wall.lan = given;
            } else if (!parseWall(given, context.wall)) {
                return usageError(context, "--wall takes COLUMNSxROWS, 1-10 each, not '" + given + "'");
            }
            continue;
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
