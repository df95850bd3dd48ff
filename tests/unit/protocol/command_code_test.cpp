#include "protocol/command_code.h"

#include <gtest/gtest.h>

#include <optional>
#include <string_view>

namespace ordalis {
namespace {

TEST(CommandCode, HoldsFirstLetterInTheHighestByte)
{
    constexpr CommandCode pow("POW");
    static_assert(pow.value() == 0x504F57);
    EXPECT_EQ(pow.letter(0), 0x50);
    EXPECT_EQ(pow.letter(1), 0x4F);
    EXPECT_EQ(pow.letter(2), 0x57);
    EXPECT_EQ(pow.text(), "POW");
    EXPECT_EQ(CommandCode(0x525332).text(), "RS2");
}

TEST(CommandCode, NumberIsCutToTwentyFourBits)
{
    EXPECT_EQ(CommandCode(0xFF504F57).value(), 0x504F57u);
    EXPECT_EQ(CommandCode(0xFF504F57), CommandCode("POW"));
}

struct ParseCase
{
    std::string_view text;
    std::optional<std::uint32_t> value;
};

class CommandCodeParse : public testing::TestWithParam<ParseCase>
{
};

TEST_P(CommandCodeParse, AcceptsOnlyThreeCodeCharacters)
{
    const auto parsed = CommandCode::parse(GetParam().text);
    ASSERT_EQ(parsed.has_value(), GetParam().value.has_value());
    if (parsed) {
        EXPECT_EQ(parsed->value(), *GetParam().value);
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, CommandCodeParse,
    testing::Values(ParseCase {"POW", 0x504F57}, ParseCase {"RS2", 0x525332}, ParseCase {"ZZZ", 0x5A5A5A},
        ParseCase {"pow", std::nullopt}, ParseCase {"Pow", std::nullopt}, ParseCase {"PO", std::nullopt},
        ParseCase {"POWR", std::nullopt}, ParseCase {"", std::nullopt}, ParseCase {"2RS", std::nullopt},
        ParseCase {"P W", std::nullopt}, ParseCase {"PO@", std::nullopt}, ParseCase {"PO[", std::nullopt},
        ParseCase {std::string_view("PO\0", 3), std::nullopt}));

TEST(CommandCode, ValidityOfRawNumbers)
{
    EXPECT_TRUE(CommandCode(0x504F57).isValid());
    EXPECT_FALSE(CommandCode(0).isValid());
    EXPECT_FALSE(CommandCode(0x704F57).isValid()); // lower-case first letter
    EXPECT_FALSE(CommandCode(0x324F57).isValid()); // digit first
}

} // namespace
} // namespace ordalis
