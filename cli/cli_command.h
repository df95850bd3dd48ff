#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace ordalis::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1; // the command ran and failed
inline constexpr int kExitUsage = 2; // bad command line

// What "--model" before the command set, and where a command writes.
struct CliContext
{
    int modelRow = 0; // "Display Model" row, 0-6
    std::ostream& out;
    std::ostream& err;
};

// A command gets the arguments after its name, preceded by the connection and wall options
// given before its name when it takes them; "--help" among them never reaches it.
using CliHandler = int (*)(const CliContext& context, const std::vector<std::string>& args);

struct CliCommand
{
    std::string_view name;
    std::string_view usage; // arguments after the name, e.g. "CODE"
    std::string_view summary; // one line
    CliHandler handler;
    std::string_view options = {}; // lines describing its own options, for its --help
    bool takesLink = false; // takes the connection and wall options, before its name too
};

// Commands register themselves from their own file:
//   static const CommandRegistration registration{{"name", "ARGS", "what it does", &handler}};
class CommandRegistration
{
public:
    explicit CommandRegistration(const CliCommand& command);
};

// Every registered command, sorted by name.
const std::vector<CliCommand>& registeredCommands();
const CliCommand* findCommand(std::string_view name);

// "Usage: ordalis-cli [--model ROW] NAME USAGE", or "[OPTIONS]" for a command that takes a
// link.
std::string commandUsageLine(const CliCommand& command);

// Reports a usage error on err and gives kExitUsage.
int usageError(const CliContext& context, std::string_view message);

} // namespace ordalis::cli
