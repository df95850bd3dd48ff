#include "setup/layout_wizard.h"

#include "app/ctavrin_app.h"
#include "app/wall_geometry.h"
#include "link/port_names.h"
#include "link/serial_link.h"
#include "platform/prompts.h"
#include "protocol/value_names.h"
#include "setup/ip_search_dialog.h"
#include "widgets/artwork.h"
#include "widgets/control_id.h"
#include "widgets/dialog_units.h"
#include "widgets/report_list.h"
#include "widgets/ui_context.h"
#include "widgets/wall_picture.h"

#include <QComboBox>
#include <QEvent>
#include <QFileInfo>
#include <QFrame>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

#include <array>

namespace ordalis {

namespace {

constexpr QColor kHeadingColour {0, 0, 200};
constexpr QColor kEditorBackground {200, 200, 20};
constexpr int kMonitorIdColumn = 0;
constexpr int kAddressColumn = 1;
constexpr int kMaxWallSide = 10;

constexpr std::array<WizardControl, 4> kHeadings {WizardControl::ConnectionHeading,
    WizardControl::SizeHeading, WizardControl::LocationHeading, WizardControl::PortHeading};

const QString kLocationHeading = QStringLiteral("3. The location of the 1st Display connected to the PC:");
const QString kAddressesHeading = QStringLiteral("3. Display IP Settings:");

bool isKind(const CTavrinApp& app, ConnectionKind kind)
{
    return app.ConnectionKind == static_cast<std::uint8_t>(kind);
}

// The number at the start of a text, as the port edit is read; 0 when there is none.
std::int32_t leadingNumber(const QString& text)
{
    std::int64_t value = 0;
    for (const QChar c : text.trimmed()) {
        if (!c.isDigit() || value > 0x7FFFFFFF / 10)
            break;
        value = value * 10 + c.digitValue();
    }
    return static_cast<std::int32_t>(value);
}

} // namespace

CLayoutSetupDLg::CLayoutSetupDLg(UiContext& ui, QWidget* parent) : QDialog(parent), m_ui(ui)
{
    build();
    open();
}

CLayoutSetupDLg::~CLayoutSetupDLg() = default;

CTavrinApp& CLayoutSetupDLg::app() const
{
    return m_ui.app;
}

void CLayoutSetupDLg::build()
{
    setWindowTitle(QStringLiteral("Video Wall Layout Wizard"));
    const QFont dialogFont = DialogUnits::dialogFont();
    setFont(dialogFont);
    const DialogUnits du(dialogFont);
    setFixedSize(du.size(356, 300));

    const auto label = [&](WizardControl id, const QString& text, QRect rect) {
        auto* widget = new QLabel(text, this);
        setControlId(widget, id);
        widget->setGeometry(rect);
        return widget;
    };
    const auto plainLabel = [&](const QString& text, QRect rect) {
        auto* widget = new QLabel(text, this);
        widget->setGeometry(rect);
        return widget;
    };
    const auto list
        = [&](WizardControl id, QStringList items, QRect rect, void (CLayoutSetupDLg::*handler)(int)) {
              auto* combo = new QComboBox(this);
              setControlId(combo, id);
              combo->addItems(items);
              combo->setGeometry(rect);
              connect(combo, &QComboBox::activated, this, handler);
              return combo;
          };
    const auto button = [&](WizardControl id, const QString& text, QRect rect) {
        auto* widget = new QPushButton(text, this);
        setControlId(widget, id);
        widget->setAutoDefault(false);
        widget->setGeometry(rect);
        return widget;
    };
    const auto edit = [&](WizardControl id, QRect rect) {
        auto* widget = new QLineEdit(this);
        setControlId(widget, id);
        widget->setGeometry(rect);
        return widget;
    };

    // 1. Connection and model.
    label(WizardControl::ConnectionHeading,
        QStringLiteral("1. Select how the PC connects to the 1st Display and each other:"),
        du.rect(7, 5, 342, 12));
    plainLabel(QStringLiteral("Connection"), du.rect(15, 22, 52, 10));
    list(WizardControl::Connection,
        {QStringLiteral("Single COM port with daisy-chained RS485"),
            QStringLiteral("Single LAN with daisy-chained RS485")},
        du.rect(70, 20, 180, 14), &CLayoutSetupDLg::onConnectionChosen);
    label(WizardControl::ModelLabel, QStringLiteral("Display Model"), du.rect(15, 40, 52, 10));
    QStringList models;
    for (const std::string_view model : kDisplayModelNames)
        models.append(QString::fromLatin1(model.data(), qsizetype(model.size())));
    list(WizardControl::DisplayModel, models, du.rect(70, 38, 90, 14), &CLayoutSetupDLg::onModelChosen);
    label(WizardControl::LanModuleLabel, QStringLiteral("LAN Module"), du.rect(165, 40, 40, 10))->hide();
    list(WizardControl::LanModule, {QStringLiteral("Build-in"), QStringLiteral("USR-WIFIRS232")},
        du.rect(205, 38, 60, 14), &CLayoutSetupDLg::onLanModuleChosen)
        ->hide();

    const struct
    {
        WizardControl id;
        ConnectionKind kind;
    } diagrams[] = {
        {WizardControl::SerialDiagram, ConnectionKind::Serial},
        {WizardControl::LanDiagram, ConnectionKind::Lan},
        {WizardControl::HubDiagram, ConnectionKind::LanEach},
        {WizardControl::WirelessDiagram, ConnectionKind::Wireless},
    };
    for (const auto& diagram : diagrams) {
        QLabel* picture = label(diagram.id, QString(), du.rect(180, 36, 172, 36));
        picture->setPixmap(artwork::connectionDiagram(diagram.kind));
        picture->setAlignment(Qt::AlignCenter);
        picture->hide();
    }

    // 2. Size.
    label(WizardControl::SizeHeading, QStringLiteral("2. Video Wall Size:"), du.rect(7, 60, 200, 12));
    QStringList sides;
    for (int side = 1; side <= kMaxWallSide; ++side)
        sides.append(QString::number(side));
    plainLabel(QStringLiteral("Columns"), du.rect(15, 78, 32, 10));
    list(WizardControl::Columns, sides, du.rect(50, 76, 34, 14), &CLayoutSetupDLg::onColumnsChosen);
    plainLabel(QStringLiteral("Rows"), du.rect(100, 78, 22, 10));
    list(WizardControl::Rows, sides, du.rect(124, 76, 34, 14), &CLayoutSetupDLg::onRowsChosen);

    // 3. First display's corner, or each display's address.
    label(WizardControl::LocationHeading, kLocationHeading, du.rect(7, 96, 342, 12));
    auto* bottomLeft = new QRadioButton(QStringLiteral("Bottom left"), this);
    setControlId(bottomLeft, WizardControl::BottomLeft);
    bottomLeft->setGeometry(du.rect(15, 114, 70, 12));
    connect(bottomLeft, &QRadioButton::clicked, this, &CLayoutSetupDLg::onBottomLeftClicked);
    auto* topLeft = new QRadioButton(QStringLiteral("Top left"), this);
    setControlId(topLeft, WizardControl::TopLeft);
    topLeft->setGeometry(du.rect(15, 130, 70, 12));
    connect(topLeft, &QRadioButton::clicked, this, &CLayoutSetupDLg::onTopLeftClicked);

    m_picture = new CTestPatternCtrl(app(), this);
    setControlId(m_picture, WizardControl::WallPicture);
    m_picture->setGeometry(du.rect(90, 112, 136, 92));
    connect(m_picture, &CTestPatternCtrl::released, this, &CLayoutSetupDLg::onPictureReleased);

    m_addresses = new QTableWidget(0, 2, this);
    setControlId(m_addresses, WizardControl::AddressList);
    m_addresses->setGeometry(du.rect(232, 112, 118, 74));
    makeReportList(*m_addresses);
    connect(
        m_addresses, &QTableWidget::itemSelectionChanged, this, &CLayoutSetupDLg::onAddressSelectionChanged);
    connect(m_addresses, &QTableWidget::cellDoubleClicked, this, &CLayoutSetupDLg::onAddressDoubleClicked);
    m_addresses->hide();

    m_cellEditor = new QLineEdit(this);
    setControlId(m_cellEditor, WizardControl::CellEditor);
    QPalette editorColours = m_cellEditor->palette();
    editorColours.setColor(QPalette::Base, kEditorBackground);
    m_cellEditor->setPalette(editorColours);
    m_cellEditor->installEventFilter(this);
    m_cellEditor->hide();

    QPushButton* searchRow
        = button(WizardControl::SearchRow, QStringLiteral("Search"), du.rect(232, 190, 50, 14));
    connect(searchRow, &QPushButton::clicked, this, &CLayoutSetupDLg::onSearchRow);
    searchRow->hide();

    auto* separator = new QFrame(this);
    setControlId(separator, WizardControl::Separator);
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);
    separator->setGeometry(du.rect(7, 210, 342, 2));

