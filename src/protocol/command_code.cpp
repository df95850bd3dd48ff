#include "protocol/command_code.h"

namespace ordalis {

std::string CommandCode::text() const
{
    return std::string {char(letter(0)), char(letter(1)), char(letter(2))};
}

std::optional<CommandCode> CommandCode::parse(std::string_view text)
{
    if (text.size() != 3) {
        return std::nullopt;
    }
    const CommandCode code(fromChars(text[0], text[1], text[2]));
    if (!code.isValid()) {
        return std::nullopt;
    }
    return code;
}

} // namespace ordalis
