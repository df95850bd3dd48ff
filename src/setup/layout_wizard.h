#pragma once

#include <QDialog>

#include <cstdint>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace ordalis {

class CTavrinApp;
class CTestPatternCtrl;
struct UiContext;

enum class WizardControl {
    Ok = 1,
    Cancel = 2,
    AddressEdit = 1013,
    CellEditor = 1014,
    PortEdit = 1015,
    LoginIdEdit = 1016,
    PasswordEdit = 1017,
    SizeHeading = 1025,
    ConnectionHeading = 1026,
    LocationHeading = 1027,
    PortHeading = 1028,
    PortLabel = 1032,
    Separator = 1033,
    LanModuleLabel = 1034,
    TelnetPortLabel = 1035,
    ModelLabel = 1036,
    ConnectionTypeLabel = 1037,
    LoginIdLabel = 1038,
    PasswordLabel = 1039,
    Columns = 1048,
    Rows = 1049,
    SerialPorts = 1050,
    Connection = 1069,
    LanModule = 1070,
    DisplayModel = 1071,
    ConnectionType = 1072,
    AutoSetup = 1087,
    SearchFirst = 1088,
    SearchRow = 1089,
    TopLeft = 1123,
    BottomLeft = 1124,
    WallPicture = 1144,
    SerialDiagram = 1146,
    LanDiagram = 1147,
    HubDiagram = 1148,
    AddressList = 1149,
    WirelessDiagram = 1150,
};

// The "Video Wall Layout Wizard": how the PC reaches the displays, the model, the wall's size,
// where the first display sits (or each display's address) and the serial port or LAN
// address. Most choices go into the shared state at once, so the picture follows them;
// "Cancel" puts the wall description back as it was.
class CLayoutSetupDLg final : public QDialog
{
    Q_OBJECT

public:
    enum class Outcome { Ok, Cancel, AutoSetup };
    static constexpr int kHighestPort = 127;

    CLayoutSetupDLg(UiContext& ui, QWidget* parent = nullptr);
    ~CLayoutSetupDLg() override;

    // Runs modally.
    Outcome run();
    Outcome outcome() const { return m_outcome; }

    // Shows the controls of the current ConnectionKind and refills what depends on the state.
    void UpdateWizardLayout();

    CTestPatternCtrl* wallPicture() const { return m_picture; }
    int currentRow() const { return m_currentRow; }

    // The wizard's own values when it opened.
    struct Snapshot
    {
        std::uint8_t columns = 0;
        std::uint8_t rows = 0;
        std::uint8_t firstDisplayAtBottom = 0;
        std::uint8_t connectionKind = 0;
        std::uint8_t lanType = 0;
        std::uint8_t displayModel = 0;
    };

public slots:
    void reject() override; // the Escape key cancels like "Cancel"

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void open();
    void fillSerialPorts();
    void fillAddressList();
    void resetPicture();
    void selectIn(WizardControl list, int position);

    void onConnectionChosen(int position);
    void onModelChosen(int position);
    void onLanModuleChosen(int position);
    void onConnectionTypeChosen(int position);
    void onColumnsChosen(int position);
    void onRowsChosen(int position);
    void onTopLeftClicked();
    void onBottomLeftClicked();
    void onSerialPortChosen(int position);
    void onSearchFirst();
    void onSearchRow();
    void onAddressSelectionChanged();
    void onAddressDoubleClicked(int row, int column);
    void onPictureReleased(const QPoint& pos);
    void commitCellEditor();
    void finish(Outcome outcome);

    CTavrinApp& app() const;

    UiContext& m_ui;
    Snapshot m_snapshot;
    Outcome m_outcome = Outcome::Cancel;
    CTestPatternCtrl* m_picture = nullptr;
    QTableWidget* m_addresses = nullptr;
    QLineEdit* m_cellEditor = nullptr;
    int m_currentRow = 0;
    int m_editorRow = -1;
    int m_editorColumn = -1;
};

} // namespace ordalis
