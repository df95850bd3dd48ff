#include "online_session.h"

#include "app/data_folder.h"
#include "app/display_list.h"
#include "link/connection_wait.h"
#include "link/lan_link.h"
#include "platform/network_host_addresses.h"
#include "platform/qt_serial_port.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <span>

namespace ordalis::cli {

namespace {

constexpr int kMaxWallSide = 10; // as the layout wizard offers
constexpr int kModelRows = 7;
// The wall of a first run of the program.
constexpr int kDefaultColumns = 3;
constexpr int kDefaultRows = 3;
constexpr std::uint8_t kStartProjectId = 24;

bool parseInt(const std::string& text, int low, int high, int& value)
{
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && value >= low && value <= high;
}

constexpr std::string_view kLinkOptions[] = {"--serial", "--lan", "--wifi", "--lan-each"};
constexpr std::string_view kValuedOptions[]
    = {"--serial", "--lan", "--wifi", "--lan-each", "--lan-type", "--wall", "--model"};
constexpr std::string_view kSwitches[] = {"--bottom-left", "--top-left"};

bool isOneOf(std::string_view name, std::span<const std::string_view> names)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

// HOST[:PORT], HOST a dotted IPv4 address as the program connects to no other.
bool parseHost(const std::string& text, QString& host, int& port)
{
    const std::size_t colon = text.find(':');
    host = QString::fromStdString(text.substr(0, colon));
    port = 23;
    if (colon != std::string::npos && !parseInt(text.substr(colon + 1), 1, 65535, port)) {
        return false;
    }
    return LanLink::IsValidIpAddress(host);
}

// CxR, each 1-10.
bool parseWall(const std::string& text, int& columns, int& rows)
{
    const std::size_t x = text.find_first_of("xX");
    return x != std::string::npos && parseInt(text.substr(0, x), 1, kMaxWallSide, columns)
        && parseInt(text.substr(x + 1), 1, kMaxWallSide, rows);
}

bool applyConnectionOption(const CliContext& context, const std::string& name, const std::string& value,
    OnlineOptions& out, int& links)
{
    if (isOneOf(name, kLinkOptions)) {
        ++links;
    }
    if (name == "--serial") {
        out.kind = ConnectionKind::Serial;
        if (value.size() > 3 && (value.starts_with("COM") || value.starts_with("com"))
            && parseInt(value.substr(3), 1, 255, out.comPort)) {
            return true;
        }
        out.serialDevice = QString::fromStdString(value);
        if (value.empty()) {
            usageError(context, "--serial needs a device or COMN");
            return false;
        }
        return true;
    }
    if (name == "--lan" || name == "--wifi") {
        out.kind = name == "--lan" ? ConnectionKind::Lan : ConnectionKind::Wireless;
        QString host;
        if (!parseHost(value, host, out.telnetPort)) {
            usageError(context, name + " takes HOST[:PORT] with a dotted IPv4 HOST, not '" + value + "'");
            return false;
        }
        out.hosts = {host};
        return true;
    }
    if (name == "--lan-each") {
        out.kind = ConnectionKind::LanEach;
        out.hosts.clear();
        std::size_t from = 0;
        int firstPort = -1;
        for (;;) {
            const std::size_t comma = value.find(',', from);
            const std::string item
                = value.substr(from, comma == std::string::npos ? std::string::npos : comma - from);
            QString host;
            int port = 23;
            if (!parseHost(item, host, port)) {
                usageError(
                    context, "--lan-each takes HOST[:PORT],... with dotted IPv4 hosts, not '" + item + "'");
                return false;
            }
            // The program has one "Telnet Port" for every display.
            if (firstPort >= 0 && port != firstPort) {
                usageError(context, "--lan-each: every display is reached at the same port");
                return false;
            }
            firstPort = port;
            out.hosts.push_back(host);
            if (comma == std::string::npos) {
                break;
            }
            from = comma + 1;
        }
        out.telnetPort = firstPort;
        return true;
    }
    if (name == "--lan-type") {
        if (value != "usr" && value != "build-in") {
            usageError(context, "--lan-type is usr or build-in, not '" + value + "'");
            return false;
        }
        out.usrModule = value == "usr";
        return true;
    }
    if (name == "--model") {
        if (!parseNumber(value, 0, kModelRows - 1, out.modelRow)) {
            usageError(context, "--model takes a row from 0 to 6, not '" + value + "'");
            return false;
        }
        return true;
    }
    if (!parseWall(value, out.columns, out.rows)) {
        usageError(context, "--wall takes CxR with 1 to 10 columns and rows, not '" + value + "'");
        return false;
    }
    return true;
}

// Names the given host addresses in place of the host's own.
class ListedHostAddresses final : public HostAddresses
{
public:
    explicit ListedHostAddresses(QStringList addresses) : m_addresses(std::move(addresses)) { }
    QStringList ipv4Addresses() override { return m_addresses; }

private:
    QStringList m_addresses;
};

// A serial port that opens the device the command line names, whatever "Com Port" says.
class DevicePort final : public SerialPort
{
public:
    DevicePort(Waiter& waiter, QString device) : m_port(waiter), m_device(std::move(device)) { }
    bool open(const QString&, int inputQueue, int outputQueue) override
    {
        return m_port.open(m_device, inputQueue, outputQueue);
    }
    void close() override { m_port.close(); }
    bool isOpen() const override { return m_port.isOpen(); }
    bool purge() override { return m_port.purge(); }
    bool write(std::span<const std::uint8_t> bytes, std::int64_t limitMs) override
    {
        return m_port.write(bytes, limitMs);
    }
    int read(std::span<std::uint8_t> dest, std::int64_t deadlineMs) override
    {
        return m_port.read(dest, deadlineMs);
    }

private:
    QtSerialPort m_port;
    QString m_device;
};

class DevicePortFactory final : public SerialPortFactory
{
public:
    DevicePortFactory(Waiter& waiter, QString device) : m_waiter(waiter), m_device(std::move(device)) { }
    std::unique_ptr<SerialPort> create() override { return std::make_unique<DevicePort>(m_waiter, m_device); }

private:
    Waiter& m_waiter;
    QString m_device;
};

std::unique_ptr<SerialPortFactory> serialPortsFor(Waiter& waiter, const OnlineOptions& options)
{
    if (!options.serialDevice.isEmpty()) {
        return std::make_unique<DevicePortFactory>(waiter, options.serialDevice);
    }
    return std::make_unique<QtSerialPortFactory>(waiter);
}

} // namespace

std::optional<std::string> takeOptionValue(const std::vector<std::string>& args, std::size_t& i)
{
    const std::size_t equals = args[i].find('=');
    if (equals != std::string::npos) {
        return args[i].substr(equals + 1);
    }
    if (i + 1 < args.size()) {
        return args[++i];
    }
    return std::nullopt;
}

bool isLinkOrWallSwitch(std::string_view name)
{
    return isOneOf(name, kSwitches);
}

bool isLinkOrWallValued(std::string_view name)
{
    return isOneOf(name, kValuedOptions);
}

bool parseNumber(const std::string& text, int low, int high, int& value)
{
    int base = 10;
    std::string_view digits = text;
    if (digits.starts_with("0x") || digits.starts_with("0X")) {
        base = 16;
        digits.remove_prefix(2);
    }
    const char* end = digits.data() + digits.size();
    const auto [ptr, ec] = std::from_chars(digits.data(), end, value, base);
    return !digits.empty() && ec == std::errc() && ptr == end && value >= low && value <= high;
}

std::optional<std::string> OnlineOptions::option(const std::string& name) const
{
    for (const auto& [key, value] : extra) {
        if (key == name) {
            return value;
        }
    }
    return std::nullopt;
}

bool parseOnlineOptions(const CliContext& context, const std::vector<std::string>& args,
    const OptionNames& names, OnlineOptions& out)
{
    int links = 0;
    out.modelRow = context.modelRow;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        // "-5" or "-0x10" are not options; nothing the commands take is negative either.
        if (!arg.starts_with("--")) {
            out.positional.push_back(arg);
            continue;
        }
        const std::size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        if (isLinkOrWallSwitch(name)) {
            if (equals != std::string::npos) {
                usageError(context, name + " takes no value");
                return false;
            }
            out.bottomLeft = name == "--bottom-left";
            continue;
        }
        if (std::find(names.switches.begin(), names.switches.end(), name) != names.switches.end()) {
            if (equals != std::string::npos) {
                usageError(context, name + " takes no value");
                return false;
            }
            out.json = out.json || name == "--json";
            out.extra.emplace_back(name, "");
            continue;
        }
        const bool own = std::find(names.valued.begin(), names.valued.end(), name) != names.valued.end();
        if (!own && !isLinkOrWallValued(name)) {
            usageError(context, "unknown option '" + name + "'");
            return false;
        }
        const std::optional<std::string> value = takeOptionValue(args, i);
        if (!value) {
            usageError(context, name + " needs a value");
            return false;
        }
        if (own) {
            out.extra.emplace_back(name, *value);
        } else if (!applyConnectionOption(context, name, *value, out, links)) {
            return false;
        }
    }
    if (links != 1) {
        usageError(context,
            links == 0 ? "no connection: give --serial, --lan, --wifi or --lan-each"
                       : "give one connection only");
        return false;
    }
    if (out.kind == ConnectionKind::LanEach) {
        const int displays = int(out.hosts.size());
        if (out.columns == 0) {
            if (displays > kMaxWallSide) {
                usageError(context, "--lan-each with more than 10 displays needs --wall CxR");
                return false;
            }
            out.columns = displays;
            out.rows = 1;
        } else if (out.columns * out.rows != displays) {
            usageError(context, "--wall must hold exactly the displays of --lan-each");
            return false;
        }
    }
    if (out.columns == 0) {
        out.columns = kDefaultColumns;
        out.rows = kDefaultRows;
    }
    return true;
}

