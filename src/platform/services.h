#pragma once

namespace ordalis {

class Clock;
class Prompts;

// The platform services the core reaches through the application object. Start-up wires
// the real ones, tests wire the fakes. Not owned: they outlive the application object.
// (The serial port, LAN connection and host address services join here with the links.)
struct Services
{
    Clock* clock = nullptr;
    Prompts* prompts = nullptr;
};

} // namespace ordalis
