#pragma once

#include "sim/sim_config.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ordalis::sim {

// One flag of ordalis-wallsim.
struct SimOption
{
    std::string_view name; // "--displays"
    std::string_view value; // what follows it, empty for a switch; in [] when it may be left out
    std::string_view help;
};

std::span<const SimOption> simOptions();
std::string simHelpText();

struct ArgumentsResult
{
    bool ok = true;
    bool help = false;
    bool exitWithParent = false; // --exit-with-parent: a process matter, not the chain's
    std::string errorText;
};

// Builds 'config' from the flags (without the program name). The scenario file is read first,
// then the chain length and Monitor IDs, then every other flag in the order given.
ArgumentsResult parseSimArguments(const std::vector<std::string>& arguments, SimConfig& config);

} // namespace ordalis::sim
