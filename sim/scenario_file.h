#pragma once

#include "sim/sim_config.h"

#include <string>

namespace ordalis::sim {

// Reads a scenario (the JSON format of sim/README.md) into 'config': the chain, each display's start
// values and the faults. False with 'error' naming the first thing that is wrong.
bool loadScenarioFile(const std::string& path, SimConfig& config, std::string& error);
bool loadScenarioText(const std::string& json, SimConfig& config, std::string& error);

} // namespace ordalis::sim