    // 4. Serial port or LAN address.
    label(WizardControl::PortHeading, QStringLiteral("4. Communication port:"), du.rect(7, 216, 200, 12));
    label(WizardControl::PortLabel, QStringLiteral("Select COM Port:"), du.rect(15, 234, 70, 10));
    list(WizardControl::SerialPorts, {}, du.rect(88, 232, 130, 14), &CLayoutSetupDLg::onSerialPortChosen);
    edit(WizardControl::AddressEdit, du.rect(88, 232, 80, 13));
    QPushButton* searchFirst
        = button(WizardControl::SearchFirst, QStringLiteral("Search"), du.rect(172, 231, 40, 14));
    connect(searchFirst, &QPushButton::clicked, this, &CLayoutSetupDLg::onSearchFirst);
    label(WizardControl::TelnetPortLabel, QStringLiteral("Port:"), du.rect(222, 234, 20, 10));
    QLineEdit* port = edit(WizardControl::PortEdit, du.rect(244, 232, 40, 13));
    port->setValidator(new QIntValidator(0, 99999999, port));
    label(WizardControl::ConnectionTypeLabel, QStringLiteral("Connection Type:"), du.rect(15, 252, 70, 10));
    list(WizardControl::ConnectionType, {QStringLiteral("Telnet")}, du.rect(88, 250, 60, 14),
        &CLayoutSetupDLg::onConnectionTypeChosen);
    label(WizardControl::LoginIdLabel, QStringLiteral("Login ID:"), du.rect(160, 252, 40, 10));
    edit(WizardControl::LoginIdEdit, du.rect(202, 250, 50, 13));
    label(WizardControl::PasswordLabel, QStringLiteral("Login Password:"), du.rect(256, 252, 50, 10));
    edit(WizardControl::PasswordEdit, du.rect(306, 250, 44, 13))->setEchoMode(QLineEdit::Password);

