#include "sim/frame_assembler.h"

namespace ordalis::sim {

namespace {

constexpr std::uint8_t kStart = 0x07;
constexpr std::uint8_t kEnd = 0x08;
constexpr std::size_t kCodeOffset = 3;

bool isCodeByte(std::uint8_t b)
{
    return (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9');
}

enum class Match { Frame, NotAFrame, NeedMore };

Match matchAt(const Bytes& buffer, std::size_t pos, std::size_t& length)
{
    const std::size_t available = buffer.size() - pos;
    if (available < 3) {
        return Match::NeedMore;
    }
    const std::uint8_t kind = buffer[pos + 2];
    if (kind != std::uint8_t(FrameKind::Read) && kind != std::uint8_t(FrameKind::Write)) {
        return Match::NotAFrame;
    }
    length = kind == std::uint8_t(FrameKind::Read) ? 7 : 8;
    for (std::size_t i = kCodeOffset; i < kCodeOffset + 3 && i < available; ++i) {
        if (!isCodeByte(buffer[pos + i])) {
            return Match::NotAFrame;
        }
    }
    if (available < length) {
        return Match::NeedMore;
    }
    return buffer[pos + length - 1] == kEnd ? Match::Frame : Match::NotAFrame;
}

} // namespace

void FrameAssembler::feed(std::span<const std::uint8_t> bytes, std::vector<SimFrame>& frames, Bytes& skipped)
{
    m_buffer.insert(m_buffer.end(), bytes.begin(), bytes.end());
    std::size_t pos = 0;
    while (pos < m_buffer.size()) {
        if (m_buffer[pos] != kStart) {
            skipped.push_back(m_buffer[pos++]);
            continue;
        }
        std::size_t length = 0;
        const Match match = matchAt(m_buffer, pos, length);
        if (match == Match::NeedMore) {
            break;
        }
        if (match == Match::NotAFrame) {
            skipped.push_back(m_buffer[pos++]);
            continue;
        }
        SimFrame frame;
        frame.monitorId = m_buffer[pos + 1];
        frame.kind = FrameKind(m_buffer[pos + 2]);
        frame.code.assign(
            m_buffer.begin() + long(pos + kCodeOffset), m_buffer.begin() + long(pos + kCodeOffset + 3));
        if (frame.kind == FrameKind::Write) {
            frame.value = m_buffer[pos + 6];
        }
        frame.bytes.assign(m_buffer.begin() + long(pos), m_buffer.begin() + long(pos + length));
        frames.push_back(std::move(frame));
        pos += length;
    }
    m_buffer.erase(m_buffer.begin(), m_buffer.begin() + long(pos));
}

} // namespace ordalis::sim
