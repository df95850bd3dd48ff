#pragma once

#include <cstdint>
#include <string_view>

namespace ordalis {

// Names of main input source (MIN) values. 13 is "DP1" on the first model family (rows 0 and 1).
std::string_view InputSourceName(std::uint8_t value, int modelRow);

// Names of scheme (SCM) values.
std::string_view SchemeName(std::uint8_t value);

// Display families by the "Project ID" setting: the extended page functions (20 to 26, or 48) and
// colour temperature in kelvin steps with CCT rather than presets with COT (22 to 26).
bool IsExtendedProject(int projectId);
bool UsesKelvinColorTemp(int projectId);

} // namespace ordalis