    QPushButton* autoSetup
        = button(WizardControl::AutoSetup, QStringLiteral("Auto Setup"), du.rect(160, 278, 60, 14));
    connect(autoSetup, &QPushButton::clicked, this, [this] { finish(Outcome::AutoSetup); });
    QPushButton* ok = button(WizardControl::Ok, QStringLiteral("OK"), du.rect(226, 278, 58, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { finish(Outcome::Ok); });
    QPushButton* cancel = button(WizardControl::Cancel, QStringLiteral("Cancel"), du.rect(290, 278, 58, 14));
    connect(cancel, &QPushButton::clicked, this, &CLayoutSetupDLg::reject);

    for (WizardControl id : kHeadings) {
        QLabel* widget = findControl<QLabel>(this, id);
        QPalette blue = widget->palette();
        blue.setColor(QPalette::WindowText, kHeadingColour);
        widget->setPalette(blue);
    }
}

void CLayoutSetupDLg::open()
{
    CTavrinApp& shared = app();
    const QFont heading = DialogUnits::boldDialogFont(4);
    for (WizardControl id : kHeadings)
        findControl<QLabel>(this, id)->setFont(heading);

    m_snapshot = {shared.WallColumns, shared.WallRows, shared.FirstDisplayAtBottom, shared.ConnectionKind,
        shared.settings.LanType.current, shared.settings.DisplayModel.current};

    fillSerialPorts();
    selectIn(WizardControl::SerialPorts, shared.settings.ComPort.current);

    for (WizardControl id : {WizardControl::LoginIdLabel, WizardControl::LoginIdEdit,
             WizardControl::PasswordLabel, WizardControl::PasswordEdit})
        findControl(this, id)->hide();

    auto* connectionType = findControl<QComboBox>(this, WizardControl::ConnectionType);
    connectionType->clear();
    connectionType->addItem(QStringLiteral("Telnet"));
    shared.LanLoginKind = 0;
    findControl<QLineEdit>(this, WizardControl::PortEdit)
        ->setText(QString::number(shared.settings.TelnetPort.current));

    m_addresses->setHorizontalHeaderLabels({QStringLiteral("Monitor ID"), QStringLiteral("IP Address")});
    m_addresses->horizontalHeaderItem(kMonitorIdColumn)->setTextAlignment(Qt::AlignCenter);
    m_addresses->horizontalHeaderItem(kAddressColumn)->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_addresses->setColumnWidth(kMonitorIdColumn, 80);
    m_addresses->setColumnWidth(kAddressColumn, 120);
    m_picture->setPictureStyle(PictureStyle::Layout);

    // A stored size of 11 to 15, or a kind the list does not offer, selects nothing.
    selectIn(WizardControl::Columns, shared.WallColumns - 1);
    selectIn(WizardControl::Rows, shared.WallRows - 1);
    selectIn(WizardControl::Connection, shared.ConnectionKind);
    selectIn(WizardControl::LanModule, shared.settings.LanType.current);
    selectIn(WizardControl::DisplayModel, shared.settings.DisplayModel.current);
    selectIn(WizardControl::ConnectionType, shared.LanLoginKind);

    UpdateWizardLayout();
    SetCellSize(shared, m_picture->width(), m_picture->height());
}

void CLayoutSetupDLg::selectIn(WizardControl list, int position)
{
    auto* combo = findControl<QComboBox>(this, list);
    combo->setCurrentIndex(position >= 0 && position < combo->count() ? position : -1);
}

void CLayoutSetupDLg::fillSerialPorts()
{
    auto* ports = findControl<QComboBox>(this, WizardControl::SerialPorts);
    ports->clear();
    ports->addItem(QStringLiteral(" "));
    for (int port = 1; port <= kHighestPort; ++port) {
        QString text = QStringLiteral("COM%1").arg(port);
        const QString device = comPortPath(port, app().DataFolder);
        if (!device.isEmpty() && QFileInfo::exists(device))
            text += QStringLiteral("  (%1)").arg(device);
        ports->addItem(text);
    }
}

void CLayoutSetupDLg::UpdateWizardLayout()
{
    CTavrinApp& shared = app();
    const bool serial = isKind(shared, ConnectionKind::Serial);
    const bool lan = isKind(shared, ConnectionKind::Lan);
    const bool wireless = isKind(shared, ConnectionKind::Wireless);
    const bool lanEach = isKind(shared, ConnectionKind::LanEach);
    const bool singleLan = lan || wireless;

    findControl<QRadioButton>(this, WizardControl::TopLeft)->setChecked(shared.FirstDisplayAtBottom == 0);
    findControl<QRadioButton>(this, WizardControl::BottomLeft)->setChecked(shared.FirstDisplayAtBottom == 1);
    m_cellEditor->hide();

    const auto show = [this](WizardControl id, bool visible) { findControl(this, id)->setVisible(visible); };
    show(WizardControl::TopLeft, !lanEach);
    show(WizardControl::BottomLeft, !lanEach);
    findControl<QLabel>(this, WizardControl::LocationHeading)
        ->setText(lanEach ? kAddressesHeading : kLocationHeading);
    show(WizardControl::AddressList, lanEach);
    show(WizardControl::SearchRow, lanEach);
    show(WizardControl::Separator, !lanEach);
    show(WizardControl::PortHeading, !lanEach);
    show(WizardControl::PortLabel, !lanEach);
    findControl<QLabel>(this, WizardControl::PortLabel)
        ->setText(serial ? QStringLiteral("Select COM Port:") : QStringLiteral("Display IP Address:"));
    show(WizardControl::SerialPorts, serial);
    show(WizardControl::AddressEdit, singleLan);
    show(WizardControl::TelnetPortLabel, singleLan);
    show(WizardControl::PortEdit, singleLan);
    if (singleLan) {
        findControl<QLineEdit>(this, WizardControl::AddressEdit)->setText(shared.settings.IpAddress.current);
        findControl<QLineEdit>(this, WizardControl::PortEdit)
            ->setText(QString::number(shared.settings.TelnetPort.current));
    }
    const int model = shared.settings.DisplayModel.current;
    show(WizardControl::SearchFirst, lan && model != 0 && model != 1);
    show(WizardControl::SerialDiagram, serial);
    show(WizardControl::LanDiagram, lan);
    show(WizardControl::WirelessDiagram, wireless);
    show(WizardControl::HubDiagram, lanEach);
    if (!lanEach) {
        show(WizardControl::ConnectionTypeLabel, lan);
        show(WizardControl::ConnectionType, lan);
        for (WizardControl id : {WizardControl::LoginIdLabel, WizardControl::LoginIdEdit,
                 WizardControl::PasswordLabel, WizardControl::PasswordEdit})
            show(id, false);
    }

    if (lanEach)
        fillAddressList();
    resetPicture();
}

void CLayoutSetupDLg::fillAddressList()
{
    CTavrinApp& shared = app();
    const QSignalBlocker quiet(m_addresses);
    m_addresses->setRowCount(0);
    const int displays = std::min<int>(shared.WallColumns * shared.WallRows, int(shared.IpTable.size()));
    m_addresses->setRowCount(displays);
    for (int i = 0; i < displays; ++i) {
        const QString& stored = shared.IpTable[std::size_t(i)];
        m_addresses->setItem(i, kMonitorIdColumn, reportItem(QString::number(i + 1), Qt::AlignHCenter));
        m_addresses->setItem(i, kAddressColumn,
            reportItem(stored.isEmpty() ? shared.settings.IpAddress.current : stored, Qt::AlignLeft));
    }
    // Filling leaves the last row current.
    m_currentRow = std::max(displays - 1, 0);
}

void CLayoutSetupDLg::resetPicture()
{
    SetCellSize(app(), m_picture->width(), m_picture->height());
    m_picture->setHighlightedCell(kNoCell);
    m_picture->redraw();
}

void CLayoutSetupDLg::onConnectionChosen(int position)
{
    app().ConnectionKind = static_cast<std::uint8_t>(position);
    UpdateWizardLayout();
}

void CLayoutSetupDLg::onModelChosen(int position)
{
    app().settings.DisplayModel.current = static_cast<std::uint8_t>(position);
    UpdateWizardLayout();
}

void CLayoutSetupDLg::onLanModuleChosen(int position)
{
    app().settings.LanType.current = static_cast<std::uint8_t>(position);
}

void CLayoutSetupDLg::onConnectionTypeChosen(int)
{
    UpdateWizardLayout();
}

void CLayoutSetupDLg::onColumnsChosen(int position)
{
    app().WallColumns = static_cast<std::uint8_t>(position + 1);
    resetPicture();
    UpdateWizardLayout();
}

void CLayoutSetupDLg::onRowsChosen(int position)
{
    app().WallRows = static_cast<std::uint8_t>(position + 1);
    resetPicture();
    UpdateWizardLayout();
}

void CLayoutSetupDLg::onTopLeftClicked()
{
    app().FirstDisplayAtBottom = findControl<QRadioButton>(this, WizardControl::TopLeft)->isChecked() ? 0 : 1;
    UpdateWizardLayout();
}

void CLayoutSetupDLg::onBottomLeftClicked()
{
    app().FirstDisplayAtBottom
        = findControl<QRadioButton>(this, WizardControl::BottomLeft)->isChecked() ? 1 : 0;
    UpdateWizardLayout();
}

void CLayoutSetupDLg::onSerialPortChosen(int position)
{
    CTavrinApp& shared = app();
    SerialLink serial(shared);
    serial.close();
    shared.settings.ComPort.current = static_cast<std::uint8_t>(position);
    shared.ComPortHandle = serial.OpenComPort(SerialLink::kModeExchange);
    shared.ComPortOpen = shared.ComPortHandle != nullptr;
    if (!shared.ComPortOpen)
        shared.services.prompts->message(QStringLiteral("RS232 device is not ready !!"), PromptIcon::Stop);
}

void CLayoutSetupDLg::onSearchFirst()
{
    auto* address = findControl<QLineEdit>(this, WizardControl::AddressEdit);
    CIpSearchDlg search(m_ui, this);
    search.IpText = address->text();
    search.MonitorId = 0;
    if (search.exec() == QDialog::Accepted)
        address->setText(search.IpText);
}

void CLayoutSetupDLg::onSearchRow()
{
    CTavrinApp& shared = app();
    const int row = m_currentRow;
    if (row < 0 || row >= m_addresses->rowCount())
        return;
    const int monitorId = row + 1;
    const std::int32_t place = MonitorIdToPlace(shared, monitorId);
    CIpSearchDlg search(m_ui, this);
    search.IpText = m_addresses->item(row, kAddressColumn)->text();
    search.MonitorId = monitorId;
    search.Column = place / 256;
    search.Row = place % 256;
    if (search.exec() != QDialog::Accepted)
        return;
    m_addresses->item(row, kAddressColumn)->setText(search.IpText);
    shared.IpTable[std::size_t(row)] = search.IpText;
    shared.IpFileDirty = true;
}

void CLayoutSetupDLg::onAddressSelectionChanged()
{
    const int current = m_addresses->currentRow();
    if (current >= 0)
        m_currentRow = current;
    const QList<QTableWidgetItem*> selected = m_addresses->selectedItems();
    if (selected.isEmpty())
        return;
    const int row = selected.first()->row();
    m_currentRow = row;
    const int monitorId = m_addresses->item(row, kMonitorIdColumn)->text().toInt();
    m_picture->setHighlightedCell(CellIndexOfMonitorId(app(), monitorId));
    m_picture->redraw();
}

void CLayoutSetupDLg::onAddressDoubleClicked(int row, int column)
{
    if (column != kAddressColumn || row < 0)
        return;
    m_editorRow = row;
    m_editorColumn = column;
    const QRect cell = m_addresses->visualRect(m_addresses->model()->index(row, column));
    const QPoint topLeft = m_addresses->viewport()->mapTo(this, cell.topLeft());
    m_cellEditor->setGeometry(topLeft.x() + 5, topLeft.y(), cell.width(), cell.height() + 2);
    m_cellEditor->setText(m_addresses->item(row, column)->text());
    m_cellEditor->show();
    m_cellEditor->raise();
    m_cellEditor->setFocus();
}

bool CLayoutSetupDLg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_cellEditor && event->type() == QEvent::FocusOut)
        commitCellEditor();
    return QDialog::eventFilter(watched, event);
}

