// Online commands: one exchange with the displays, exactly as a page makes it.
#include "cli_command.h"
#include "online_session.h"

#include <cctype>
#include <charconv>

namespace ordalis::cli {

namespace {

constexpr std::uint8_t kAllDisplays = 0x80;
constexpr int kDefaultListenMs = 500;

// "all", a Monitor ID 1-100, or a raw target byte 0xNN, passed on as a page passes its byte.
bool parseTarget(const CliContext& context, const std::string& text, std::uint8_t& target)
{
    int value = 0;
    if (text == "all") {
        target = kAllDisplays;
        return true;
    }
    const bool raw = text.starts_with("0x") || text.starts_with("0X");
    if (parseNumber(text, raw ? 0 : 1, raw ? 255 : 100, value)) {
        target = std::uint8_t(value);
        return true;
    }
    usageError(context, "TARGET is all, a Monitor ID 1-100 or a byte 0xNN, not '" + text + "'");
    return false;
}

bool parseCode(const CliContext& context, const std::string& text, CommandCode& code)
{
    std::string upper = text;
    for (char& c : upper) {
        c = char(std::toupper(static_cast<unsigned char>(c)));
    }
    if (const auto parsed = CommandCode::parse(upper)) {
        code = *parsed;
        return true;
    }
    usageError(context, "CODE is three letters, not '" + text + "'");
    return false;
}

bool parseByte(
    const CliContext& context, const std::string& what, const std::string& text, std::uint8_t& byte)
{
    int value = 0;
    if (!parseNumber(text, 0, 255, value)) {
        usageError(context, what + " is 0-255 or 0xNN, not '" + text + "'");
        return false;
    }
    byte = std::uint8_t(value);
    return true;
}

bool parseCount(const CliContext& context, const OnlineOptions& options, const std::string& name, int low,
    int high, int fallback, int& value)
{
    const std::optional<std::string> text = options.option(name);
    value = fallback;
    if (text && !parseNumber(*text, low, high, value)) {
        usageError(context,
            name + " takes " + std::to_string(low) + "-" + std::to_string(high) + ", not '" + *text + "'");
        return false;
    }
    return true;
}

int writeCommand(const CliContext& context, const std::vector<std::string>& args)
{
    OnlineOptions options;
    if (!parseOnlineOptions(context, args, {{}, {"--json"}}, options)) {
        return kExitUsage;
    }
    if (options.positional.size() != 3) {
        return usageError(context, "write takes TARGET CODE VALUE");
    }
    std::uint8_t target = 0;
    CommandCode code;
    std::uint8_t value = 0;
    if (!parseTarget(context, options.positional[0], target)
        || !parseCode(context, options.positional[1], code)
        || !parseByte(context, "VALUE", options.positional[2], value)) {
        return kExitUsage;
    }
    OnlineSession session(context, options);
    session.connect();
    if (!session.exchange().WriteValue(target, code, value)) {
        return session.failed();
    }
    if (options.json) {
        context.out << "{\"ok\":true}\n";
    }
    return kExitOk;
}

int readCommand(const CliContext& context, const std::vector<std::string>& args)
{
    OnlineOptions options;
    if (!parseOnlineOptions(context, args, {{}, {"--json"}}, options)) {
        return kExitUsage;
    }
    if (options.positional.size() != 2) {
        return usageError(context, "read takes TARGET CODE");
    }
    std::uint8_t target = 0;
    CommandCode code;
    if (!parseTarget(context, options.positional[0], target)
        || !parseCode(context, options.positional[1], code)) {
        return kExitUsage;
    }
    OnlineSession session(context, options);
    session.connect();
    std::uint8_t value = 0;
    if (!session.exchange().ReadValue(target, code, value)) {
        return session.failed();
    }
    if (options.json) {
        context.out << "{\"ok\":true,\"value\":" << int(value) << "}\n";
    } else {
        context.out << int(value) << '\n';
    }
    return kExitOk;
}

int readAllCommand(const CliContext& context, const std::vector<std::string>& args)
{
    OnlineOptions options;
    if (!parseOnlineOptions(context, args, {{"--max", "--size"}, {"--json"}}, options)) {
        return kExitUsage;
    }
    if (options.positional.size() != 1) {
        return usageError(context, "read-all takes CODE");
    }
    CommandCode code;
    int maxCount = 0;
    int size = 0;
    // A reply of n value bytes is n + 7 long; the serial link reads at most 128 at once.
    if (!parseCode(context, options.positional[0], code)
        || !parseCount(context, options, "--max", 1, 254, 100, maxCount)
        || !parseCount(context, options, "--size", 1, 121, 1, size)) {
        return kExitUsage;
    }
    OnlineSession session(context, options);
    session.connect();
    std::vector<std::uint8_t> ids(static_cast<std::size_t>(maxCount));
    std::vector<std::uint8_t> values(static_cast<std::size_t>(maxCount * size));
    const std::optional<std::uint8_t> replies
        = session.exchange().ReadAllDisplays(code, ids, values, maxCount, size);
    if (!replies) {
        return session.failed();
    }
    const int count = *replies;
    if (options.json) {
        context.out << "{\"ok\":true,\"replies\":[";
    }
    for (int i = 0; i < count; ++i) {
        const std::string bytes = hexBytes(values.data() + std::size_t(i * size), std::size_t(size));
        if (options.json) {
            context.out << (i ? "," : "") << "{\"id\":" << int(ids[std::size_t(i)])
                        << ",\"value\":" << jsonString(bytes) << "}";
        } else {
            context.out << int(ids[std::size_t(i)]) << ' ' << bytes << '\n';
        }
    }
    if (options.json) {
        context.out << "]}\n";
    }
    return kExitOk;
}

int sendCommand(const CliContext& context, const std::vector<std::string>& args)
{
    OnlineOptions options;
    if (!parseOnlineOptions(context, args, {{"--listen"}, {"--json"}}, options)) {
        return kExitUsage;
    }
    std::vector<std::uint8_t> frame;
    for (const std::string& word : options.positional) {
        if (word.size() % 2 != 0) {
            return usageError(context, "HEXBYTES are pairs of hex digits, not '" + word + "'");
        }
        for (std::size_t i = 0; i < word.size(); i += 2) {
            int byte = 0;
            const auto [ptr, ec] = std::from_chars(word.data() + i, word.data() + i + 2, byte, 16);
            if (ec != std::errc() || ptr != word.data() + i + 2) {
                return usageError(context, "HEXBYTES are pairs of hex digits, not '" + word + "'");
            }
            frame.push_back(std::uint8_t(byte));
        }
    }
    int listenMs = 0;
    if (frame.empty()) {
        return usageError(context, "send takes the bytes of a frame");
    }
    if (!parseCount(context, options, "--listen", 0, 60000, kDefaultListenMs, listenMs)) {
        return kExitUsage;
    }
    OnlineSession session(context, options);
    session.connect();
    if (!session.exchange().SendRaw(frame)) {
        return session.failed();
    }
    const std::uint8_t monitorId = frame.size() > 1 ? frame[1] : 0;
    const std::vector<std::uint8_t> received = session.collect(monitorId, listenMs);
    const std::string text = hexBytes(received.data(), received.size());
    if (options.json) {
        context.out << "{\"ok\":true,\"received\":" << jsonString(text) << "}\n";
    } else if (!received.empty()) {
        context.out << text << '\n';
    }
    return kExitOk;
}

constexpr std::string_view kJsonLine = "  --json                      print the outcome as JSON on stdout\n";

const CommandRegistration writeRegistration {{"write", "TARGET CODE VALUE LINK [--json]",
    "write a value; TARGET all, 1-100 or 0xNN; VALUE 0-255 or 0xNN", &writeCommand, kJsonLine, true}};
const CommandRegistration readRegistration {{"read", "TARGET CODE LINK [--json]",
    "read one value from a display and print it in decimal", &readCommand, kJsonLine, true}};
const CommandRegistration readAllRegistration {{"read-all", "CODE LINK [--max N] [--size N] [--json]",
    "read from every display; one line per reply: Monitor ID, value bytes in hex", &readAllCommand,
    "  --max N                     at most N replies, 1-254 (default 100)\n"
    "  --size N                    value bytes per reply, 1-121 (default 1)\n"
    "  --json                      print the outcome as JSON on stdout\n",
    true}};
const CommandRegistration sendRegistration {{"send", "HEXBYTES... LINK [--listen MS] [--json]",
    "send a frame as typed; print in hex what arrives within --listen MS", &sendCommand,
    "  --listen MS                 how long to collect what arrives, 0-60000 (default 500)\n"
    "  --json                      print the outcome as JSON on stdout\n",
    true}};

} // namespace

} // namespace ordalis::cli
