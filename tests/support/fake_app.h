#pragma once

#include "app/ctavrin_app.h"
#include "platform/fake_clock.h"
#include "platform/fake_host_addresses.h"
#include "platform/fake_lan_network.h"
#include "platform/fake_prompts.h"
#include "platform/fake_serial_line.h"
#include "tests/support/hex_bytes.h"

#include <string>
#include <vector>

namespace ordalis::test {

// The application on the fake services and virtual time: the serial line and the LAN peers are
// scripted, prompts are recorded, the host's addresses are made up.
struct FakeApp
{
    FakeClock clock;
    FakePrompts prompts;
    FakeSerialLine line {clock};
    FakeLanNetwork network {clock};
    FakeHostAddresses hosts;
    CTavrinApp app {Services {&clock, &prompts, &line, &network, &hosts}};
};

// The frames a fake line or peer received, as hex text.
inline std::vector<std::string> toHex(const std::vector<ReceivedFrame>& frames)
{
    std::vector<std::string> texts;
    for (const ReceivedFrame& f : frames)
        texts.push_back(toHex(f.bytes));
    return texts;
}

} // namespace ordalis::test
