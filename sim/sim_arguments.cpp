#include "sim/sim_arguments.h"

#include "sim/posix_io.h"
#include "sim/scenario_file.h"

#include <array>
#include <charconv>

namespace ordalis::sim {

namespace {

constexpr std::array kOptions = {
    SimOption {"--help", "", "show this help and exit"},
    SimOption {"--displays", "N", "a chain of N displays (1-100) with Monitor IDs 1 ... N (default 1)"},
    SimOption {"--ids", "A,B,...", "the Monitor IDs in chain order, repeats allowed; sets the chain length"},
    SimOption {
        "--scenario", "FILE", "read the wall, the displays and the faults from a JSON file (sim/README.md)"},
    SimOption {
        "--set", "POS:CODE=HEX", "display POS answers CODE with these bytes, e.g. 5:BRI=3C; repeatable"},
    SimOption {"--model-name", "POS:TEXT",
        "display POS's model name (MNA, 13 bytes, padded with spaces); repeatable"},
    SimOption {"--serial-number", "POS:TEXT",
        "display POS's serial number (SER, 13 bytes, padded with spaces); repeatable"},
    SimOption {"--project", "N", "project number (PJD) of every display (default 24)"},
    SimOption {"--table-version", "N", "table version (RTV) of every display (default 12)"},
    SimOption {"--serial", "", "serve the chain on a raw pseudo-terminal; prints \"serial PATH\""},
    SimOption {"--link", "PATH",
        "also make a symbolic link PATH to the pseudo-terminal (implies --serial); prints \"link PATH\""},
    SimOption {"--lan", "[ADDR:]PORT",
        "one TCP LAN module in front of the chain (ADDR default 127.0.0.1, PORT 0 = any); prints \"lan "
        "ADDR:PORT\""},
    SimOption {"--lan-each", "ADDR:PORT",
        "one TCP module per display: display k on ADDR + k - 1, all on PORT; prints \"lan-each K ADDR:PORT\" "
        "each"},
    SimOption {"--udp", "[ADDR]",
        "answer the discovery request on ADDR (default 127.0.0.255), one answer per LAN module; prints \"udp "
        "ADDR:PORT\""},
    SimOption {"--udp-port", "PORT", "port of the discovery answers (default 48899, 0 = any)"},
    SimOption {
        "--echo", "", "hand every frame from the PC back before its answers, as a chained RS485 line does"},
    SimOption {"--latency", "MS", "delay before a display answers (default 2) ..."},
    SimOption {"--latency-step", "MS", "... plus this much per chain position (default 1)"},
    SimOption {"--no-pacing", "", "write pseudo-terminal answers at once instead of at 115200 baud"},
    SimOption {"--silent", "POS,...", "these displays hear and obey but never answer"},
    SimOption {"--off", "POS,...", "these displays start powered off (they answer POW only)"},
    SimOption {"--split", "N", "answers in pieces of N bytes ..."},
    SimOption {"--split-pause", "MS", "... with this pause between pieces (default 20)"},
    SimOption {"--slow", "MS|POS:MS", "extra latency of every display, or of display POS; repeatable"},
    SimOption {"--garbage", "", "noise bytes before some answers (the 1st, 3rd, 5th, ...)"},
    SimOption {"--garbage-every", "N",
        "noise before every Nth answer instead (1 = every answer; implies --garbage)"},
    SimOption {"--drop-after", "N", "close a TCP connection after its Nth frame has been answered"},
    SimOption {"--refuse", "", "refuse TCP connections (the ports stay bound, nothing listens)"},
    SimOption {"--div-arrange-addressed", "",
        "DIV 0x11 to one display arranges its division too (default: only to all)"},
    SimOption {"--log", "FILE", "traffic log: one line per frame seen or sent, with a millisecond timestamp"},
    SimOption {"--exit-with-parent", "", "end when the process that started the simulator ends"},
};

const SimOption* findOption(std::string_view name)
{
    for (const SimOption& option : kOptions) {
        if (option.name == name) {
            return &option;
        }
    }
    return nullptr;
}

bool toInt(std::string_view text, int low, int high, int& out)
{
    int v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size() || v < low || v > high) {
        return false;
    }
    out = v;
    return true;
}

std::vector<std::string_view> splitList(std::string_view text)
{
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        parts.push_back(text.substr(start, comma == std::string_view::npos ? comma : comma - start));
        if (comma == std::string_view::npos) {
            return parts;
        }
        start = comma + 1;
    }
}

struct Given
{
    std::string name;
    std::string value;
};

class Builder
{
public:
    explicit Builder(SimConfig& config) : m_config(config) { }

