#pragma once

#include "sim/sim_frame.h"

#include <span>
#include <vector>

namespace ordalis::sim {

// Cuts the bytes arriving from the PC into frames, whatever pieces they come in. A byte that cannot
// start a frame is skipped, as a display skips line noise, and the search goes on from the next byte.
class FrameAssembler
{
public:
    void feed(std::span<const std::uint8_t> bytes, std::vector<SimFrame>& frames, Bytes& skipped);
    void clear() { m_buffer.clear(); }
    std::size_t pendingBytes() const { return m_buffer.size(); }

private:
    Bytes m_buffer;
};

} // namespace ordalis::sim
