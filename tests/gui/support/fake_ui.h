#pragma once

#include "platform/fake_datagram_network.h"
#include "setup/ui_context.h"
#include "setup/virtual_timer_service.h"
#include "tests/support/fake_app.h"

namespace ordalis::test {

// What the pages and dialogs add to a FakeApp: timers on its virtual clock, the discovery's UDP
// on fakes, and the context they all work with.
struct FakeUi
{
    explicit FakeUi(FakeApp& fakes) : timers(fakes.clock), datagrams(fakes.clock), ui {fakes.app, timers}
    {
        fakes.app.services.datagrams = &datagrams;
    }

    VirtualTimerService timers;
    FakeDatagramNetwork datagrams;
    UiContext ui;
};

} // namespace ordalis::test