std::string hexBytes(const std::uint8_t* bytes, std::size_t size)
{
    std::string text;
    for (std::size_t i = 0; i < size; ++i) {
        char pair[4];
        std::snprintf(pair, sizeof pair, "%02X", bytes[i]);
        if (i > 0) {
            text += ' ';
        }
        text += pair;
    }
    return text;
}

std::string jsonString(const std::string& text)
{
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04X", c);
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

PromptAnswer StderrPrompts::showMessage(const MessagePrompt& prompt)
{
    m_err << "ordalis-cli: " << prompt.text.toStdString() << '\n';
    return prompt.buttons == PromptButtons::YesNo || prompt.buttons == PromptButtons::YesNoCancel
        ? PromptAnswer::Yes
        : PromptAnswer::Ok;
}

OnlineSession::OnlineSession(const CliContext& context, const OnlineOptions& options)
    : m_context(context),
      m_options(options),
      m_prompts(context.err),
      m_serialPorts(serialPortsFor(m_waiter, options)),
      m_hosts(options.localAddresses.isEmpty()
              ? std::unique_ptr<HostAddresses>(std::make_unique<NetworkHostAddresses>())
              : std::make_unique<ListedHostAddresses>(options.localAddresses)),
      m_app(Services {&m_clock, &m_waiter, &m_prompts, m_serialPorts.get(), &m_lanConnections, m_hosts.get(),
          &m_datagrams})
{
    // As the pages call it: failures come back as LastErrorText, never as a box.
    m_app.ShowErrorBoxes = false;
    m_app.settings.ProjectId.setBoth(kStartProjectId);
    m_app.settings.DisplayModel.setBoth(std::uint8_t(options.modelRow));
    m_app.ConnectionKind = std::uint8_t(options.kind);
    m_app.WallColumns = std::uint8_t(options.columns);
    m_app.WallRows = std::uint8_t(options.rows);
    m_app.FirstDisplayAtBottom = options.bottomLeft ? 1 : 0;
    m_app.settings.TelnetPort.setBoth(options.telnetPort);
    m_app.settings.LanType.setBoth(options.usrModule ? 1 : 0);
    if (options.kind == ConnectionKind::Serial) {
        m_app.settings.ComPort.setBoth(std::uint8_t(options.serialDevice.isEmpty() ? options.comPort : 1));
        // COMN resolves as in the program: a link in the data folder first, then the device table.
        if (options.serialDevice.isEmpty() && options.comPort != 0) {
            m_app.DataFolder = BuildDataFolder();
        }
        return;
    }
    m_app.settings.IpAddress.setBoth(options.hosts.front());
    for (std::size_t i = 0; i < options.hosts.size() && i < m_app.IpTable.size(); ++i) {
        m_app.IpTable[i] = options.hosts[i];
    }
    BuildDisplayList(m_app);
}

OnlineSession::~OnlineSession()
{
    m_app.DisplayList.clear();
    m_app.ComPortHandle.reset();
}

void OnlineSession::connect()
{
    if (m_options.kind == ConnectionKind::Serial) {
        return;
    }
    m_keeper.LanWatchdog();
    m_keeperDueMs = m_clock.nowMs() + kKeeperPeriodMs;
    waitForConnections(m_app, kConnectWaitMs);
}

void OnlineSession::pause(int ms)
{
    const QDeadlineTimer deadline(ms, Qt::PreciseTimer);
    const bool lan = m_options.kind != ConnectionKind::Serial;
    // The timer only wakes the loop; every event wakes it too.
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    for (;;) {
        if (lan && m_clock.nowMs() >= m_keeperDueMs) {
            m_keeper.LanWatchdog();
            m_keeperDueMs = m_clock.nowMs() + kKeeperPeriodMs;
        }
        const std::int64_t left = deadline.remainingTime();
        if (left <= 0) {
            break;
        }
        wake.start(int(lan ? std::min<std::int64_t>(left, m_keeperDueMs - m_clock.nowMs()) : left));
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    QCoreApplication::processEvents();
}

std::vector<std::uint8_t> OnlineSession::collect(std::uint8_t monitorId, int listenMs)
{
    std::vector<std::uint8_t> received;
    const std::int64_t deadline = m_clock.nowMs() + listenMs;
    std::array<std::uint8_t, 256> buffer {};
    if (m_options.kind == ConnectionKind::Serial) {
        while (m_app.ComPortHandle) {
            const int got = m_app.ComPortHandle->read(buffer, deadline);
            if (got <= 0) {
                break;
            }
            received.insert(received.end(), buffer.begin(), buffer.begin() + got);
        }
        return received;
    }
    IPixy* record = LanLink(m_app).record(monitorId);
    if (!record || !record->connection) {
        return received;
    }
    LanConnection& connection = record->connection->transport();
    while (connection.waitForReadable(deadline)) {
        const std::int64_t got = connection.read(buffer);
        if (got <= 0) {
            break;
        }
        received.insert(received.end(), buffer.begin(), buffer.begin() + got);
    }
    return received;
}

int OnlineSession::failed()
{
    const std::string text = m_app.LastErrorText.isEmpty()
        ? std::string("the link could not carry the frame (no failure text)")
        : m_app.LastErrorText.toStdString();
    if (m_options.json) {
        m_context.out << "{\"ok\":false,\"error\":" << jsonString(text) << "}\n";
    } else {
        m_context.err << text << '\n';
    }
    return kExitFailed;
}

} // namespace ordalis::cli
