#include "protocol/value_names.h"

#include <array>
#include <utility>

namespace ordalis {

namespace {

constexpr std::string_view kUnknown = "TBD";

constexpr std::array<std::pair<std::uint8_t, std::string_view>, 7> kInputSources = {{
    {0, "VGA"},
    {1, "DVI"},
    {9, "HDMI1"},
    {10, "HDMI2"},
    {13, "DP"},
    {14, "OPS"},
    {16, "DP2"},
}};

constexpr std::array<std::string_view, 5> kSchemes = {"User", "Sport", "Game", "Cinema", "Vivid"};

} // namespace

std::string_view InputSourceName(std::uint8_t value, int modelRow)
{
    if (value == 13 && (modelRow == 0 || modelRow == 1)) {
        return "DP1";
    }
    for (const auto& [code, name] : kInputSources) {
        if (code == value) {
            return name;
        }
    }
    return kUnknown;
}

std::string_view SchemeName(std::uint8_t value)
{
    return value < kSchemes.size() ? kSchemes[value] : kUnknown;
}

bool IsExtendedProject(int projectId)
{
    return (projectId >= 20 && projectId <= 26) || projectId == 48;
}

bool UsesKelvinColorTemp(int projectId)
{
    return projectId >= 22 && projectId <= 26;
}

} // namespace ordalis