    std::string apply(const Given& g);
    std::string position(std::string_view text, int& out) const
    {
        if (!toInt(text, 1, int(m_config.displays.size()), out)) {
            return "no display at position " + std::string(text) + " (the chain has "
                + std::to_string(m_config.displays.size()) + ")";
        }
        return {};
    }
    std::string positions(const Given& g, std::vector<int>& out) const
    {
        for (std::string_view part : splitList(g.value)) {
            int p = 0;
            if (std::string error = position(part, p); !error.empty()) {
                return g.name + ": " + error;
            }
            out.push_back(p);
        }
        return {};
    }

private:
    SimConfig& m_config;
};

std::string endpoint(const Given& g, bool addressRequired, std::optional<Endpoint>& out)
{
    Endpoint e {"127.0.0.1", 0};
    std::string_view port = g.value;
    const std::size_t colon = g.value.rfind(':');
    if (colon != std::string::npos) {
        e.address = g.value.substr(0, colon);
        port = std::string_view(g.value).substr(colon + 1);
    } else if (addressRequired) {
        return g.name + " needs ADDR:PORT, not " + g.value;
    }
    if (!isIpv4(e.address) || !toInt(port, 0, 65535, e.port)) {
        return g.name + ": not an IPv4 address and port: " + g.value;
    }
    out = e;
    return {};
}

std::string Builder::apply(const Given& g)
{
    SimFaults& f = m_config.faults;
    auto number = [&](int low, int high, int& out) -> std::string {
        return toInt(g.value, low, high, out) ? std::string()
                                              : g.name + ": not a number from " + std::to_string(low) + " to "
                + std::to_string(high) + ": " + g.value;
    };
    const std::string& n = g.name;
    if (n == "--set" || n == "--model-name" || n == "--serial-number") {
        const std::size_t colon = g.value.find(':');
        int p = 0;
        if (colon == std::string::npos) {
            return n + " needs POS:" + (n == "--set" ? "CODE=HEX" : "TEXT") + ", not " + g.value;
        }
        if (std::string error = position(std::string_view(g.value).substr(0, colon), p); !error.empty()) {
            return n + ": " + error;
        }
        const std::string rest = g.value.substr(colon + 1);
        DisplaySetup& d = m_config.displays[std::size_t(p - 1)];
        if (n != "--set") {
            d.values[n == "--model-name" ? "MNA" : "SER"] = SimDisplay::asciiField(rest, 13);
            return {};
        }
        const std::size_t equals = rest.find('=');
        const std::string code = rest.substr(0, equals);
        const auto bytes
            = equals == std::string::npos ? std::nullopt : parseHexBytes(rest.substr(equals + 1));
        if (!bytes) {
            return n + " needs POS:CODE=HEX, not " + g.value;
        }
        if (std::string error = checkValue(code, *bytes); !error.empty()) {
            return n + ": " + error;
        }
        d.values[code] = *bytes;
        return {};
    }
    if (n == "--project" || n == "--table-version") {
        int v = 0;
        if (std::string error = number(0, 255, v); !error.empty()) {
            return error;
        }
        for (DisplaySetup& d : m_config.displays) {
            d.values[n == "--project" ? "PJD" : "RTV"] = {std::uint8_t(v)};
        }
        return {};
    }
    if (n == "--silent" || n == "--off") {
        std::vector<int> list;
        if (std::string error = positions(g, list); !error.empty()) {
            return error;
        }
        for (int p : list) {
            DisplaySetup& d = m_config.displays[std::size_t(p - 1)];
            (n == "--silent" ? d.silent : d.powered) = n == "--silent";
        }
        return {};
    }
    if (n == "--slow") {
        const std::size_t colon = g.value.find(':');
        if (colon == std::string::npos) {
            return number(0, 60000, f.slowMs);
        }
        int p = 0;
        int ms = 0;
        if (std::string error = position(std::string_view(g.value).substr(0, colon), p); !error.empty()) {
            return n + ": " + error;
        }
        if (!toInt(std::string_view(g.value).substr(colon + 1), 0, 60000, ms)) {
            return n + ": not a number of milliseconds: " + g.value;
        }
        m_config.displays[std::size_t(p - 1)].extraLatencyMs = ms;
        return {};
    }
    if (n == "--serial" || n == "--link") {
        m_config.serial = true;
        if (n == "--link") {
            m_config.linkPath = g.value;
        }
        return {};
    }
    if (n == "--lan" || n == "--lan-each") {
        return endpoint(g, n == "--lan-each", n == "--lan" ? m_config.lan : m_config.lanEach);
    }
    if (n == "--udp") {
        const std::string address = g.value.empty() ? "127.0.0.255" : g.value;
        if (!isIpv4(address)) {
            return n + ": not an IPv4 address: " + address;
        }
        m_config.udpAddress = address;
        return {};
    }
    if (n == "--udp-port") {
        return number(0, 65535, m_config.udpPort);
    }
    if (n == "--echo" || n == "--garbage" || n == "--refuse" || n == "--no-pacing"
        || n == "--div-arrange-addressed") {
        bool& flag = n == "--echo"           ? f.echo
            : n == "--garbage"               ? f.garbage
            : n == "--refuse"                ? f.refuse
            : n == "--div-arrange-addressed" ? m_config.arrangeOnAddressedDiv
                                             : m_config.timing.pacing;
        flag = n != "--no-pacing";
        return {};
    }
    if (n == "--garbage-every") {
        f.garbage = true;
        return number(1, 1000, f.garbageEvery);
    }
    if (n == "--latency") {
        return number(0, 60000, m_config.timing.latencyMs);
    }
    if (n == "--latency-step") {
        return number(0, 1000, m_config.timing.latencyStepMs);
    }
    if (n == "--split") {
        return number(1, 64, f.splitBytes);
    }
    if (n == "--split-pause") {
        return number(0, 60000, f.splitPauseMs);
    }
    if (n == "--drop-after") {
        return number(1, 1'000'000, f.dropAfterFrames);
    }
    if (n == "--log") {
        m_config.logPath = g.value;
        return {};
    }
    return "unknown flag " + n;
}

} // namespace

