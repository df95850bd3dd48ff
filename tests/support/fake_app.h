#pragma once

#include "app/ctavrin_app.h"
#include "tests/fakes/fake_clock.h"
#include "tests/fakes/fake_host_addresses.h"
#include "tests/fakes/fake_lan_network.h"
#include "tests/fakes/fake_prompts.h"
#include "tests/fakes/fake_serial_line.h"
#include "tests/fakes/virtual_waiter.h"
#include "tests/support/hex_bytes.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace ordalis::test {

// The application on the fake services and virtual time: the serial line and the LAN peers are
// scripted, prompts are recorded, the host's addresses are made up, waits jump virtual time.
struct FakeApp
{
    FakeApp()
    {
        // A wait delivers the connections' events as the event loop would.
        waiter.addDispatchHook(&network, [this] { network.deliverEvents(); });
    }
    ~FakeApp() { waiter.removeDispatchHook(&network); }

    FakeClock clock;
    VirtualWaiter waiter {clock};
    FakePrompts prompts;
    FakeSerialLine line {clock, waiter};
    FakeLanNetwork network {clock, waiter};
    FakeHostAddresses hosts;
    CTavrinApp app {Services {&clock, &waiter, &prompts, &line, &network, &hosts}};
};

// The line's answer to a read from all: each display's reply, 07 id 00 code value 08, one after
// another from 20 ms on.
inline ScriptedReply readAllReplies(const char* code, const std::vector<std::pair<int, Bytes>>& displays)
{
    ScriptedReply replies;
    std::int64_t at = 20;
    for (const auto& [id, value] : displays) {
        Bytes frame {0x07, std::uint8_t(id), 0x00, std::uint8_t(code[0]), std::uint8_t(code[1]),
            std::uint8_t(code[2])};
        frame.insert(frame.end(), value.begin(), value.end());
        frame.push_back(0x08);
        replies.push_back({at, std::move(frame)});
        at += 5;
    }
    return replies;
}

// The frames a fake line or peer received, as hex text.
inline std::vector<std::string> toHex(const std::vector<ReceivedFrame>& frames)
{
    std::vector<std::string> texts;
    for (const ReceivedFrame& f : frames)
        texts.push_back(toHex(f.bytes));
    return texts;
}

} // namespace ordalis::test
