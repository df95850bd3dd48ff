#pragma once

#include "rules/display_status_reader.h"

#include <QDialog>

#include <memory>

class QLabel;
class QTableWidget;

namespace ordalis {

class IntervalTimer;
struct UiContext;

enum class StatusControl {
    Ok = 1,
    Exit = 2,
    DetectMonitor = 1087,
    List = 1149,
    Status = 1152,
};

// "Display Status": finds the displays and keeps reading their health, one reading per tick
// of its timer, so the window answers between readings.
class LogMessageDlg final : public QDialog
{
    Q_OBJECT

public:
    explicit LogMessageDlg(UiContext& ui, QWidget* parent = nullptr);
    ~LogMessageDlg() override;

    // Timer 1.
    void OnTimer();
    // "Detect Monitor": a fresh detection.
    void OnDetectMonitor();

    const DisplayStatusReader& reader() const { return m_reader; }
    IntervalTimer& timer() const { return *m_timer; }

public slots:
    void reject() override; // "Exit"

private:
    void detect();
    void showRows();

    UiContext& m_ui;
    DisplayStatusReader m_reader;
    std::unique_ptr<IntervalTimer> m_timer;
    QLabel* m_status = nullptr;
    QTableWidget* m_list = nullptr;

    // A tick that comes while another runs (inside a reading's wait) does nothing.
    static bool s_tickInProgress;
};

} // namespace ordalis
