#pragma once

#include "sim/sim_display.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ordalis::sim {

// How one display starts. Values override the start values, keyed by command code ("BRL"), as the
// bytes the display answers with (13 bytes for SER, one byte for a setting). They are answered as
// given: a value of the wrong length makes a malformed reply, which a test may want.
struct DisplaySetup
{
    int monitorId = 1;
    bool powered = true;
    bool silent = false; // hears and obeys, never answers
    int extraLatencyMs = 0;
    std::map<std::string, Bytes> values;
};

// Faults that apply to the whole simulator; they can be changed while it runs.
struct SimFaults
{
    bool echo = false; // every frame from the PC comes back before its answers
    int splitBytes = 0; // answers in pieces of this many bytes; 0 = whole
    int splitPauseMs = 20; // silence between two pieces
    int slowMs = 0; // extra latency of every display
    bool garbage = false; // noise bytes before some answers
    int garbageEvery = 2; // ... before the 1st, (1 + every)th, ... answer
    int dropAfterFrames = 0; // a TCP connection closes after this many frames; 0 = never
    bool refuse = false; // TCP connections are refused
};

struct SimTiming
{
    int latencyMs = 2; // before the first byte of an answer ...
    int latencyStepMs = 1; // ... plus this much per chain position
    bool pacing = true; // pseudo-terminal bytes at 115200 baud, 8N1
};

struct Endpoint
{
    std::string address;
    int port = 0; // 0: any free port
};

// A wall arranged as after an auto setup: matrix, division, video wall and frame compensation set.
struct WallArrangement
{
    int columns = 1;
    int rows = 1;
    bool fromBottom = false;
};

struct SimConfig
{
    std::vector<DisplaySetup> displays; // chain order, 1 to 100 displays
    SimFaults faults;
    SimTiming timing;
    std::optional<WallArrangement> arranged;

    bool serial = false;
    std::string linkPath; // a symbolic link to the pseudo-terminal, when set
    std::optional<Endpoint> lan; // one module in front of the chain
    std::optional<Endpoint> lanEach; // one module per display: address + position - 1
    std::optional<std::string> udpAddress; // discovery answers
    int udpPort = 48899; // 0: any free port
    std::string logPath;
    bool keepTraffic = true; // keep every log record in memory for WallSim::traffic()

    // DIV 0x11 to one display arranges its division too, instead of setting division 1,1.
    bool arrangeOnAddressedDiv = false;

    // A chain of 'count' powered displays numbered 1 ... count.
    static SimConfig chain(int count);
};

inline constexpr int kMaxDisplays = 100;

// "3C", "57 53 49 4D": hex digits in pairs, spaces allowed; none when the text is not hex.
std::optional<Bytes> parseHexBytes(std::string_view text);
// Empty when 'value' is a value a display can hold for 'code', otherwise why not.
std::string checkValue(const std::string& code, const Bytes& value);

} // namespace ordalis::sim
