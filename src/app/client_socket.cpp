#include "app/client_socket.h"

#include "platform/prompts.h"
#include "platform/waiter.h"

#include <span>

namespace ordalis {

CClientSocket::CClientSocket(std::unique_ptr<LanConnection> transport, Prompts* prompts, Waiter* waiter)
    : m_transport(std::move(transport)), m_prompts(prompts), m_waiter(waiter)
{
    m_transport->setListener(this);
}

CClientSocket::~CClientSocket()
{
    if (m_waiter)
        m_waiter->forget(this);
    m_transport->setListener(nullptr);
    m_transport->close();
}

void CClientSocket::deliver(std::function<void()> event)
{
    if (m_waiter)
        m_waiter->deliver(this, std::move(event));
    else
        event();
}

void CClientSocket::onReadable()
{
    if (m_receiveHeld)
        return;
    m_receiveHeld = true;
    deliver([this] {
        m_receiveHeld = false;
        OnReceive();
    });
}

void CClientSocket::OnConnect(int errorCode)
{
    writeIndex = 0;
    readIndex = 0;
    connectedFlag = 1;
    state = errorCode != 0 ? kStateFailed : kStateConnected;
}

void CClientSocket::OnSend()
{
    state = kStateWritable;
}

void CClientSocket::OnReceive()
{
    // New bytes overwrite unread ones once the ring has gone round: the console reads what
    // is recent, and the ring never grows.
    dataArrivedFlag = 1;
    const std::int64_t got = m_transport->read(
        std::span<std::uint8_t>(receiveRing).subspan(static_cast<std::size_t>(writeIndex)));
    if (got > 0)
        writeIndex += static_cast<std::int32_t>(got);
    if (writeIndex >= kRingSize) {
        const std::int64_t wrapped = m_transport->read(receiveRing);
        writeIndex = wrapped > 0 ? static_cast<std::int32_t>(wrapped) % kRingSize : 0;
    }
}

void CClientSocket::OnOutOfBandData()
{
    if (m_prompts)
        m_prompts->message(QStringLiteral("OOB received"));
}

void CClientSocket::OnClose()
{
    connectedFlag = 0;
    state = kStateNew;
}

std::vector<std::uint8_t> CClientSocket::takeBytes(int count)
{
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < count; ++i) {
        bytes.push_back(receiveRing[static_cast<std::size_t>(readIndex)]);
        readIndex = (readIndex + 1) % kRingSize;
    }
    return bytes;
}

} // namespace ordalis
