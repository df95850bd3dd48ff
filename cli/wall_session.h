#pragma once

#include "app/ctavrin_app.h"
#include "platform/fake_host_addresses.h"
#include "platform/network_host_addresses.h"
#include "platform/prompts.h"
#include "platform/qt_lan_connection.h"
#include "platform/qt_serial_port.h"
#include "platform/steady_clock.h"

#include <QTemporaryDir>

#include <ostream>
#include <string>

namespace ordalis::cli {

// The wall and the link the global options describe.
struct WallOptions
{
    int columns = 3;
    int rows = 3;
    bool bottomLeft = true;
    std::string serialPath; // a serial device: the chain on a COM port
    std::string lan; // ADDRESS:PORT of the first display's module
};

// Message boxes of the core become lines on the error stream.
class StreamPrompts final : public Prompts
{
public:
    explicit StreamPrompts(std::ostream& err) : m_err(err) { }
    PromptAnswer showMessage(const MessagePrompt& prompt) override;
    std::optional<QString> chooseFile(const FilePrompt&) override { return std::nullopt; }

private:
    std::ostream& m_err;
};

// The application object on the real services, set up for the wall and link of the options.
class WallSession
{
public:
    WallSession(const WallOptions& options, int modelRow, std::ostream& err);
    ~WallSession();

    // Opens the link: for LAN, waits (up to 3 s) until the connection is usable. False with a
    // message on the error stream when it cannot.
    bool open();

    CTavrinApp& app() { return m_app; }
    Clock& clock() { return m_clock; }

private:
    WallOptions m_options;
    std::ostream& m_err;
    QTemporaryDir m_dataFolder;
    SteadyClock m_clock;
    StreamPrompts m_prompts;
    QtSerialPortFactory m_serialPorts {m_clock};
    QtLanConnectionFactory m_lanConnections {m_clock};
    NetworkHostAddresses m_hosts;
    CTavrinApp m_app;
};

} // namespace ordalis::cli
