#pragma once

#include "sim/sim_display.h"

#include <chrono>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace ordalis::sim {

// The bytes a line still has to hand to the PC, in order, each piece no earlier than it is due and,
// when the line is paced, one byte per character time. Pure timing: the caller passes the time.
class LineOutput
{
public:
    using Clock = std::chrono::steady_clock;
    using Time = Clock::time_point;

    // What the traffic log says about a piece once its first byte is on the line.
    struct Note
    {
        std::string direction;
        Bytes bytes;
    };

    struct Piece
    {
        Bytes bytes;
        Time notBefore {};
        // Silence kept after the previous piece has left the line.
        std::chrono::microseconds gapBefore {0};
        std::optional<Note> note;
    };

    struct Started
    {
        Note note;
        Time at;
    };

    // perByte 0: not paced, a piece leaves the line at once.
    explicit LineOutput(std::chrono::nanoseconds perByte = {});

    void push(Piece piece);
    // Appends the bytes due at 'now' to 'out' and the notes of the pieces that started.
    void take(Time now, Bytes& out, std::vector<Started>& started);
    // When the next byte is due; none when nothing waits.
    std::optional<Time> nextDue() const;
    bool idle() const { return m_queue.empty(); }
    void clear();

private:
    Time startOf(const Piece& piece) const;

    std::chrono::nanoseconds m_perByte;
    std::deque<Piece> m_queue;
    std::size_t m_sent = 0;
    Time m_frontStart {};
    Time m_lineFree {};
};

} // namespace ordalis::sim
