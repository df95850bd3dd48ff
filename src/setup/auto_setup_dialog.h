#pragma once

#include <QDialog>

class QLabel;
class QRadioButton;

namespace ordalis {

enum class AutoSetupControl {
    Next = 1,
    Cancel = 2,
    Heading = 1026,
    Warning = 1027,
    Question = 1028,
    OnlySort = 1120,
    Everything = 1121,
};

// The auto setup's choice: only number the displays, or also give them their matrix and
// division. Ends with Next (accepted) or Cancel.
class CAutoSetup1Dlg final : public QDialog
{
    Q_OBJECT

public:
    explicit CAutoSetup1Dlg(QWidget* parent = nullptr);

    bool OnlySortIds = false;

    static QString warningFor(bool onlySortIds);

private:
    void onOnlySortClicked();
    void onEverythingClicked();
    void showWarning();

    QRadioButton* m_onlySort = nullptr;
    QRadioButton* m_everything = nullptr;
    QLabel* m_warning = nullptr;
};

} // namespace ordalis
