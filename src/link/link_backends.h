#pragma once

#include "link/exchange_backend.h"

namespace ordalis {

class CTavrinApp;

// The serial COM port to the first display of the chain.
class SerialBackend final : public ExchangeBackend
{
public:
    static constexpr std::int64_t kPauseAfterWriteMs = 10;
    static constexpr std::int64_t kPauseAfterRawMs = 50;

    explicit SerialBackend(CTavrinApp& app) : m_app(app) { }

    Readiness prepare(std::uint8_t monitorId, int openMode) override;
    bool send(int display, std::span<const std::uint8_t> frame, FrameUse use) override;
    bool receive(int display, std::span<std::uint8_t> bytes) override;
    WriteToAll writeToAll(CommandCode) const override { return WriteToAll::AwaitAnyReply; }
    QString sendFailure(int, FrameUse) const override { return {}; }
    QString missingAcknowledgement(int) const override;
    QString wrongAcknowledgement(int) const override;
    QString readFailure() const override;

private:
    CTavrinApp& m_app;
};

// One LAN connection to the first display's module (the wired and the wireless kind).
class SingleLanBackend final : public ExchangeBackend
{
public:
    explicit SingleLanBackend(CTavrinApp& app) : m_app(app) { }

    Readiness prepare(std::uint8_t monitorId, int openMode) override;
    bool send(int display, std::span<const std::uint8_t> frame, FrameUse use) override;
    bool receive(int display, std::span<std::uint8_t> bytes) override;
    WriteToAll writeToAll(CommandCode) const override { return WriteToAll::Unacknowledged; }
    QString sendFailure(int display, FrameUse use) const override;
    QString missingAcknowledgement(int display) const override;
    QString wrongAcknowledgement(int) const override;
    QString readFailure() const override;

private:
    CTavrinApp& m_app;
};

// One LAN connection per display, each to its own module.
class EachLanBackend final : public ExchangeBackend
{
public:
    explicit EachLanBackend(CTavrinApp& app) : m_app(app) { }

    Readiness prepare(std::uint8_t monitorId, int openMode) override;
    bool send(int display, std::span<const std::uint8_t> frame, FrameUse use) override;
    bool receive(int display, std::span<std::uint8_t> bytes) override;
    // CID numbers the displays: its target byte names a display as it is.
    WriteToAll writeToAll(CommandCode code) const override;
    bool repliesPerDisplay() const override { return true; }
    bool chained() const override { return false; }
    QString sendFailure(int display, FrameUse use) const override;
    QString missingAcknowledgement(int display) const override;
    QString wrongAcknowledgement(int display) const override;
    QString readFailure() const override;
    // The connection keeper rebuilds the connection of a display that did not answer.
    void acknowledgementMissed(int display) override;

private:
    CTavrinApp& m_app;
};

} // namespace ordalis
