#include "setup/auto_setup_dialog.h"

#include "widgets/control_id.h"
#include "widgets/dialog_units.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace ordalis {

QString CAutoSetup1Dlg::warningFor(bool onlySortIds)
{
    return onlySortIds
        ? QStringLiteral("Warning: The Monitor ID of all displays will be overwritten.\n\n"
                         "Press \"Next\" to continue.")
        : QStringLiteral("Warning: The Monitor ID, Video Wall, Matrix X/Y and Division X/Y of all "
                         "displays will be overwritten.\n\nPress \"Next\" to continue.");
}

CAutoSetup1Dlg::CAutoSetup1Dlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Auto Setup"));
    const QFont dialogFont = DialogUnits::dialogFont();
    setFont(dialogFont);
    const DialogUnits du(dialogFont);
    setFixedSize(du.size(230, 180));

    auto* heading = new QLabel(QStringLiteral("Video Wall Auto Setup"), this);
    setControlId(heading, AutoSetupControl::Heading);
    heading->setFont(DialogUnits::boldDialogFont(8));
    heading->setAlignment(Qt::AlignCenter);
    heading->setGeometry(du.rect(7, 7, 216, 18));

    auto* question = new QLabel(QStringLiteral("Please select how the displays will be setup."), this);
    setControlId(question, AutoSetupControl::Question);
    question->setFont(DialogUnits::boldDialogFont());
    question->setAlignment(Qt::AlignCenter);
    question->setGeometry(du.rect(7, 30, 216, 12));

    m_onlySort = new QRadioButton(QStringLiteral("Only auto sort the Monitor ID ."), this);
    setControlId(m_onlySort, AutoSetupControl::OnlySort);
    m_onlySort->setGeometry(du.rect(20, 50, 196, 12));
    connect(m_onlySort, &QRadioButton::clicked, this, &CAutoSetup1Dlg::onOnlySortClicked);

    m_everything
        = new QRadioButton(QStringLiteral("Auto sort the Monitor ID, Matrix X/Y, and Division X/Y."), this);
    setControlId(m_everything, AutoSetupControl::Everything);
    m_everything->setGeometry(du.rect(20, 66, 196, 20));
    connect(m_everything, &QRadioButton::clicked, this, &CAutoSetup1Dlg::onEverythingClicked);

    m_warning = new QLabel(this);
    setControlId(m_warning, AutoSetupControl::Warning);
    m_warning->setWordWrap(true);
    m_warning->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette red = m_warning->palette();
    red.setColor(QPalette::WindowText, QColor(255, 0, 0));
    m_warning->setPalette(red);
    m_warning->setGeometry(du.rect(20, 92, 196, 52));

    auto* next = new QPushButton(QStringLiteral("Next"), this);
    setControlId(next, AutoSetupControl::Next);
    next->setDefault(true);
    next->setGeometry(du.rect(112, 156, 50, 14));
    connect(next, &QPushButton::clicked, this, &QDialog::accept);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    setControlId(cancel, AutoSetupControl::Cancel);
    cancel->setGeometry(du.rect(170, 156, 50, 14));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    m_onlySort->setChecked(false);
    m_everything->setChecked(true);
    showWarning();
}

void CAutoSetup1Dlg::onOnlySortClicked()
{
    OnlySortIds = m_onlySort->isChecked();
    m_everything->setChecked(!OnlySortIds);
    showWarning();
}

void CAutoSetup1Dlg::onEverythingClicked()
{
    OnlySortIds = !m_everything->isChecked();
    m_onlySort->setChecked(OnlySortIds);
    showWarning();
}

void CAutoSetup1Dlg::showWarning()
{
    m_warning->setText(warningFor(OnlySortIds));
}

} // namespace ordalis
