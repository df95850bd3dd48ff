#include "pages/page_frame.h"

#include "app/ctavrin_app.h"
#include "link/serial_link.h"
#include "pages/about_box.h"
#include "widgets/artwork.h"
#include "widgets/control_id.h"
#include "widgets/ui_context.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

namespace ordalis {

namespace {

constexpr int kRs232Position = 5;
constexpr int kBackUpPosition = 7;

bool panelItemShown(const CTavrinApp& app, int position)
{
    if (position == kRs232Position)
        return app.ConnectionKind != 2 && app.ConnectionKind != 3;
    if (position == kBackUpPosition)
        return app.settings.DisplayModel.current <= 1;
    return true;
}

const PageInfo& infoOf(PageNumber number)
{
    const PageInfo* info = pageInfo(static_cast<int>(number));
    return info ? *info : kPages.front();
}

} // namespace

CPageFrame::CPageFrame(UiContext& ui, PageNumber number, QWidget* parent)
    : QDialog(parent), m_ui(ui), m_info(infoOf(number)), m_units(DialogUnits::dialogFont())
{
    // Every page but the home page lies inside the home page's window.
    if (number != PageNumber::Home)
        setWindowFlags(Qt::Widget);

    const QFont dialogFont = DialogUnits::dialogFont();
    setFont(dialogFont);
    m_boldFont = dialogFont;
    m_boldFont.setBold(true);
    m_titleFont = DialogUnits::boldDialogFont(m_info.titleGrowth);

    DialogUnits::fillBackground(*this, kBackground);
    setFixedSize(m_units.size(400, 300));
    setMouseTracking(true);
    setCursor(Qt::ArrowCursor);

    auto* strip = new QWidget(this);
    setControlId(strip, FrameControl::BottomStrip);
    DialogUnits::fillBackground(*strip, QApplication::palette().color(QPalette::Button));
    strip->setGeometry(m_units.rect(0, 274, 400, 26));

    auto* logo = new QLabel(this);
    setControlId(logo, FrameControl::Logo);
    logo->setPixmap(artwork::makerLogo());
    logo->setGeometry(QRect(
        m_units.x(13), m_units.y(12), artwork::kMakerLogoSize.width(), artwork::kMakerLogoSize.height()));
    logo->setAttribute(Qt::WA_TransparentForMouseEvents);

    for (const PageInfo& page : kPages) {
        const int p = page.panelPosition;
        auto* item = new QLabel(this);
        setControlId(item, panelItemId(p));
        item->setPixmap(artwork::panelItem(static_cast<artwork::PanelItem>(p), page.number == number));
        item->setGeometry(QRect(m_units.x(12), m_units.y(59 + 27 * (p - 1)), artwork::kPanelItemSize.width(),
            artwork::kPanelItemSize.height()));
        // The page tests the items itself, in its own coordinates.
        item->setAttribute(Qt::WA_TransparentForMouseEvents);
        m_panelItems[p - 1] = item;
    }

    auto* separator = new QFrame(this);
    setControlId(separator, FrameControl::Separator);
    separator->setFrameShape(QFrame::VLine);
    separator->setFrameShadow(QFrame::Sunken);
    separator->setGeometry(m_units.rect(116, 0, 2, 256));

    QLabel* title
        = addLabel(m_info.titleId, QString::fromLatin1(m_info.title), m_units.rect(124, 8, 200, 18));
    title->setFont(m_titleFont);

    QPushButton* about = addButton(
        static_cast<int>(FrameControl::About), QStringLiteral("About"), m_units.rect(10, 280, 50, 14));
    connect(about, &QPushButton::clicked, this, &CPageFrame::openAboutBox);
    QPushButton* exit = addButton(m_info.exitId, QStringLiteral("Exit"), m_units.rect(326, 280, 50, 14));
    connect(exit, &QPushButton::clicked, this, [this] { onExit(); });

    if (m_info.hasStatusLine) {
        m_statusLine = addLabel(
            static_cast<int>(FrameControl::StatusLine), QString(), m_units.rect(207, 280, 109, 14));
        m_statusLine->setAlignment(Qt::AlignCenter);
        m_statusLine->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    }

    updatePanelItems();
    // A page starts without the serial port; the next exchange opens it again.
    SerialLink(m_ui.app).close();
}

CPageFrame::~CPageFrame() = default;

CTavrinApp& CPageFrame::app() const
{
    return m_ui.app;
}

void CPageFrame::updatePanelItems()
{
    for (const PageInfo& page : kPages) {
        const int p = page.panelPosition;
        m_panelItems[p - 1]->setVisible(panelItemShown(m_ui.app, p));
    }
}

bool CPageFrame::isPanelItemClickable(int position) const
{
    if (position < 1 || position > static_cast<int>(m_panelItems.size()))
        return false;
    return position != m_info.panelPosition && panelItemShown(m_ui.app, position)
        && !m_panelItems[position - 1]->isHidden();
}

void CPageFrame::showStatus(const QString& text, const QColor& colour)
{
    StatusColour = colour;
    if (!m_statusLine)
        return;
    QPalette ink = m_statusLine->palette();
    ink.setColor(QPalette::WindowText, colour);
    m_statusLine->setPalette(ink);
    m_statusLine->setText(text);
}

void CPageFrame::reject()
{
}

void CPageFrame::accept()
{
}

void CPageFrame::postPageRequest(PageAction action)
{
    emit pageRequested(static_cast<int>(m_info.number), static_cast<int>(action));
}

void CPageFrame::onExit()
{
    postPageRequest(PageAction::Exit);
}

void CPageFrame::openAboutBox()
{
    CABOUTDLG about(this);
    about.exec();
}

QPushButton* CPageFrame::addButton(int id, const QString& text, const QRect& rect)
{
    auto* button = new QPushButton(text, this);
    setControlId(button, id);
    button->setFont(m_boldFont);
    button->setAutoDefault(false);
    button->setGeometry(rect);
    return button;
}

QLabel* CPageFrame::addLabel(int id, const QString& text, const QRect& rect)
{
    auto* label = new QLabel(text, this);
    setControlId(label, id);
    label->setFont(m_boldFont);
    label->setGeometry(rect);
    return label;
}

int CPageFrame::clickableItemAt(const QPoint& pos) const
{
    for (const PageInfo& page : kPages) {
        const int p = page.panelPosition;
        if (isPanelItemClickable(p) && m_panelItems[p - 1]->geometry().contains(pos))
            return p;
    }
    return 0;
}

void CPageFrame::updateCursor(const QPoint& pos)
{
    // Set either way: a page inherits the cursor of the home page under it.
    setCursor(clickableItemAt(pos) != 0 ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void CPageFrame::mouseMoveEvent(QMouseEvent* event)
{
    updateCursor(event->position().toPoint());
    QDialog::mouseMoveEvent(event);
}

void CPageFrame::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        updateCursor(event->position().toPoint());
    QDialog::mousePressEvent(event);
}

void CPageFrame::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        const QPoint pos = event->position().toPoint();
        for (const PageInfo& page : kPages) {
            const int p = page.panelPosition;
            if (isPanelItemClickable(p) && m_panelItems[p - 1]->geometry().contains(pos))
                postPageRequest(page.goTo);
        }
    }
    QDialog::mouseReleaseEvent(event);
}

void CPageFrame::closeEvent(QCloseEvent* event)
{
    // The window's close command is "Exit"; the page itself closes only when the home
    // page takes it down.
    event->ignore();
    onExit();
}

void CPageFrame::moveEvent(QMoveEvent* event)
{
    QDialog::moveEvent(event);
    if (m_info.number != PageNumber::Home && isVisible())
        postPageRequest(PageAction::Follow);
}

} // namespace ordalis
