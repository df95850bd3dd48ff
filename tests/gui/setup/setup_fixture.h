#pragma once

#include "tests/gui/support/gui_fixture.h"
#include "tests/unit/link/link_fixture.h"

namespace ordalis::test {

// The application on the fakes with virtual timers, as the set-up dialogs see it.
class SetupFixture : public LinkFixture, public FakeUi
{
public:
    SetupFixture() : FakeUi(static_cast<FakeApp&>(*this))
    {
        app.WallColumns = 3;
        app.WallRows = 2;
        app.FirstDisplayAtBottom = 1;
        app.settings.DisplayModel.setBoth(0);
        app.settings.ProjectId.setBoth(0);
    }
};

} // namespace ordalis::test