void CLayoutSetupDLg::commitCellEditor()
{
    if (!m_cellEditor->isVisible() || m_editorRow < 0)
        return;
    m_cellEditor->hide();
    CTavrinApp& shared = app();
    const QString text = m_cellEditor->text();
    if (QTableWidgetItem* item = m_addresses->item(m_editorRow, m_editorColumn))
        item->setText(text);
    if (m_editorRow < int(shared.IpTable.size()))
        shared.IpTable[std::size_t(m_editorRow)] = text;
    shared.IpFileDirty = true;
    m_editorRow = -1;
}

void CLayoutSetupDLg::onPictureReleased(const QPoint& pos)
{
    CTavrinApp& shared = app();
    if (!isKind(shared, ConnectionKind::LanEach))
        return;
    const std::int32_t cell = m_picture->cellAt(pos);
    if (cell == kNoCell)
        return;
    const int monitorId = PlaceToMonitorId(shared, cell / shared.WallRows + 1, cell % shared.WallRows + 1);
    if (monitorId >= 1 && monitorId <= m_addresses->rowCount()) {
        m_addresses->scrollToItem(m_addresses->item(monitorId - 1, kMonitorIdColumn));
        m_addresses->selectRow(monitorId - 1);
        m_addresses->setFocus();
    }
    m_picture->setHighlightedCell(cell);
    m_picture->redraw();
}

