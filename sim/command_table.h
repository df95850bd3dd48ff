#pragma once

#include <cstdint>
#include <string_view>

namespace ordalis::sim {

enum class Access : std::uint8_t { ReadWrite, ReadOnly, WriteOnly };

// One command a display understands: what the line may do with it, how many value bytes its reply
// carries and, for single-byte settings, the value a display starts with.
struct CommandInfo
{
    std::string_view code;
    Access access;
    std::uint8_t length;
    std::uint8_t start;
    std::string_view name;
};

// Null when the displays do not know the code.
const CommandInfo* findCommand(std::string_view code);

// Every known command, in table order.
std::size_t commandCount();
const CommandInfo& commandAt(std::size_t index);

} // namespace ordalis::sim
