// Any bytes from the line, in any pieces and at any times, as the answer to one exchange on
// the fake links: the exchange ends by its deadlines, never reads or writes out of bounds,
// and reports no more than it was asked for.
//
// Input: a 6-byte head, then pieces of two header bytes and their bytes.
//   head[0]  bits 0-1: 0 WriteValue, 1 ReadValue, 2 ReadAllDisplays, 3 WriteValue to all;
//            bits 2-3: 0 serial, 1 one LAN connection, 2 one per display (3 displays),
//            3 serial still open in the console's mode (time-out base 0)
//   head[1]  target byte        head[2] code (index into kCodes)     head[3] value
//   head[4]  LastTargetId       head[5] maxCount - 1 (ReadAllDisplays, 0-31)
//   piece    delay (x 8 ms after the frame), then length in bits 0-5 (63: the line closes
//            instead) and, per display, the display in bits 6-7; then the bytes.
#include "app/ctavrin_app.h"
#include "link/command_exchange.h"
#include "link/lan_link.h"
#include "link/serial_link.h"
#include "tests/fakes/fake_clock.h"
#include "tests/fakes/fake_host_addresses.h"
#include "tests/fakes/fake_lan_network.h"
#include "tests/fakes/fake_prompts.h"
#include "tests/fakes/fake_serial_line.h"
#include "tests/fakes/virtual_waiter.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <vector>

namespace {

using namespace ordalis;

struct CodeUse
{
    CommandCode code;
    int valueLength;
};

constexpr std::array<CodeUse, 8> kCodes {{
    {"BRL", 1},
    {"BRI", 1},
    {"DIV", 1},
    {"PJD", 1},
    {"CID", 1},
    {"RXY", 25},
    {"ERR", 4},
    {"SER", 13},
}};

constexpr int kDisplays = 3;
constexpr std::uint8_t kClose = 63;
constexpr std::int64_t kLongestDeadlineMs = 2000 + 30 * 100; // the LAN's, LastTargetId clamped

struct Piece
{
    int display = 1;
    std::int64_t afterMs = 0;
    bool close = false;
    std::vector<std::uint8_t> bytes;
};

std::vector<Piece> pieces(const std::uint8_t* data, std::size_t size, bool perDisplay)
{
    std::vector<Piece> out;
    std::size_t at = 0;
    while (at + 2 <= size) {
        Piece p;
        p.afterMs = std::int64_t(data[at]) * 8;
        const std::uint8_t length = data[at + 1] & 0x3F;
        p.display = perDisplay ? (data[at + 1] >> 6) % kDisplays + 1 : 1;
        at += 2;
        if (length == kClose) {
            p.close = true;
        } else {
            const std::size_t n = std::min<std::size_t>(length, size - at);
            p.bytes.assign(data + at, data + at + n);
            at += n;
        }
        out.push_back(std::move(p));
    }
    return out;
}

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::array<std::uint8_t, 6> head {};
    for (std::size_t i = 0; i < head.size() && i < size; ++i)
        head[i] = data[i];
    const std::size_t headSize = std::min(size, head.size());
    const int op = head[0] & 3;
    const int link = (head[0] >> 2) & 3;
    const std::uint8_t target = op == 3 ? 0 : head[1];
    const CodeUse use = kCodes[head[2] % kCodes.size()];
    const int maxCount = head[5] % 32 + 1;

    FakeClock clock;
    VirtualWaiter waiter(clock);
    FakePrompts prompts;
    FakeSerialLine line(clock, waiter);
    FakeLanNetwork network(clock, waiter);
    FakeHostAddresses hosts;
    CTavrinApp app(Services {&clock, &waiter, &prompts, &line, &network, &hosts});
    app.ShowErrorBoxes = (head[0] & 0x10) != 0;
    app.LastTargetId = head[4];
    app.settings.ComPort.setBoth(1);
    app.settings.TelnetPort.setBoth(23);
    app.WallColumns = kDisplays;
    app.WallRows = 1;

    const bool serial = link == 0 || link == 3;
    const std::vector<Piece> script = pieces(data + headSize, size - headSize, link == 2);
    if (serial) {
        app.ConnectionKind = std::uint8_t(ConnectionKind::Serial);
        if (link == 3) {
            app.ComPortHandle = SerialLink(app).OpenComPort(SerialLink::kModeRaw);
            app.ComPortOpen = app.ComPortHandle != nullptr;
        }
        ScriptedReply reply;
        for (const Piece& p : script) {
            if (p.close) {
                line.hangUpAt(clock.nowMs() + p.afterMs);
                break;
            }
            reply.push_back({p.afterMs, p.bytes});
        }
        line.replyToNextWrite(std::move(reply));
    } else {
        app.ConnectionKind = std::uint8_t(link == 1 ? ConnectionKind::Lan : ConnectionKind::LanEach);
        const int records = link == 1 ? 1 : kDisplays;
        for (int i = 1; i <= records; ++i) {
            IPixy record;
            record.address = QStringLiteral("127.0.0.%1").arg(10 + i);
            record.monitorId = i;
            app.DisplayList.push_back(std::move(record));
            network.peer(app.DisplayList.back().address, 23);
        }
        LanLink lan(app);
        for (int i = 1; i <= records; ++i)
            lan.ConnectDisplaySocket(i);
        network.deliverEvents();
        std::map<int, ScriptedReply> replies;
        for (const Piece& p : script) {
            FakeLanPeer& peer = network.peer(app.DisplayList[std::size_t(p.display) - 1].address, 23);
            if (p.close)
                peer.closeAfterNextSend(p.afterMs);
            else
                replies[p.display].push_back({p.afterMs, p.bytes});
        }
        for (auto& [display, reply] : replies)
            network.peer(app.DisplayList[std::size_t(display) - 1].address, 23)
                .replyToNextSend(std::move(reply));
    }

    CommandExchange exchange(app);
    const std::int64_t start = clock.nowMs();
    int reads = 0;
    int sends = link == 2 ? kDisplays : 1;
    switch (op) {
    case 0:
    case 3:
        exchange.WriteValue(target, use.code, head[3]);
        reads = 2;
        break;
    case 1: {
        std::uint8_t value = 0xA5;
        const bool ok = exchange.ReadValue(target, use.code, value);
        check(ok || value == 0xA5);
        reads = 3;
        break;
    }
    case 2: {
        std::vector<std::uint8_t> ids(static_cast<std::size_t>(maxCount));
        std::vector<std::uint8_t> values(std::size_t(maxCount * use.valueLength));
        const std::optional<std::uint8_t> count
            = exchange.ReadAllDisplays(use.code, ids, values, maxCount, use.valueLength);
        check(!count || *count <= maxCount);
        reads = link == 2 ? kDisplays : 3 * maxCount + 1;
        break;
    }
    }
    // Every read ends by its own deadline; sends and pauses add at most 100 ms each.
    const std::int64_t bound = reads * kLongestDeadlineMs + sends * 100 + 200;
    check(clock.nowMs() - start <= bound);
    return 0;
}
