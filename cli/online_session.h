#pragma once

// What the commands that talk to displays share: the connection and wall options, and the
// application object on the real serial port and sockets with the exchange the program uses.
#include "app/ctavrin_app.h"
#include "cli_command.h"
#include "link/command_exchange.h"
#include "link/connection_keeper.h"
#include "platform/event_loop_waiter.h"
#include "platform/host_addresses.h"
#include "platform/prompts.h"
#include "platform/qt_datagram_socket.h"
#include "platform/qt_lan_connection.h"
#include "platform/serial_port.h"
#include "platform/steady_clock.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace ordalis::cli {

// The connection and wall options, as the help texts list them.
inline constexpr std::string_view kLinkOptionLines
    = "  --serial DEVICE|COMN        a serial device, or \"Com Port\" N found as the program finds it\n"
      "                              (<data folder>/ports/COMN, then /dev/ttyS*, ttyUSB*, ttyACM*)\n"
      "  --lan HOST[:PORT]           one LAN connection to the first display's module (PORT 23)\n"
      "  --wifi HOST[:PORT]          one wireless connection, handled as --lan\n"
      "  --lan-each HOST[:PORT],...  one LAN connection per display, in Monitor ID order, one PORT\n"
      "  --lan-type usr|build-in     the modules' kind: usr modules are reached at port 8899\n"
      "                              (default build-in)\n";
inline constexpr std::string_view kWallOptionLines
    = "  --wall CxR                  the wall's columns and rows, 1-10 each (default 3x3; with\n"
      "                              --lan-each one row of its displays, and C x R must match them)\n"
      "  --bottom-left, --top-left   where display 1 sits (default bottom left)\n"
      "  --model ROW                 \"Display Model\" row, 0-6 (default 0)\n";

// The value of the option at args[i], given as "--opt=VALUE" or as the next argument (i then
// moves on to it); nothing when there is none.
std::optional<std::string> takeOptionValue(const std::vector<std::string>& args, std::size_t& i);

// Options main takes before a command's name and passes on to the command.
bool isLinkOrWallSwitch(std::string_view name);
bool isLinkOrWallValued(std::string_view name);

// The options of "--opt VALUE" or "--opt=VALUE" form that a command takes besides the
// connection and wall options, and its switches ("--json").
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
    int columns = 0; // never 0 after parsing
    int rows = 0;
    bool bottomLeft = true;
    int modelRow = 0;
    QStringList localAddresses; // the host's own when empty
    bool json = false;
    std::vector<std::pair<std::string, std::string>> extra; // the command's own options
    std::vector<std::string> positional;

    // The value of a command's own valued option, or nothing.
    std::optional<std::string> option(const std::string& name) const;
    // A command's own switch was given.
    bool has(const std::string& name) const { return option(name).has_value(); }
};

// Splits the arguments (main puts the options given before the command first); false after a
// usage error has been reported.
bool parseOnlineOptions(const CliContext& context, const std::vector<std::string>& args,
    const OptionNames& names, OnlineOptions& out);

// "3C", "07 01 00": upper-case hex bytes separated by spaces.
std::string hexBytes(const std::uint8_t* bytes, std::size_t size);
// A JSON string literal.
std::string jsonString(const std::string& text);
// A decimal or 0x-prefixed hexadecimal number within [low, high].
bool parseNumber(const std::string& text, int low, int high, int& value);

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

// The application object on the real services, set up as the options describe the wall and
// the link, and as the program's start-up leaves it ("Project ID" 24, no message boxes).
class OnlineSession
{
public:
    static constexpr int kConnectWaitMs = 2000;
    static constexpr int kKeeperPeriodMs = 1000; // the home page's timer

    OnlineSession(const CliContext& context, const OnlineOptions& options);
    ~OnlineSession();

    // Over LAN: the connection keeper makes the connections, then the event loop runs until each
    // is usable or has failed, at most 2 s. Nothing to do on the serial link.
    void connect();

    // Lets ms pass in the event loop, sleeping between events; over LAN the connection keeper
    // runs every second meanwhile, as the home page's timer runs it under the program's dialogs.
    void pause(int ms);

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
    // Waits run the event loop without a window: the sockets are served meanwhile.
    EventLoopWaiter m_waiter {m_clock};
    StderrPrompts m_prompts;
    std::unique_ptr<SerialPortFactory> m_serialPorts;
    QtLanConnectionFactory m_lanConnections {m_waiter};
    std::unique_ptr<HostAddresses> m_hosts;
    QtDatagramSocketFactory m_datagrams {m_waiter};
    CTavrinApp m_app;
    CommandExchange m_exchange {m_app};
    ConnectionKeeper m_keeper {m_app};
    std::int64_t m_keeperDueMs = 0;
};

} // namespace ordalis::cli
