#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace ordalis {

// The "Display Model" rows as the layout wizard lists them.
inline constexpr std::array<std::string_view, 7> kDisplayModelNames {
    "KV-870", "KV-760 series", "KV-650", "KV-650E", "KV-540E", "KV-430", "KV-320"};

// The model's name in the home page's summary: row 4 is summed up with the name of row 3.
// Empty for a row outside the list.
constexpr std::string_view SummaryModelName(int modelRow)
{
    if (modelRow < 0 || modelRow >= int(kDisplayModelNames.size()))
        return {};
    return kDisplayModelNames[std::size_t(modelRow == 4 ? 3 : modelRow)];
}

// Names of main input source (MIN) values. 13 is "DP1" on the first model family (rows 0 and 1).
std::string_view InputSourceName(std::uint8_t value, int modelRow);

// Names of scheme (SCM) values.
std::string_view SchemeName(std::uint8_t value);

// Display families by the "Project ID" setting: the extended page functions (20 to 26, or 48) and
// colour temperature in kelvin steps with CCT rather than presets with COT (22 to 26).
bool IsExtendedProject(int projectId);
bool UsesKelvinColorTemp(int projectId);

} // namespace ordalis
