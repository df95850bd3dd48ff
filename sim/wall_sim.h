#pragma once

// In-process display chain for end-to-end tests.
//
//     ordalis::sim::SimConfig config = ordalis::sim::SimConfig::chain(3);  // Monitor IDs 1, 2, 3
//     config.serial = true;                                  // a raw pseudo-terminal
//     config.lan = ordalis::sim::Endpoint {"127.0.0.1", 0};  // one TCP module, any free port
//     config.displays[1].values["BRI"] = {60};               // display 2 answers BRI with 60
//     ordalis::sim::WallSim sim(config);
//     ASSERT_TRUE(sim.start()) << sim.errorText();
//     open sim.serialPath(), or connect to 127.0.0.1:sim.lanPort(), and talk to the chain ...
//     EXPECT_EQ(sim.display(2).byteValue("BRL"), 50);       // what display 2 now holds
//
// The chain runs on its own thread from start() until stop() or the destructor. Every member is
// thread-safe. Displays are named by chain position, 1 = nearest the PC, so duplicate Monitor IDs
// stay addressable. SimConfig (sim_config.h) holds the displays, transports, timing and faults;
// parseSimArguments (sim_arguments.h) builds one from the executable's flags.

#include "sim/sim_config.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace ordalis::sim {

class SimEngine;

// A copy of one display's state taken at one moment.
struct DisplaySnapshot
{
    int position = 0;
    int monitorId = 0;
    bool powered = false;
    bool silent = false;
    std::map<std::string, Bytes> values; // every command the display keeps, POW and CID included

    // The bytes the display answers with for 'code'; empty when it keeps none.
    Bytes value(const std::string& code) const;
    // The first value byte, -1 when none.
    int byteValue(const std::string& code) const;
};

// One line of the traffic log.
struct TrafficRecord
{
    double ms = 0; // since start()
    std::string endpoint; // "serial", "lan", "lan-each-3", "udp"
    // "pc" (from the PC), "echo", "d3" (display at position 3), "noise", "module" (a discovery
    // answer) or "event" (no bytes: "port opened", "port closed", "connected from ...")
    std::string direction;
    Bytes bytes;
    std::string text; // short decoding: "read BRI from 5", "reply BRI=3C from 5"
};

class WallSim
{
public:
    explicit WallSim(SimConfig config);
    ~WallSim(); // stops
    WallSim(const WallSim&) = delete;
    WallSim& operator=(const WallSim&) = delete;

    // Opens every endpoint of the configuration, then runs the chain on its own thread. False with
    // errorText() when an endpoint cannot be opened or the configuration is not usable.
    bool start();
    void stop();
    bool running() const;
    std::string errorText() const;

    // Endpoints, valid after a successful start().
    std::string serialPath() const; // the pseudo-terminal to open
    int lanPort() const; // -1 without a single LAN module
    std::string lanAddress() const;
    int lanEachPort() const; // -1 without per-display modules
    std::string lanEachAddress(int position) const;
    std::string udpAddress() const;
    int udpPort() const; // the bound port (the configured one, or the one chosen for port 0); -1 without UDP
    // The lines the executable prints, one per endpoint: "serial /dev/pts/3", "lan 127.0.0.1:40111".
    std::vector<std::string> readyLines() const;

    int displayCount() const;
    DisplaySnapshot display(int position) const;

    // Changes while running; positions count from 1.
    void setPowered(int position, bool on);
    void setSilent(int position, bool silent);
    void setMonitorId(int position, int id);
    void setExtraLatencyMs(int position, int ms);
    void setValue(int position, const std::string& code, Bytes value);
    SimFaults faults() const;
    // Returns once the chain's thread has taken the new faults (a change of 'refuse' included).
    void setFaults(const SimFaults& faults);

    // Everything seen or sent since start (or the last clearTraffic()).
    std::vector<TrafficRecord> traffic() const;
    void clearTraffic();
    // Frames received from the PC since start (clearTraffic() does not reset it).
    int framesReceived() const;
    // Sleeps until framesReceived() reaches 'count' or the time is up; true when it did.
    bool waitForFramesReceived(int count, int timeoutMs) const;
    // Sleeps until a record of traffic() matches or the time is up; true when one did. Records are
    // kept unless SimConfig::keepTraffic is off.
    bool waitForTraffic(const std::function<bool(const TrafficRecord&)>& match, int timeoutMs) const;

private:
    std::unique_ptr<SimEngine> m_engine;
};

} // namespace ordalis::sim
