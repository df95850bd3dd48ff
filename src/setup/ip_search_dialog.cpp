#include "setup/ip_search_dialog.h"

#include "app/ctavrin_app.h"
#include "rules/display_search.h"
#include "rules/probe_search.h"
#include "widgets/control_id.h"
#include "widgets/dialog_units.h"
#include "widgets/report_list.h"
#include "widgets/ui_context.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

namespace ordalis {

namespace {

constexpr int kIpColumn = 2;
constexpr int kUsrWifiModules = 1; // "Lan Type"

} // namespace

QString CIpSearchDlg::titleFor(int monitorId, int column, int row)
{
    if (monitorId == 0)
        return QStringLiteral("Display IP Address Edit");
    return QStringLiteral("Display IP Address Edit\nfor Monitor ID = %1, Location = (%2,%3)")
        .arg(monitorId)
        .arg(column)
        .arg(row);
}

CIpSearchDlg::CIpSearchDlg(UiContext& ui, QWidget* parent) : QDialog(parent), m_ui(ui)
{
    setWindowTitle(QStringLiteral("Dialog"));
    const QFont dialogFont = DialogUnits::dialogFont();
    setFont(dialogFont);
    const DialogUnits du(dialogFont);
    setFixedSize(du.size(240, 250));

    m_title = new QLabel(this);
    setControlId(m_title, IpSearchControl::Title);
    m_title->setAlignment(Qt::AlignCenter);
    m_title->setGeometry(du.rect(7, 7, 226, 34));

    auto* label = new QLabel(QStringLiteral("Display IP Address:"), this);
    setControlId(label, IpSearchControl::AddressLabel);
    label->setGeometry(du.rect(10, 50, 80, 12));
    m_edit = new QLineEdit(this);
    setControlId(m_edit, IpSearchControl::AddressEdit);
    m_edit->setGeometry(du.rect(92, 48, 100, 14));

    m_status = new QLabel(QStringLiteral("Available display list:"), this);
    setControlId(m_status, IpSearchControl::Status);
    m_status->setGeometry(du.rect(10, 70, 220, 12));

    m_list = new QTableWidget(0, 3, this);
    setControlId(m_list, IpSearchControl::DeviceList);
    m_list->setGeometry(du.rect(10, 84, 220, 126));
    m_list->setHorizontalHeaderLabels(
        {QStringLiteral("No."), QStringLiteral("Device Name"), QStringLiteral("IP Address")});
    m_list->setColumnWidth(0, 50);
    m_list->setColumnWidth(1, 120);
    m_list->setColumnWidth(2, 120);
    makeReportList(*m_list);
    connect(m_list, &QTableWidget::cellDoubleClicked, this, &CIpSearchDlg::onDoubleClicked);

    auto* search = new QPushButton(QStringLiteral("Search display"), this);
    setControlId(search, IpSearchControl::Search);
    search->setAutoDefault(false);
    search->setGeometry(du.rect(10, 222, 70, 16));
    connect(search, &QPushButton::clicked, this, &CIpSearchDlg::SearchDisplays);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    setControlId(ok, IpSearchControl::Ok);
    ok->setAutoDefault(false);
    ok->setGeometry(du.rect(122, 222, 50, 16));
    connect(ok, &QPushButton::clicked, this, &CIpSearchDlg::onOk);
    auto* exit = new QPushButton(QStringLiteral("Exit"), this);
    setControlId(exit, IpSearchControl::Exit);
    exit->setAutoDefault(false);
    exit->setGeometry(du.rect(180, 222, 50, 16));
    connect(exit, &QPushButton::clicked, this, &QDialog::reject);
}

int CIpSearchDlg::exec()
{
    // Opening: the rows of the last search, the caller's address and the title.
    m_title->setFont(DialogUnits::boldArial(MonitorId != 0 ? 20 : 24));
    m_list->setRowCount(0);
    for (const IPSearch& record : m_ui.app.SearchList)
        addRow(record);
    m_edit->setText(IpText);
    m_title->setText(titleFor(MonitorId, Column, Row));
    return QDialog::exec();
}

void CIpSearchDlg::addRow(const IPSearch& record)
{
    const int row = m_list->rowCount();
    m_list->insertRow(row);
    const QString texts[] = {QString::number(row + 1), record.first, record.second};
    for (int column = 0; column < 3; ++column)
        m_list->setItem(row, column, new QTableWidgetItem(texts[column]));
}

void CIpSearchDlg::SearchDisplays()
{
    CTavrinApp& app = m_ui.app;
    m_list->setRowCount(0);
    app.SearchList.clear();
    setButtonsEnabled(false);
    setStatus(QStringLiteral("Device searching...please wait"));

    if (app.settings.LanType.current == kUsrWifiModules) {
        const int accepted = UdpDisplaySearch(app).run([&](const IPSearch& record) {
            addRow(record);
            app.SearchList.push_back(record);
        });
        if (accepted > 0)
            setStatus(QStringLiteral("Available display list: (%1 devices are searched)").arg(accepted));
    } else {
        const std::vector<IPSearch> found = TcpProbeSearch(app).run();
        for (const IPSearch& record : found) {
            addRow(record);
            app.SearchList.push_back(record);
        }
        setStatus(found.empty()
                ? QStringLiteral("Available display list: (NO devices are searched)")
                : QStringLiteral("Available display list: (%1 devices are searched)").arg(found.size()));
    }
    setButtonsEnabled(true);
}

void CIpSearchDlg::onDoubleClicked()
{
    const QList<QTableWidgetItem*> selected = m_list->selectedItems();
    if (selected.isEmpty())
        return;
    const QTableWidgetItem* address = m_list->item(selected.first()->row(), kIpColumn);
    if (!address)
        return;
    IpText = address->text();
    m_edit->setText(IpText);
}

void CIpSearchDlg::onOk()
{
    // What the edit box shows is what the operator confirms, typed or picked.
    IpText = m_edit->text();
    accept();
}

void CIpSearchDlg::setStatus(const QString& text)
{
    m_status->setText(text);
    // The search blocks this thread: show the text before it starts.
    m_status->repaint();
}

void CIpSearchDlg::setButtonsEnabled(bool enabled)
{
    for (IpSearchControl id : {IpSearchControl::Search, IpSearchControl::Ok, IpSearchControl::Exit})
        findControl<QPushButton>(this, id)->setEnabled(enabled);
}

} // namespace ordalis
