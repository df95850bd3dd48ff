#include "cli_command.h"

#include <algorithm>

namespace ordalis::cli {

namespace {

std::vector<CliCommand>& registry()
{
    static std::vector<CliCommand> commands;
    return commands;
}

} // namespace

CommandRegistration::CommandRegistration(const CliCommand& command)
{
    auto& commands = registry();
    const auto at = std::lower_bound(commands.begin(), commands.end(), command,
        [](const CliCommand& a, const CliCommand& b) { return a.name < b.name; });
    commands.insert(at, command);
}

const std::vector<CliCommand>& registeredCommands()
{
    return registry();
}

const CliCommand* findCommand(std::string_view name)
{
    for (const CliCommand& command : registry()) {
        if (command.name == name) {
            return &command;
        }
    }
    return nullptr;
}

std::string commandUsageLine(const CliCommand& command)
{
    std::string line
        = command.takesLink ? "Usage: ordalis-cli [OPTIONS] " : "Usage: ordalis-cli [--model ROW] ";
    line += command.name;
    if (!command.usage.empty()) {
        line += ' ';
        line += command.usage;
    }
    return line;
}

int usageError(const CliContext& context, std::string_view message)
{
    context.err << "ordalis-cli: " << message << "\nTry 'ordalis-cli --help'.\n";
    return kExitUsage;
}

} // namespace ordalis::cli
