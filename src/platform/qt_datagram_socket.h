#pragma once

#include "platform/datagram_socket.h"

namespace ordalis {

class Waiter;

// The real UDP sockets, on QUdpSocket. Their waits go through the waiter.
class QtDatagramSocketFactory final : public DatagramSocketFactory
{
public:
    explicit QtDatagramSocketFactory(Waiter& waiter) : m_waiter(waiter) { }
    std::unique_ptr<DatagramSocket> create() override;

private:
    Waiter& m_waiter;
};

} // namespace ordalis
