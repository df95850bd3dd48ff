#pragma once

namespace ordalis {

class Clock;
class Waiter;
class Prompts;
class SerialPortFactory;
class LanConnectionFactory;
class HostAddresses;
class DatagramSocketFactory;

// The platform services the core reaches through the application object. Start-up wires
// the real ones, tests wire the fakes. Not owned: they outlive the application object.
struct Services
{
    Clock* clock = nullptr;
    Waiter* waiter = nullptr; // every wait on the GUI thread
    Prompts* prompts = nullptr;
    SerialPortFactory* serialPorts = nullptr;
    LanConnectionFactory* lanConnections = nullptr;
    HostAddresses* hostAddresses = nullptr;
    DatagramSocketFactory* datagrams = nullptr; // the display discovery's UDP sockets
};

} // namespace ordalis
