#pragma once

#include "app/ctavrin_app.h"
#include "pages/home_page.h"
#include "platform/fake_clock.h"
#include "platform/fake_host_addresses.h"
#include "platform/fake_lan_network.h"
#include "platform/fake_prompts.h"
#include "platform/fake_serial_line.h"
#include "setup/progress_box.h"
#include "setup/ui_context.h"
#include "setup/virtual_timer_service.h"
#include "widgets/control_id.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace ordalis::test {

// The pages on the fakes: virtual time drives the timers, the serial line and the LAN peers
// are scripted, prompts are recorded. The home page is made by home(), shown, after the test
// has set the shared state it starts from.
class PageFixture : public testing::Test
{
protected:
    PageFixture()
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

    // Delivers queued page requests and deletes the pages they took down.
    static void flushEvents()
    {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }

    template<typename T = QWidget, typename Id> T* control(const QWidget* root, Id id)
    {
        T* found = findControl<T>(root, id);
        EXPECT_NE(found, nullptr) << "control " << static_cast<int>(id);
        return found;
    }

    // Runs what while a modal dialog may open: each dialog that opens is handed to onModal,
    // which must end it. A dialog left open is rejected after the handler, so a test never hangs.
    void whileModal(const std::function<void()>& what, const std::function<void(QWidget*)>& onModal)
    {
        QTimer poll;
        poll.setInterval(0);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || modal == m_home.get())
                return;
            poll.stop();
            onModal(modal);
            if (modal->isVisible()) {
                ADD_FAILURE() << "a dialog was left open";
                modal->hide();
                if (auto* dialog = qobject_cast<QDialog*>(modal))
                    dialog->done(QDialog::Rejected);
            }
            poll.start();
        });
        poll.start();
        what();
        poll.stop();
    }

    // Ticks the progress box on virtual time until it ends; the number of ticks it ran.
    int tickUntilClosed(CProcessbox& box)
    {
        int ticks = 0;
        while (box.isVisible() && ticks < 100) {
            timers.advanceBy(CProcessbox::kTickMs);
            ++ticks;
        }
        return ticks;
    }

    FakeClock clock;
    FakePrompts prompts;
    FakeSerialLine serial {clock};
    FakeLanNetwork lan {clock};
    FakeHostAddresses hosts;
    CTavrinApp app {Services {&clock, &prompts, &serial, &lan, &hosts}};
    VirtualTimerService timers {clock};
    UiContext ui {app, timers};

private:
    std::unique_ptr<CPAGE1> m_home;
};

} // namespace ordalis::test
