// Offline commands over the command catalogue.
#include "cli_command.h"
#include "protocol/command_catalogue.h"

#include <cctype>

namespace ordalis::cli {

namespace {

int listCommands(const CliContext& context, const std::vector<std::string>& args)
{
    if (!args.empty()) {
        return usageError(context, "commands takes no arguments");
    }
    for (const CatalogueEntry& entry : kCommandCatalogue) {
        context.out << int(entry.index) << '\t' << catalogueCell(entry, context.modelRow) << '\t'
                    << commandClassTag(entry.commandClass) << '\n';
    }
    return kExitOk;
}

// Codes are matched in upper case, so "help pow" finds POW.
int showHelp(const CliContext& context, const std::vector<std::string>& args)
{
    if (args.size() != 1) {
        return usageError(context, "help takes one command code");
    }
    std::string text = args[0];
    for (char& c : text) {
        c = char(std::toupper(static_cast<unsigned char>(c)));
    }
    const auto code = CommandCode::parse(text);
    const CatalogueEntry* entry = code ? findCatalogueEntry(*code) : nullptr;
    if (!entry) {
        context.err << "ordalis-cli: '" << args[0] << "' is not a command of the catalogue\n";
        return kExitUsage;
    }
    context.out << helpTextForModel(*entry, context.modelRow) << '\n';
    return kExitOk;
}

const CommandRegistration commandsRegistration {{"commands", "",
    "list the command catalogue: index, code (--- when not offered), rw/r/w", &listCommands}};
const CommandRegistration helpRegistration {
    {"help", "CODE", "print the help text of a catalogue command", &showHelp}};

} // namespace

} // namespace ordalis::cli
