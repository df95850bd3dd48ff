#pragma once

#include "platform/lan_connection.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace ordalis {

class Prompts;
class Waiter;

// One TCP connection to a display's LAN module, with the state the exchange and the
// connection keeper look at. The events arrive from the transport on the GUI thread; those that
// come while the program waits are handled after the wait, so an exchange keeps its reply.
class CClientSocket : public LanConnectionListener
{
public:
    // state values
    static constexpr std::uint8_t kStateNew = 0; // new or closed
    static constexpr std::uint8_t kStateConnected = 255; // connected, not yet reported writable
    static constexpr std::uint8_t kStateFailed = 2; // the connect attempt failed
    static constexpr std::uint8_t kStateWritable = 3; // usable

    static constexpr int kRingSize = 256;

    // prompts shows the out-of-band message box; it may be null (no box). waiter holds the events
    // that come during a wait; null handles them at once.
    CClientSocket(std::unique_ptr<LanConnection> transport, Prompts* prompts, Waiter* waiter = nullptr);
    CClientSocket(const CClientSocket&) = delete;
    CClientSocket& operator=(const CClientSocket&) = delete;
    // Shuts the connection down in both directions.
    virtual ~CClientSocket();

    std::uint8_t connectedFlag = 0;
    std::uint8_t dataArrivedFlag = 0;
    std::uint8_t state = kStateNew;
    std::array<std::uint8_t, kRingSize> receiveRing {};
    std::int32_t writeIndex = 0;
    std::int32_t readIndex = 0;

    LanConnection& transport() { return *m_transport; }

    // Events.
    void OnConnect(int errorCode);
    void OnSend();
    void OnReceive();
    void OnOutOfBandData();
    void OnClose();

    // Ring access for the console.
    bool hasUnreadBytes() const { return writeIndex != readIndex; }
    std::vector<std::uint8_t> takeBytes(int count);

private:
    void onConnected(int error) override
    {
        deliver([this, error] { OnConnect(error); });
    }
    void onWritable() override
    {
        deliver([this] { OnSend(); });
    }
    void onReadable() override;
    void onOutOfBand() override
    {
        deliver([this] { OnOutOfBandData(); });
    }
    void onClosed() override
    {
        deliver([this] { OnClose(); });
    }
    void deliver(std::function<void()> event);

    std::unique_ptr<LanConnection> m_transport;
    Prompts* m_prompts;
    Waiter* m_waiter;
    bool m_receiveHeld = false; // one held readability event stands for all that come meanwhile
};

} // namespace ordalis
