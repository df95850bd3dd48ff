#include "pages/home_page.h"

#include "app/ctavrin_app.h"
#include "app/display_list.h"
#include "app/project_id.h"
#include "app/wall_geometry.h"
#include "link/command_exchange.h"
#include "link/serial_link.h"
#include "pages/page_factory.h"
#include "pages/status_dialog.h"
#include "platform/timer_service.h"
#include "platform/waiter.h"
#include "protocol/value_names.h"
#include "setup/layout_wizard.h"
#include "setup/progress_box.h"
#include "setup/run_auto_setup.h"
#include "widgets/artwork.h"
#include "widgets/control_id.h"
#include "widgets/report_list.h"
#include "widgets/ui_context.h"
#include "widgets/wall_picture.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

#include <array>

namespace ordalis {

namespace {

struct ListColumn
{
    const char* title;
    int width;
    Qt::Alignment alignment;
};

constexpr int kPortColumn = 3;
constexpr std::array<ListColumn, 5> kListColumns {{
    {"Monitor ID", 76, Qt::AlignLeft},
    {"Division X", 70, Qt::AlignLeft},
    {"Disivion Y", 70, Qt::AlignLeft},
    {"Port", 100, Qt::AlignHCenter},
    {"External Control", 110, Qt::AlignLeft},
}};

bool isSerial(const CTavrinApp& app)
{
    return app.ConnectionKind == static_cast<std::uint8_t>(ConnectionKind::Serial);
}

bool isLanEach(const CTavrinApp& app)
{
    return app.ConnectionKind == static_cast<std::uint8_t>(ConnectionKind::LanEach);
}

} // namespace

QString CPAGE1::modelName(int displayModel)
{
    const std::string_view name = SummaryModelName(displayModel);
    return QString::fromLatin1(name.data(), qsizetype(name.size()));
}

CPAGE1::CPAGE1(UiContext& ui, PageSwitcher::Factory pageFactory)
    : CPageFrame(ui, PageNumber::Home, nullptr),
      m_switcher(*this, pageFactory ? std::move(pageFactory) : PageSwitcher::Factory(&createPage)),
      m_keeper(ui.app)
{
    setWindowIcon(artwork::applicationIcon());
    setWindowTitle(QString::fromLatin1(info().title));

    connect(this, &CPageFrame::pageRequested, this, &CPAGE1::handlePageRequest, Qt::QueuedConnection);

    const DialogUnits& du = units();
    QPushButton* layoutSetup = addButton(
        static_cast<int>(HomeControl::LayoutSetup), QStringLiteral("Layout Setup"), du.rect(324, 10, 68, 14));
    connect(layoutSetup, &QPushButton::clicked, this, &CPAGE1::onLayoutSetup);

    addLabel(
        static_cast<int>(HomeControl::SummaryLabel), QStringLiteral("Summary:"), du.rect(124, 32, 60, 10));
    QLabel* summary = addLabel(
        static_cast<int>(HomeControl::Summary), QStringLiteral("Summary:"), du.rect(124, 43, 268, 20));
    summary->setWordWrap(true);
    summary->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    addLabel(static_cast<int>(HomeControl::LayoutLabel), QStringLiteral("Display Physical Layout:"),
        du.rect(124, 65, 150, 10));

    m_picture = new CTestPatternCtrl(app(), this);
    setControlId(m_picture, HomeControl::WallPicture);
    m_picture->setGeometry(du.rect(124, 76, 268, 94));
    connect(m_picture, &CTestPatternCtrl::released, this, &CPAGE1::onPictureReleased);

    addLabel(static_cast<int>(HomeControl::SettingsLabel), QStringLiteral("Display Configuration Settings:"),
        du.rect(124, 174, 160, 10));
    QLabel* matrix = addLabel(
        static_cast<int>(HomeControl::MatrixLine), QStringLiteral("Summary:"), du.rect(292, 174, 100, 10));
    matrix->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    m_list = new QTableWidget(0, static_cast<int>(kListColumns.size()), this);
    setControlId(m_list, HomeControl::DisplayListView);
    m_list->setGeometry(du.rect(124, 186, 268, 84));

    QPushButton* status = addButton(static_cast<int>(HomeControl::DisplayStatus),
        QStringLiteral("DIsplay Status"), du.rect(258, 280, 62, 14));
    connect(status, &QPushButton::clicked, this, &CPAGE1::onDisplayStatus);
    QPushButton* powerOff = addButton(
        static_cast<int>(HomeControl::PowerOff), QStringLiteral("Power OFF"), du.rect(204, 280, 50, 14));
    connect(powerOff, &QPushButton::clicked, this, &CPAGE1::onPowerOff);
    QPushButton* powerOn = addButton(
        static_cast<int>(HomeControl::PowerOn), QStringLiteral("Power ON"), du.rect(150, 280, 50, 14));
    connect(powerOn, &QPushButton::clicked, this, &CPAGE1::onPowerOn);
    QPushButton* ssh = addButton(
        static_cast<int>(HomeControl::SshConnect), QStringLiteral("SSH Connect"), du.rect(64, 280, 50, 14));
    ssh->hide();

    SetCellSize(app(), m_picture->width(), m_picture->height());
    m_picture->setPictureStyle(PictureStyle::Home);

    for (int column = 0; column < static_cast<int>(kListColumns.size()); ++column) {
        const ListColumn& entry = kListColumns[column];
        auto* header = new QTableWidgetItem(QString::fromLatin1(entry.title));
        header->setTextAlignment(entry.alignment | Qt::AlignVCenter);
        m_list->setHorizontalHeaderItem(column, header);
        m_list->setColumnWidth(column, entry.width);
    }
    makeReportList(*m_list);
    // One line of text per row, as a report-style list shows it.
    m_list->verticalHeader()->setDefaultSectionSize(m_list->fontMetrics().height() + 4);
    connect(m_list, &QTableWidget::itemSelectionChanged, this, &CPAGE1::onListSelectionChanged);

    RefreshHomePage();

    m_watchdog = ui.timers.createTimer([this] { OnTimer(); });
    m_watchdog->start(kWatchdogPeriodMs);
}

CPAGE1::~CPAGE1()
{
    if (Waiter* waiter = app().services.waiter)
        waiter->forget(this);
    m_switcher.closeAll();
}

QString CPAGE1::summaryText() const
{
    const CTavrinApp& shared = app();
    const int columns = shared.WallColumns;
    const int rows = shared.WallRows;
    const QString model = modelName(shared.settings.DisplayModel.current);
    if (isLanEach(shared)) {
        return QStringLiteral(
            "%1  (%2) displays arranged as %3 columns by %4 rows. This PC and all displays are "
            "connected via LAN")
            .arg(columns * rows)
            .arg(model)
            .arg(columns)
            .arg(rows);
    }
    return QStringLiteral(
        "%1 (%2) displays arranged as %3 columns by %4 rows. This PC is connected to the first "
        "display via %5")
        .arg(columns * rows)
        .arg(model)
        .arg(columns)
        .arg(rows)
        .arg(isSerial(shared) ? QStringLiteral("RS232") : QStringLiteral("LAN"));
}

void CPAGE1::RefreshHomePage()
{
    CTavrinApp& shared = app();
    updatePanelItems();
    findControl<QLabel>(this, HomeControl::Summary)->setText(summaryText());
    findControl<QPushButton>(this, HomeControl::SshConnect)->hide();
    findControl<QLabel>(this, HomeControl::MatrixLine)
        ->setText(QStringLiteral("Matrix_X=%1, Matrix_Y=%2").arg(shared.WallColumns).arg(shared.WallRows));
    fillList();

    if (m_list->rowCount() > 0) {
        m_list->scrollToItem(m_list->item(0, 0));
        m_list->selectRow(0);
        m_list->setFocus();
    }

    const int model = shared.settings.DisplayModel.current;
    auto* status = findControl<QPushButton>(this, HomeControl::DisplayStatus);
    if (model == 5 || model == 6)
        status->setEnabled(false);
    else if (model <= 4)
        status->setEnabled(true);
}

void CPAGE1::fillList()
{
    const CTavrinApp& shared = app();
    const bool serial = isSerial(shared);
    const bool lanEach = isLanEach(shared);

    m_list->clearSelection();
    m_list->setRowCount(0);
    m_list->removeColumn(kPortColumn);
    m_list->insertColumn(kPortColumn);
    auto* header = new QTableWidgetItem(serial ? QStringLiteral("COM Port") : QStringLiteral("IP Address"));
    header->setTextAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    m_list->setHorizontalHeaderItem(kPortColumn, header);
    m_list->setColumnWidth(kPortColumn, kListColumns[kPortColumn].width);

    const int columns = shared.WallColumns;
    const int rows = shared.WallRows;
    m_list->setRowCount(columns * rows);
    for (int i = 0; i < rows; ++i) {
        for (int c = 0; c < columns; ++c) {
            const int n = i * columns + c + 1;
            const int column = i % 2 == 0 ? c + 1 : columns - c;
            const int row = shared.FirstDisplayAtBottom ? rows - i : i + 1;

            QString port = QStringLiteral("NA");
            QString control = QStringLiteral("RS485 Looping");
            if (lanEach) {
                const std::size_t record = static_cast<std::size_t>(n - 1);
                port = record < shared.DisplayList.size() ? shared.DisplayList[record].address : QString();
                control = QStringLiteral("LAN");
            } else if (n == 1) {
                port = serial ? QStringLiteral("COM%1").arg(shared.settings.ComPort.current)
                              : shared.settings.IpAddress.current;
                control = serial ? QStringLiteral("RS232") : QStringLiteral("LAN");
            }

            const std::array<QString, 5> texts {
                QString::number(n), QString::number(column), QString::number(row), port, control};
            for (int k = 0; k < static_cast<int>(texts.size()); ++k)
                m_list->setItem(n - 1, k, reportItem(texts[k], kListColumns[k].alignment));
        }
    }
}

void CPAGE1::ResizeWallPicture()
{
    SetCellSize(app(), m_picture->width(), m_picture->height());
    m_picture->redraw();
}

void CPAGE1::onListSelectionChanged()
{
    const QList<QTableWidgetItem*> selected = m_list->selectedItems();
    if (selected.isEmpty())
        return;
    const int row = selected.first()->row();
    const QTableWidgetItem* columnItem = m_list->item(row, 1);
    const QTableWidgetItem* rowItem = m_list->item(row, 2);
    if (!columnItem || !rowItem)
        return;
    const int x = columnItem->text().toInt();
    const int y = rowItem->text().toInt();
    m_picture->setHighlightedCell(app().WallRows * (x - 1) + (y - 1));
    m_picture->redraw();
}

void CPAGE1::onPictureReleased(const QPoint& pos)
{
    const QRect control = m_picture->geometry();
    const QPoint point = control.topLeft() + pos;
    if (!control.contains(point))
        return;
    const int cell = CellAtPoint(app(), control.left() + control.width() / 5, control.top(), point);
    if (cell == kNoCell)
        return;

    const int rows = app().WallRows;
    const QString column = QString::number(cell / rows + 1);
    const QString row = QString::number(cell % rows + 1);
    for (int r = 0; r < m_list->rowCount(); ++r) {
        const QTableWidgetItem* columnItem = m_list->item(r, 1);
        const QTableWidgetItem* rowItem = m_list->item(r, 2);
        if (columnItem && rowItem && columnItem->text() == column && rowItem->text() == row) {
            m_list->scrollToItem(m_list->item(r, 0));
            m_list->selectRow(r);
            m_list->setFocus();
            break;
        }
    }
    m_picture->setHighlightedCell(cell);
    m_picture->redraw();
}

void CPAGE1::onPowerOn()
{
    powerAll(true);
}

void CPAGE1::onPowerOff()
{
    powerAll(false);
}

// Both power buttons address every display, whatever the pages' target is; the progress box
// then paces the displays' start or stop (PendingPowerAction 0: on, 1: off).
void CPAGE1::powerAll(bool on)
{
    if (!CommandExchange(app()).WriteValue(0, CommandCode("POW"), on ? 1 : 0))
        return;
    app().PendingPowerAction = on ? 0 : 1;
    {
        CProcessbox box(ui(), on ? powerOnOperation() : powerOffOperation(), this);
        box.run();
    }
    if (on)
        ResetProjectId(app());
    SerialLink(app()).close();
}

void CPAGE1::onLayoutSetup()
{
    // The keeper must not rebuild connections the wizard is about to replace.
    app().WatchdogPaused = true;
    CLayoutSetupDLg::Outcome outcome = CLayoutSetupDLg::Outcome::Cancel;
    {
        CLayoutSetupDLg wizard(ui(), this);
        outcome = wizard.run();
    }
    if (outcome != CLayoutSetupDLg::Outcome::Cancel)
        BuildDisplayList(app());
    RefreshHomePage();
    ResizeWallPicture();
    app().WatchdogPaused = false;
    if (outcome == CLayoutSetupDLg::Outcome::AutoSetup)
        RunAutoSetup(ui(), this);
}

void CPAGE1::onDisplayStatus()
{
    LogMessageDlg status(ui(), this);
    status.exec();
}

void CPAGE1::OnTimer()
{
    m_keeper.LanWatchdog();
}

void CPAGE1::handlePageRequest(int sender, int action)
{
    // A request that arrives while the program waits stays queued until the wait is over.
    if (Waiter* waiter = app().services.waiter) {
        waiter->deliver(this, [this, sender, action] { switchFor(sender, action); });
        return;
    }
    switchFor(sender, action);
}

void CPAGE1::switchFor(int sender, int action)
{
    if (action == static_cast<int>(PageAction::Exit)) {
        LeaveProgram();
    } else if (action == static_cast<int>(PageAction::Follow)) {
        m_switcher.FollowPage(sender);
    } else if (const PageInfo* to = pageForAction(action)) {
        m_switcher.SwitchPage(sender, static_cast<int>(to->number));
    }
}

void CPAGE1::onExit()
{
    LeaveProgram();
}

void CPAGE1::setCovered(bool covered)
{
    if (covered) {
        if (!m_putAway.empty())
            return;
        for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (!qobject_cast<CPageFrame*>(child) && !child->isHidden()) {
                m_putAway.emplace_back(child);
                child->hide();
            }
        }
        return;
    }
    for (const QPointer<QWidget>& child : m_putAway) {
        if (child)
            child->show();
    }
    m_putAway.clear();
}

void CPAGE1::LeaveProgram()
{
    m_switcher.closeAll();
    m_watchdog->stop();
    done(0);
}

} // namespace ordalis
