#pragma once

// What the online commands share: the connection options, and the application object on the
// real serial port and sockets with the exchange the program uses.
#include "app/ctavrin_app.h"
#include "cli_command.h"
#include "link/command_exchange.h"
#include "platform/network_host_addresses.h"
#include "platform/prompts.h"
#include "platform/qt_lan_connection.h"
#include "platform/qt_serial_port.h"
#include "platform/steady_clock.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace ordalis::cli {

// The options of "--opt VALUE" or "--opt=VALUE" form that a command takes besides the
// connection options, and the switches ("--json").
struct OptionNames
{
    std::vector<std::string> valued;
    std::vector<std::string> switches;
};

struct OnlineOptions
{
    ConnectionKind kind = ConnectionKind::Serial;
    QString serialDevice; // a path, or empty for a "Com Port" number
    int comPort = 0;
    std::vector<QString> hosts; // kinds 1 and 3: one; kind 2: one per Monitor ID
    int telnetPort = 23;
    bool usrModule = false; // "--lan-type usr": port 8899
    int columns = 0; // 0: not given
    int rows = 0;
    bool json = false;
    std::vector<std::pair<std::string, std::string>> extra; // the command's own valued options
    std::vector<std::string> positional;

    // The value of a command's own option, or empty.
    std::optional<std::string> option(const std::string& name) const;
};

// Splits the arguments; false after a usage error has been reported.
bool parseOnlineOptions(const CliContext& context, const std::vector<std::string>& args,
    const OptionNames& names, OnlineOptions& out);

// "3C", "07 01 00": upper-case hex bytes separated by spaces.
std::string hexBytes(const std::uint8_t* bytes, std::size_t size);
// A JSON string literal.
std::string jsonString(const std::string& text);

// Message boxes have no screen here: their text goes to stderr.
class StderrPrompts final : public Prompts
{
public:
    explicit StderrPrompts(std::ostream& err) : m_err(err) { }
    PromptAnswer showMessage(const MessagePrompt& prompt) override;
    std::optional<QString> chooseFile(const FilePrompt&) override { return std::nullopt; }

private:
    std::ostream& m_err;
};

class OnlineSession
{
public:
    static constexpr int kConnectWaitMs = 2000;

    OnlineSession(const CliContext& context, const OnlineOptions& options);
    ~OnlineSession();

    // Over LAN: the connection keeper makes the connections, then the event loop runs until each
    // is usable or has failed, at most 2 s. Nothing to do on the serial link.
    void connect();

    // Collects what arrives on the link until listenMs have passed: on the serial port, or on the
    // connection that a raw frame for monitorId went out on.
    std::vector<std::uint8_t> collect(std::uint8_t monitorId, int listenMs);

    // Reports a failed exchange (LastErrorText, or the JSON form) and gives kExitFailed.
    int failed();

    CTavrinApp& app() { return m_app; }
    CommandExchange& exchange() { return m_exchange; }

private:
    const CliContext& m_context;
    const OnlineOptions& m_options;
    SteadyClock m_clock;
    StderrPrompts m_prompts;
    std::unique_ptr<SerialPortFactory> m_serialPorts;
    QtLanConnectionFactory m_lanConnections {m_clock};
    NetworkHostAddresses m_hosts;
    CTavrinApp m_app;
    CommandExchange m_exchange {m_app};
};

} // namespace ordalis::cli
