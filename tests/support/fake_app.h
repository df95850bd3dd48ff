#pragma once

#include "app/ctavrin_app.h"
#include "platform/fake_clock.h"
#include "platform/fake_host_addresses.h"
#include "platform/fake_lan_network.h"
#include "platform/fake_prompts.h"
#include "platform/fake_serial_line.h"

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

} // namespace ordalis::test
