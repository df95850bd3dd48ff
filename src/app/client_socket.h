#pragma once

#include <array>
#include <cstdint>

namespace ordalis {

// One TCP connection to a display's LAN module, with the state the exchange and the
// connection keeper look at. The events and the transport are added by the LAN link.
class CClientSocket
{
public:
    // state values
    static constexpr std::uint8_t kStateNew = 0;        // new or closed
    static constexpr std::uint8_t kStateConnected = 255; // connected, not yet reported writable
    static constexpr std::uint8_t kStateFailed = 2;     // the connect attempt failed
    static constexpr std::uint8_t kStateWritable = 3;   // usable

    virtual ~CClientSocket() = default;

    std::uint8_t connectedFlag = 0;
    std::uint8_t dataArrivedFlag = 0;
    std::uint8_t state = kStateNew;
    std::array<std::uint8_t, 256> receiveRing{};
    std::int32_t writeIndex = 0;
    std::int32_t readIndex = 0;
};

} // namespace ordalis