std::span<const SimOption> simOptions()
{
    return kOptions;
}

std::string simHelpText()
{
    std::string text
        = "Usage: ordalis-wallsim [flags]\n"
          "Simulates a chain of video wall displays on a pseudo-terminal, TCP ports and the UDP\n"
          "discovery answer. Positions count along the chain from 1, the display nearest the PC.\n"
          "Each endpoint prints one line when it is ready, then \"ready\"; stop with Ctrl-C or SIGTERM.\n\n";
    for (const SimOption& option : kOptions) {
        std::string head = "  " + std::string(option.name);
        if (!option.value.empty()) {
            head += " " + std::string(option.value);
        }
        head.resize(std::max<std::size_t>(head.size() + 1, 32), ' ');
        text += head + std::string(option.help) + "\n";
    }
    return text;
}

ArgumentsResult parseSimArguments(const std::vector<std::string>& arguments, SimConfig& config)
{
    ArgumentsResult result;
    auto fail = [&](std::string text) {
        result.ok = false;
        result.errorText = std::move(text);
        return result;
    };

    std::vector<Given> given;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string name = arguments[i];
        std::optional<std::string> value;
        if (const std::size_t equals = name.find('=');
            name.starts_with("--") && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
        }
        const SimOption* option = findOption(name);
        if (!option) {
            return fail("unknown flag " + name + " (see --help)");
        }
        const bool optional = option->value.starts_with("[") && option->value.ends_with("]");
        if (!value && !option->value.empty()) {
            const bool next = i + 1 < arguments.size() && !arguments[i + 1].starts_with("--");
            if (next) {
                value = arguments[++i];
            } else if (!optional) {
                return fail(name + " needs " + std::string(option->value));
            }
        }
        if (value && option->value.empty()) {
            return fail(name + " takes no value");
        }
        given.push_back({name, value.value_or("")});
    }

    for (const Given& g : given) {
        if (g.name == "--help") {
            result.help = true;
            return result;
        }
        result.exitWithParent = result.exitWithParent || g.name == "--exit-with-parent";
    }

    config = SimConfig::chain(1);
    for (const Given& g : given) {
        if (g.name == "--scenario") {
            std::string error;
            if (!loadScenarioFile(g.value, config, error)) {
                return fail(error);
            }
        }
    }
    const Given* displays = nullptr;
    const Given* ids = nullptr;
    for (const Given& g : given) {
        displays = g.name == "--displays" ? &g : displays;
        ids = g.name == "--ids" ? &g : ids;
    }
    if (displays) {
        int count = 0;
        if (!toInt(displays->value, 1, kMaxDisplays, count)) {
            return fail("--displays: not a number from 1 to 100: " + displays->value);
        }
        config.displays.resize(std::size_t(count));
        for (int p = 1; p <= count; ++p) {
            config.displays[std::size_t(p - 1)].monitorId = p;
        }
    }
    if (ids) {
        const auto parts = splitList(ids->value);
        if (displays && parts.size() != config.displays.size()) {
            return fail("--ids lists " + std::to_string(parts.size()) + " Monitor IDs for " + displays->value
                + " displays");
        }
        if (parts.size() > std::size_t(kMaxDisplays)) {
            return fail("--ids: a chain has at most 100 displays");
        }
        config.displays.resize(parts.size());
        for (std::size_t i = 0; i < parts.size(); ++i) {
            if (!toInt(parts[i], 0, 255, config.displays[i].monitorId)) {
                return fail("--ids: not a Monitor ID: " + std::string(parts[i]));
            }
        }
    }

    Builder builder(config);
    for (const Given& g : given) {
        if (g.name == "--scenario" || g.name == "--displays" || g.name == "--ids"
            || g.name == "--exit-with-parent") {
            continue;
        }
        if (std::string error = builder.apply(g); !error.empty()) {
            return fail(error);
        }
    }
    return result;
}

} // namespace ordalis::sim
