#pragma once

#include "link_fixture.h"
#include "platform/fake_datagram_network.h"
#include "setup/ui_context.h"
#include "setup/virtual_timer_service.h"
#include "widgets/control_id.h"

#include <QApplication>
#include <QComboBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <functional>
#include <map>
#include <typeindex>

namespace ordalis::test {

// The application on the fakes with virtual timers, as the dialogs see it.
class GuiFixture : public LinkFixture
{
public:
    GuiFixture()
    {
        app.WallColumns = 3;
        app.WallRows = 2;
        app.FirstDisplayAtBottom = 1;
        app.settings.DisplayModel.setBoth(0);
        app.settings.ProjectId.setBoth(0);
        app.services.datagrams = &datagrams;
    }

    // Chooses a list entry as the operator does.
    template<typename Id> void choose(const QWidget& dialog, Id list, int position)
    {
        auto* combo = findControl<QComboBox>(&dialog, list);
        ASSERT_NE(combo, nullptr);
        combo->setCurrentIndex(position);
        emit combo->activated(position);
    }

    template<typename Id> void press(const QWidget& dialog, Id button)
    {
        auto* widget = findControl<QAbstractButton>(&dialog, button);
        ASSERT_NE(widget, nullptr);
        widget->click();
    }

    VirtualTimerService timers {clock};
    FakeDatagramNetwork datagrams {clock};
    UiContext ui {app, timers};
};

// Acts on modal dialogs as they open: for each dialog class, the first handler in its queue
// runs once the dialog is the active modal widget. Runs from a zero timer in whatever event
// loop is running, so it reaches dialogs opened inside code under test.
class ModalDriver
{
public:
    ModalDriver()
    {
        m_poll.setInterval(0);
        QObject::connect(&m_poll, &QTimer::timeout, [this] { poll(); });
        m_poll.start();
    }

    template<typename Dialog> void on(std::function<void(Dialog&)> handler)
    {
        m_handlers[typeid(Dialog)].push_back(
            [handler](QWidget& widget) { handler(static_cast<Dialog&>(widget)); });
    }

    int handled() const { return m_handled; }

private:
    void poll()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == m_last)
            return;
        auto it = m_handlers.find(typeid(*modal));
        if (it == m_handlers.end() || it->second.empty())
            return;
        m_last = modal;
        auto handler = std::move(it->second.front());
        it->second.erase(it->second.begin());
        ++m_handled;
        handler(*modal);
    }

    QTimer m_poll;
    std::map<std::type_index, std::vector<std::function<void(QWidget&)>>> m_handlers;
    QPointer<QWidget> m_last;
    int m_handled = 0;
};

} // namespace ordalis::test
