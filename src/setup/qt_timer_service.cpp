#include "setup/qt_timer_service.h"

#include <QTimer>

namespace ordalis {

namespace {

class QtIntervalTimer final : public IntervalTimer
{
public:
    explicit QtIntervalTimer(std::function<void()> onExpiry)
    {
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, std::move(onExpiry));
    }

    void start(int periodMs) override { m_timer.start(periodMs); }
    void stop() override { m_timer.stop(); }
    bool isActive() const override { return m_timer.isActive(); }

private:
    QTimer m_timer;
};

} // namespace

std::unique_ptr<IntervalTimer> QtTimerService::createTimer(std::function<void()> onExpiry)
{
    return std::make_unique<QtIntervalTimer>(std::move(onExpiry));
}

} // namespace ordalis
