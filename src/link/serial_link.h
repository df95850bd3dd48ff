#pragma once

#include "platform/serial_port.h"

#include <cstdint>
#include <memory>
#include <span>

namespace ordalis {

class CTavrinApp;

// The serial side of the display link. Stateless: the port and its state are the
// application's (ComPortOpen, ComPortHandle, portName, ReadTimeoutBase, LastTargetId).
class SerialLink
{
public:
    // Open modes.
    static constexpr int kModeExchange = 1; // reply time-out base 1500 ms
    static constexpr int kModeRaw = 2; // reply time-out base 0 ms (the console's raw sends)

    static constexpr std::int64_t kWriteLimitMs = 1000;
    static constexpr std::uint32_t kTimeoutBaseMs = 1500;
    static constexpr std::int64_t kPerMonitorIdMs = 30;
    static constexpr std::uint8_t kMaxTargetId = 100;
    static constexpr std::size_t kMaxRead = 128;

    explicit SerialLink(CTavrinApp& app) : m_app(app) { }

    // Opens the "Com Port" device for a mode; empty when the mode is unknown or the port
    // cannot be opened or configured. Leaves ComPortOpen alone: the caller stores the port.
    std::unique_ptr<SerialPort> OpenComPort(int mode);

    // ComPortOpen and a port that is still open.
    bool isOpen() const;
    void close();
    bool purge();

    // True only when every byte was written within 1000 ms; otherwise the port is closed.
    bool write(std::span<const std::uint8_t> bytes);

    // Collects exactly destination.size() bytes (at most 128) before the reply deadline,
    // ReadTimeoutBase + 30 ms x LastTargetId (clamped to 100) from now. On false the
    // destination is unchanged.
    bool ReadSerialExact(std::span<std::uint8_t> destination);

private:
    CTavrinApp& m_app;
};

} // namespace ordalis
