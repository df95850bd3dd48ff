#include "pages/about_box.h"

#include "widgets/artwork.h"
#include "widgets/control_id.h"
#include "widgets/dialog_units.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

namespace ordalis {

namespace {

constexpr QColor kAboutBackground {250, 250, 250};

} // namespace

QString CABOUTDLG::versionText()
{
    return QStringLiteral("Software version Ver %1.%2.%3")
        .arg(kVersionMajor)
        .arg(kVersionMinor)
        .arg(kVersionPatch);
}

CABOUTDLG::CABOUTDLG(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setWindowTitle(QStringLiteral("About Ordalis"));
    setModal(true);
    const QFont dialogFont = DialogUnits::dialogFont();
    setFont(dialogFont);
    const DialogUnits units(dialogFont);
    setFixedSize(units.size(180, 72));

    DialogUnits::fillBackground(*this, kAboutBackground);

    auto* strip = new QWidget(this);
    setControlId(strip, AboutControl::BottomStrip);
    DialogUnits::fillBackground(*strip, QApplication::palette().color(QPalette::Button));
    strip->setGeometry(units.rect(0, 48, 180, 24));

    auto* logo = new QLabel(this);
    setControlId(logo, AboutControl::Logo);
    logo->setPixmap(artwork::aboutLogo());
    logo->setGeometry(QRect(QPoint(units.x(7), units.y(7)), artwork::kAboutLogoSize));

    QFont bold = dialogFont;
    bold.setBold(true);
    auto* name = new QLabel(QStringLiteral("Ordalis"), this);
    setControlId(name, AboutControl::ProductName);
    name->setFont(bold);
    name->setGeometry(units.rect(76, 10, 100, 12));

    auto* version = new QLabel(versionText(), this);
    setControlId(version, AboutControl::Version);
    version->setGeometry(units.rect(76, 26, 100, 12));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    setControlId(ok, AboutControl::Ok);
    ok->setDefault(true);
    ok->setGeometry(units.rect(123, 53, 50, 14));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

} // namespace ordalis
