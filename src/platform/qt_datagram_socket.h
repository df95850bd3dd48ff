#pragma once

#include "platform/datagram_socket.h"

namespace ordalis {

class Clock;

// The real UDP sockets, on QUdpSocket. Waits sleep in the kernel until the deadline that the
// clock sets.
class QtDatagramSocketFactory final : public DatagramSocketFactory
{
public:
    explicit QtDatagramSocketFactory(Clock& clock) : m_clock(clock) { }
    std::unique_ptr<DatagramSocket> create() override;

private:
    Clock& m_clock;
};

} // namespace ordalis
