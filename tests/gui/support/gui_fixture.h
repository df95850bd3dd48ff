#pragma once

#include "tests/gui/support/fake_ui.h"
#include "tests/support/fake_app.h"
#include "widgets/control_id.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <typeindex>
#include <vector>

namespace ordalis::test {

// The control with this id below root; a test that cannot find it fails.
template<typename T = QWidget, typename Id> T* control(const QWidget* root, Id id)
{
    T* found = findControl<T>(root, id);
    EXPECT_NE(found, nullptr) << "control " << static_cast<int>(id);
    return found;
}

// Presses a button as the operator does.
template<typename Id> void press(const QWidget& dialog, Id button)
{
    auto* widget = findControl<QAbstractButton>(&dialog, button);
    ASSERT_NE(widget, nullptr);
    widget->click();
}

// Chooses a list entry as the operator does.
template<typename Id> void choose(const QWidget& dialog, Id list, int position)
{
    auto* combo = findControl<QComboBox>(&dialog, list);
    ASSERT_NE(combo, nullptr);
    combo->setCurrentIndex(position);
    emit combo->activated(position);
}

// Delivers queued events (page requests among them) and deletes the widgets they took down.
inline void flushEvents()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// Acts on modal dialogs as they open: for each dialog class, the first handler in its queue
// runs once the dialog is the active modal widget, and must end it. Runs from a zero timer in
// whatever event loop is running, so it reaches dialogs opened inside code under test. A dialog
// that no handler is left for, or one a handler left open, fails the test and is rejected, so a
// test never hangs on it.
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
        QPointer<QWidget> modal = QApplication::activeModalWidget();
        if (!modal || modal == m_last)
            return;
        m_last = modal;
        auto it = m_handlers.find(typeid(*modal));
        if (it == m_handlers.end() || it->second.empty()) {
            ADD_FAILURE() << "a dialog opened that no handler was left for: "
                          << modal->metaObject()->className();
            end(modal);
            return;
        }
        auto handler = std::move(it->second.front());
        it->second.erase(it->second.begin());
        ++m_handled;
        handler(*modal);
        if (modal && modal->isVisible()) {
            ADD_FAILURE() << "a dialog was left open: " << modal->metaObject()->className();
            end(modal);
        }
    }

    static void end(QWidget* modal)
    {
        modal->hide();
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->done(QDialog::Rejected);
    }

    QTimer m_poll;
    std::map<std::type_index, std::vector<std::function<void(QWidget&)>>> m_handlers;
    QPointer<QWidget> m_last;
    int m_handled = 0;
};

} // namespace ordalis::test
