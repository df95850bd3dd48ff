#include "pages/status_dialog.h"

#include "app/ctavrin_app.h"
#include "link/serial_link.h"
#include "platform/timer_service.h"
#include "widgets/control_id.h"
#include "widgets/dialog_units.h"
#include "widgets/report_list.h"
#include "widgets/ui_context.h"

#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

namespace ordalis {

bool LogMessageDlg::s_tickInProgress = false;

LogMessageDlg::LogMessageDlg(UiContext& ui, QWidget* parent) : QDialog(parent), m_ui(ui), m_reader(ui.app)
{
    setWindowTitle(QStringLiteral("Display Status"));
    const QFont dialogFont = DialogUnits::dialogFont();
    setFont(dialogFont);
    const DialogUnits du(dialogFont);

    int listWidth = 4;
    for (int column = 0; column < m_reader.columnCount(); ++column)
        listWidth += DisplayStatusReader::columns()[std::size_t(column)].width;
    const int margin = du.x(7);
    setFixedSize(listWidth + 2 * margin, du.y(250));

    m_status = new QLabel(QStringLiteral("Initialization ..."), this);
    setControlId(m_status, StatusControl::Status);
    m_status->setGeometry(margin, du.y(7), listWidth, du.y(12));

    m_list = new QTableWidget(0, m_reader.columnCount(), this);
    setControlId(m_list, StatusControl::List);
    m_list->setGeometry(margin, du.y(22), listWidth, du.y(196));
    m_list->setHorizontalHeaderLabels(DisplayStatusReader::headings(ui.app.settings.DisplayModel.current));
    for (int column = 0; column < m_reader.columnCount(); ++column)
        m_list->setColumnWidth(column, DisplayStatusReader::columns()[std::size_t(column)].width);
    makeReportList(*m_list);

    const int buttonTop = du.y(226);
    auto* detect = new QPushButton(QStringLiteral("Detect Monitor"), this);
    setControlId(detect, StatusControl::DetectMonitor);
    detect->setAutoDefault(false);
    detect->setGeometry(margin, buttonTop, du.x(70), du.y(16));
    connect(detect, &QPushButton::clicked, this, &LogMessageDlg::OnDetectMonitor);
    auto* exit = new QPushButton(QStringLiteral("Exit"), this);
    setControlId(exit, StatusControl::Exit);
    exit->setAutoDefault(false);
    exit->setGeometry(margin + listWidth - du.x(60), buttonTop, du.x(60), du.y(16));
    connect(exit, &QPushButton::clicked, this, &LogMessageDlg::reject);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    setControlId(ok, StatusControl::Ok);
    ok->hide();

    // The waits of a reading keep the window painting: the text shows while it runs.
    m_reader.statusChanged = [this](const QString& text) { m_status->setText(text); };

    m_timer = ui.timers.createTimer([this] { OnTimer(); });
    m_timer->start(DisplayStatusReader::kStartPeriodMs);
}

LogMessageDlg::~LogMessageDlg()
{
    m_timer->stop();
}

void LogMessageDlg::detect()
{
    m_timer->stop();
    const bool found = m_reader.detect();
    showRows();
    if (found)
        m_timer->start(DisplayStatusReader::kStartPeriodMs);
}

void LogMessageDlg::OnTimer()
{
    if (s_tickInProgress)
        return;
    s_tickInProgress = true;
    if (m_reader.step() == 0) {
        detect();
    } else {
        m_timer->stop();
        if (m_reader.foundCount() > 0) {
            const int period = m_reader.readStep();
            showRows();
            m_timer->start(period);
        }
    }
    s_tickInProgress = false;
}

void LogMessageDlg::OnDetectMonitor()
{
    detect();
}

void LogMessageDlg::showRows()
{
    const std::vector<DisplayStatusReader::Row>& rows = m_reader.rows();
    m_list->setRowCount(int(rows.size()));
    for (int row = 0; row < int(rows.size()); ++row) {
        for (int column = 0; column < m_reader.columnCount(); ++column) {
            const QString& text = rows[std::size_t(row)][std::size_t(column)];
            QTableWidgetItem* item = m_list->item(row, column);
            if (!item) {
                item = new QTableWidgetItem;
                m_list->setItem(row, column, item);
            }
            item->setText(text);
        }
    }
}

void LogMessageDlg::reject()
{
    m_timer->stop();
    SerialLink(m_ui.app).close();
    QDialog::reject();
}

} // namespace ordalis
