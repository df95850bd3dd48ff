#pragma once

#include "tests/fakes/fake_datagram_network.h"
#include "tests/fakes/virtual_timer_service.h"
#include "tests/support/fake_app.h"
#include "widgets/ui_context.h"

#include <QWidget>

namespace ordalis::test {

// What the pages and dialogs add to a FakeApp: timers on its virtual clock, the discovery's UDP
// on fakes, and the context they all work with.
struct FakeUi
{
    explicit FakeUi(FakeApp& fakes)
        : timers(fakes.clock, fakes.waiter), datagrams(fakes.clock, fakes.waiter), ui {fakes.app, timers}
    {
        fakes.app.services.datagrams = &datagrams;
    }

    // Ticks a progress box on virtual time until it ends; the number of ticks it ran.
    int tickUntilClosed(const QWidget& box)
    {
        int ticks = 0;
        while (box.isVisible() && ticks < 100) {
            timers.advanceBy(kStepTickMs);
            ++ticks;
        }
        return ticks;
    }

    VirtualTimerService timers;
    FakeDatagramNetwork datagrams;
    UiContext ui;
};

} // namespace ordalis::test
