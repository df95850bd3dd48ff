#pragma once

#include "sim/sim_display.h"
#include "sim/sim_frame.h"

#include <span>
#include <vector>

namespace ordalis::sim {

// An answer a display puts on the line; position is its place on the chain, 1 = nearest the PC.
struct Answer
{
    int position = 0;
    Bytes bytes;
};

// The displays of one chain and the rules by which they answer what they hear. No I/O and no time:
// the line that carried the frame decides when the answers go out.
class ChainModel
{
public:
    explicit ChainModel(std::vector<SimDisplay> displays = {});

    int size() const { return int(m_displays.size()); }
    // position 1 ... size()
    SimDisplay& display(int position) { return m_displays.at(std::size_t(position - 1)); }
    const SimDisplay& display(int position) const { return m_displays.at(std::size_t(position - 1)); }
    std::vector<int> allPositions() const;

    // DIV 0x11 arranges the division only when sent to all displays; with this set, also when it
    // is addressed to one display.
    void setArrangeOnAddressedDiv(bool on) { m_arrangeOnAddressedDiv = on; }

    // The displays at 'reach' (chain positions, nearest the PC first) hear 'frame'. Returns their
    // answers in the order they go on the line.
    std::vector<Answer> hear(const SimFrame& frame, std::span<const int> reach);

    // Sets DIV from the display's place in the wall of its MAT: the place follows from the Monitor
    // ID along the chain's serpentine from the first display's corner. Unchanged when the Monitor
    // ID lies outside the matrix.
    static void arrangeDivision(SimDisplay& display, bool fromBottom);

private:
    bool apply(SimDisplay& display, const SimFrame& frame, bool toAll, int& nextId) const;

    std::vector<SimDisplay> m_displays;
    bool m_arrangeOnAddressedDiv = false;
};

} // namespace ordalis::sim
