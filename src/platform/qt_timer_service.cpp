#include "platform/qt_timer_service.h"

#include "platform/waiter.h"

#include <QTimer>

namespace ordalis {

namespace {

class QtIntervalTimer final : public IntervalTimer
{
public:
    QtIntervalTimer(Waiter& waiter, std::function<void()> onExpiry)
        : m_waiter(waiter), m_onExpiry(std::move(onExpiry))
    {
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] { expired(); });
    }
    ~QtIntervalTimer() override { m_waiter.forget(this); }

    void start(int periodMs) override { m_timer.start(periodMs); }
    void stop() override { m_timer.stop(); }
    bool isActive() const override { return m_timer.isActive(); }

private:
    void expired()
    {
        if (m_due)
            return; // already held: the expiries of one wait fire once
        m_due = true;
        m_waiter.deliver(this, [this] {
            m_due = false;
            // A timer stopped meanwhile does not fire, as a window timer's message is dropped
            // when the timer is killed.
            if (m_timer.isActive())
                m_onExpiry();
        });
    }

    Waiter& m_waiter;
    std::function<void()> m_onExpiry;
    QTimer m_timer;
    bool m_due = false;
};

} // namespace

std::unique_ptr<IntervalTimer> QtTimerService::createTimer(std::function<void()> onExpiry)
{
    return std::make_unique<QtIntervalTimer>(m_waiter, std::move(onExpiry));
}

} // namespace ordalis
