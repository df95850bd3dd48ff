#include "sim/line_output.h"

#include <algorithm>

namespace ordalis::sim {

LineOutput::LineOutput(std::chrono::nanoseconds perByte) : m_perByte(perByte)
{
}

void LineOutput::push(Piece piece)
{
    if (piece.bytes.empty() && !piece.note) {
        return;
    }
    m_queue.push_back(std::move(piece));
}

LineOutput::Time LineOutput::startOf(const Piece& piece) const
{
    return m_sent > 0 ? m_frontStart : std::max(piece.notBefore, m_lineFree + piece.gapBefore);
}

void LineOutput::take(Time now, Bytes& out, std::vector<Started>& started)
{
    while (!m_queue.empty()) {
        Piece& piece = m_queue.front();
        if (m_sent == 0) {
            const Time start = startOf(piece);
            if (start > now) {
                return;
            }
            m_frontStart = start;
            if (piece.note) {
                started.push_back({std::move(*piece.note), start});
                piece.note.reset();
            }
        }
        std::size_t due = piece.bytes.size();
        if (m_perByte.count() > 0) {
            // Byte i goes out at start + i character times.
            due = std::min<std::size_t>(due, std::size_t((now - m_frontStart) / m_perByte) + 1);
            due = std::max(due, m_sent);
        }
        out.insert(out.end(), piece.bytes.begin() + long(m_sent), piece.bytes.begin() + long(due));
        m_sent = due;
        if (m_sent < piece.bytes.size()) {
            return;
        }
        m_lineFree = m_frontStart + m_perByte * long(piece.bytes.size());
        m_sent = 0;
        m_queue.pop_front();
    }
}

std::optional<LineOutput::Time> LineOutput::nextDue() const
{
    if (m_queue.empty()) {
        return std::nullopt;
    }
    if (m_sent > 0) {
        return m_frontStart + m_perByte * long(m_sent);
    }
    return startOf(m_queue.front());
}

void LineOutput::clear()
{
    m_queue.clear();
    m_sent = 0;
}

} // namespace ordalis::sim