void CLayoutSetupDLg::finish(Outcome outcome)
{
    commitCellEditor();
    CTavrinApp& shared = app();
    if (isKind(shared, ConnectionKind::Lan) || isKind(shared, ConnectionKind::Wireless)) {
        shared.settings.IpAddress.current = findControl<QLineEdit>(this, WizardControl::AddressEdit)->text();
        shared.settings.TelnetPort.current
            = leadingNumber(findControl<QLineEdit>(this, WizardControl::PortEdit)->text());
    }
    m_outcome = outcome;
    done(outcome == Outcome::AutoSetup ? 2 : QDialog::Accepted);
}

void CLayoutSetupDLg::reject()
{
    commitCellEditor();
    CTavrinApp& shared = app();
    shared.WallColumns = m_snapshot.columns;
    shared.WallRows = m_snapshot.rows;
    shared.FirstDisplayAtBottom = m_snapshot.firstDisplayAtBottom;
    shared.ConnectionKind = m_snapshot.connectionKind;
    shared.settings.LanType.current = m_snapshot.lanType;
    shared.settings.DisplayModel.current = m_snapshot.displayModel;
    m_outcome = Outcome::Cancel;
    QDialog::reject();
}

CLayoutSetupDLg::Outcome CLayoutSetupDLg::run()
{
    m_outcome = Outcome::Cancel;
    exec();
    return m_outcome;
}

} // namespace ordalis
