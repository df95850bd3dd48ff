#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ordalis {

// A display command named by three characters, held as one 24-bit number with the first
// character in bits 16-23 ("POW" = 0x504F57). The characters go on the wire in that order.
class CommandCode
{
public:
    constexpr CommandCode() = default;
    constexpr explicit CommandCode(std::uint32_t value) : m_value(value & 0xFFFFFF) { }
    // CommandCode("POW"): only a literal of exactly three characters compiles.
    consteval CommandCode(const char (&letters)[4]) : m_value(fromChars(letters[0], letters[1], letters[2]))
    {
        if (letters[3] != '\0' || !isUpper(letters[0]) || !isCodeChar(letters[1])
            || !isCodeChar(letters[2])) {
            throw "a command code is an upper-case letter and two upper-case letters or digits"; // stops
                                                                                                 // compilation
        }
    }

    constexpr std::uint32_t value() const { return m_value; }

    // Character 0, 1 or 2 as it goes on the wire.
    constexpr std::uint8_t letter(int index) const
    {
        return static_cast<std::uint8_t>(m_value >> (8 * (2 - index)));
    }
    constexpr std::array<std::uint8_t, 3> letters() const { return {letter(0), letter(1), letter(2)}; }
    std::string text() const;

    // Three upper-case ASCII letters, except that the last two may also be digits: the
    // second fan reading is "RS2".
    constexpr bool isValid() const
    {
        return isUpper(letter(0)) && isCodeChar(letter(1)) && isCodeChar(letter(2));
    }

    // Exactly three characters forming a valid code; anything else gives no code.
    static std::optional<CommandCode> parse(std::string_view text);

    constexpr bool operator==(const CommandCode&) const = default;

private:
    static constexpr bool isUpper(unsigned char c) { return c >= 'A' && c <= 'Z'; }
    static constexpr bool isCodeChar(unsigned char c) { return isUpper(c) || (c >= '0' && c <= '9'); }
    static constexpr std::uint32_t fromChars(char a, char b, char c)
    {
        return (std::uint32_t(std::uint8_t(a)) << 16) | (std::uint32_t(std::uint8_t(b)) << 8)
            | std::uint32_t(std::uint8_t(c));
    }

    std::uint32_t m_value = 0;
};

} // namespace ordalis
