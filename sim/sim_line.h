#pragma once

#include "sim/frame_assembler.h"
#include "sim/line_output.h"

#include <string>
#include <vector>

namespace ordalis::sim {

// One way into the chain: the pseudo-terminal or one TCP connection. It carries frames from the PC
// to the displays it reaches and their answers back.
class SimLine
{
public:
    SimLine(std::string name, int fd, bool socket, std::vector<int> reach, std::chrono::nanoseconds perByte);
    ~SimLine();
    SimLine(const SimLine&) = delete;
    SimLine& operator=(const SimLine&) = delete;

    const std::string& name() const { return m_name; }
    int fd() const { return m_fd; }
    const std::vector<int>& reach() const { return m_reach; }
    FrameAssembler& assembler() { return m_assembler; }
    LineOutput& output() { return m_output; }

    // Everything the PC has sent so far; false when the other end has gone.
    bool readAvailable(Bytes& in);
    // Hands the due bytes to the descriptor; false when the other end has gone.
    bool write(const Bytes& bytes);
    bool flush();
    bool hasUnwritten() const { return !m_unwritten.empty(); }

    int frames() const { return m_frames; }
    void countFrame() { ++m_frames; }
    bool closing() const { return m_closeWhenDrained; }
    void closeWhenDrained() { m_closeWhenDrained = true; }
    bool drained() const { return m_unwritten.empty() && m_output.idle(); }

private:
    std::string m_name;
    int m_fd;
    bool m_socket;
    std::vector<int> m_reach;
    FrameAssembler m_assembler;
    LineOutput m_output;
    Bytes m_unwritten;
    int m_frames = 0;
    bool m_closeWhenDrained = false;
};

} // namespace ordalis::sim
