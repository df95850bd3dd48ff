#pragma once

#include "rules/timed_operations.h"

#include <QDialog>

#include <memory>

class QLabel;
class QProgressBar;

namespace ordalis {

class IntervalTimer;
struct UiContext;

enum class ProcessboxControl {
    Title = 1026,
    Message = 1030,
    ProgressBar = 1044,
};

// The progress box: runs a timed operation (power on and off, the auto setup) from its 500 ms
// timer, one step per tick, while a bar moves. The operator cannot close it; only its timer
// ends it.
class CProcessbox final : public QDialog, public StepProgress
{
    Q_OBJECT

public:
    static constexpr int kTickMs = kStepTickMs;
    static constexpr int kBarMaximum = 11;

    CProcessbox(UiContext& ui, const TimedOperation& operation, QWidget* parent = nullptr);
    ~CProcessbox() override;

    // Opens the box modally and runs the operation; true on success.
    bool run();

    // One expiry of timer 1.
    void OnTimer();

    // Moves the bar one step on; past its end it starts again from the beginning.
    void advanceBar() override;

public slots:
    void reject() override; // cancel key: ignored

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    UiContext& m_ui;
    const TimedOperation& m_operation;
    QLabel* m_title = nullptr;
    QLabel* m_message = nullptr;
    QProgressBar* m_bar = nullptr;
    std::unique_ptr<IntervalTimer> m_timer;
    bool m_ending = false;
    bool m_succeeded = false;
};

} // namespace ordalis
