#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace ordalis {

struct IPSearch;
struct UiContext;

enum class IpSearchControl {
    Ok = 1,
    Exit = 2,
    Title = 1025,
    AddressLabel = 1034,
    DeviceList = 1067,
    AddressEdit = 1150,
    Search = 1151,
    Status = 1152,
};

// Lets the operator choose the address of a LAN module: shows the caller's address, searches
// the local networks for modules and lists them (the list of the last search is kept in the
// application and shown again), and returns the address on "OK".
class CIpSearchDlg final : public QDialog
{
    Q_OBJECT

public:
    CIpSearchDlg(UiContext& ui, QWidget* parent = nullptr);

    // Set before the dialog is shown. A Monitor ID of 0 means the first display's module.
    QString IpText;
    int MonitorId = 0;
    int Column = 0;
    int Row = 0;

    static QString titleFor(int monitorId, int column, int row);

    int exec() override;

    // The search of "Search display": UDP with "Lan Type" 1, otherwise the TCP probe.
    void SearchDisplays();

private:
    void addRow(const IPSearch& record);
    void onDoubleClicked();
    void onOk();
    void setStatus(const QString& text);
    void setButtonsEnabled(bool enabled);

    UiContext& m_ui;
    QLabel* m_title = nullptr;
    QLineEdit* m_edit = nullptr;
    QLabel* m_status = nullptr;
    QTableWidget* m_list = nullptr;
};

} // namespace ordalis
