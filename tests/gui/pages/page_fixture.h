#pragma once

#include "pages/home_page.h"
#include "setup/progress_box.h"
#include "tests/gui/support/gui_fixture.h"

#include <gtest/gtest.h>

#include <memory>

namespace ordalis::test {

// The pages on the fakes: virtual time drives the timers, the serial line and the LAN peers
// are scripted, prompts are recorded. The home page is made by home(), shown, after the test
// has set the shared state it starts from.
class PageFixture : public testing::Test, public FakeApp, public FakeUi
{
protected:
    PageFixture() : FakeUi(static_cast<FakeApp&>(*this))
    {
        app.WallColumns = 3;
        app.WallRows = 3;
        app.FirstDisplayAtBottom = 1;
        app.settings.ComPort.setBoth(1);
        app.settings.IpAddress.setBoth(QStringLiteral("192.168.1.100"));
        app.settings.TelnetPort.setBoth(23);
    }

    ~PageFixture() override
    {
        m_home.reset();
        flushEvents();
    }

    CPAGE1& home()
    {
        if (!m_home) {
            m_home = std::make_unique<CPAGE1>(ui);
            m_home->show();
            flushEvents();
        }
        return *m_home;
    }

private:
    std::unique_ptr<CPAGE1> m_home;
};

} // namespace ordalis::test
