#pragma once

#include "sim/sim_display.h"
#include "tests/support/hex_bytes.h"

#include <string>
#include <string_view>

namespace ordalis::sim::test {

// The PC's end of a pseudo-terminal or a TCP connection, written with plain POSIX calls. Every wait
// sleeps in poll() until its deadline.
class Peer
{
public:
    // Opens the pseudo-terminal raw and drops anything already queued, as a serial port does.
    static Peer serial(const std::string& path);
    static Peer tcp(const std::string& address, int port);

    Peer() = default;
    ~Peer();
    Peer(Peer&& other) noexcept;
    Peer& operator=(Peer&& other) noexcept;

    bool valid() const { return m_fd >= 0; }
    int fd() const { return m_fd; }
    int error() const { return m_error; } // errno of a failed open or connect
    void close();

    bool send(const Bytes& bytes);
    bool send(std::string_view hexText) { return send(ordalis::test::hex(hexText)); }
    // Reads until 'count' bytes have come or the time is up.
    Bytes read(std::size_t count, int timeoutMs = 2000);
    std::string readHex(std::size_t count, int timeoutMs = 2000)
    {
        return ordalis::test::toHex(read(count, timeoutMs));
    }
    // Everything that comes within 'ms'.
    std::string quietFor(int ms) { return ordalis::test::toHex(read(4096, ms)); }
    // The other end closed the connection within the time.
    bool closedByPeer(int timeoutMs = 2000);

private:
    int m_fd = -1;
    int m_error = 0;
};

} // namespace ordalis::sim::test
