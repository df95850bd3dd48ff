#pragma once

#include "sim/wall_sim.h"

#include <gtest/gtest.h>

#include <memory>

namespace ordalis::test {

// The in-process simulator an end-to-end test starts.
class SimRunner
{
public:
    // Starts the simulator as configured; one that cannot start fails the test.
    bool start(sim::SimConfig config)
    {
        sim = std::make_unique<sim::WallSim>(std::move(config));
        if (!sim->start()) {
            ADD_FAILURE() << sim->errorText();
            return false;
        }
        return true;
    }

    std::unique_ptr<sim::WallSim> sim;
};

} // namespace ordalis::test
