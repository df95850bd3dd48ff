#include "sim/sim_arguments.h"
#include "sim/wall_sim.h"

#include <csignal>
#include <cstdio>
#include <pthread.h>
#include <sys/prctl.h>
#include <unistd.h>

using namespace ordalis::sim;

int main(int argc, char** argv)
{
    SimConfig config;
    const ArgumentsResult parsed = parseSimArguments(std::vector<std::string>(argv + 1, argv + argc), config);
    if (!parsed.ok) {
        std::fprintf(stderr, "ordalis-wallsim: %s\n", parsed.errorText.c_str());
        return 2;
    }
    if (parsed.help) {
        std::fputs(simHelpText().c_str(), stdout);
        return 0;
    }

    // Signals are taken by sigwait below, not by the chain's thread.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    if (parsed.exitWithParent) {
        const pid_t parent = getppid();
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent) {
            return 0; // the parent ended before the request took effect
        }
    }

    config.keepTraffic = false; // the log file is the record here; memory would only grow
    WallSim sim(config);
    if (!sim.start()) {
        std::fprintf(stderr, "ordalis-wallsim: %s\n", sim.errorText().c_str());
        return 1;
    }
    for (const std::string& line : sim.readyLines()) {
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
    }
    std::printf("ready\n");
    std::fflush(stdout);

    int signal = 0;
    sigwait(&stopSignals, &signal);
    sim.stop();
    return 0;
}
