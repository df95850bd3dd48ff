#pragma once

#include "pages/page_table.h"
#include "widgets/dialog_units.h"

#include <QColor>
#include <QDialog>
#include <QFont>

#include <array>

class QLabel;
class QPushButton;

namespace ordalis {

class CTavrinApp;
struct UiContext;

// What all seven pages share: the logo, the navigation panel, the title, the bottom strip
// with "About" and "Exit" (and a status line on some pages), the background and the fonts.
// The home page is a top-level window; every other page is a child that covers it exactly.
// Page changes are asked for with pageRequested(), which the home page receives queued.
class CPageFrame : public QDialog
{
    Q_OBJECT

public:
    static constexpr QColor kBackground {236, 233, 216};

    CPageFrame(UiContext& ui, PageNumber number, QWidget* parent = nullptr);
    ~CPageFrame() override;

    PageNumber pageNumber() const { return m_info.number; }
    const PageInfo& info() const { return m_info; }
    UiContext& ui() const { return m_ui; }
    CTavrinApp& app() const;
    const DialogUnits& units() const { return m_units; }

    // Shows the RS232 Command item unless ConnectionKind is 2 or 3 and the Back Up item
    // only for "Display Model" 0 or 1, as the shared state says now.
    void updatePanelItems();
    // The item at a panel position (1-7) is shown and leads somewhere from this page.
    bool isPanelItemClickable(int position) const;

    // The status line of the pages that have one (nullptr otherwise), drawn in StatusColour.
    QLabel* statusLine() const { return m_statusLine; }
    void showStatus(const QString& text, const QColor& colour);
    QColor StatusColour {0, 0, 255};

    QFont boldFont() const { return m_boldFont; }
    QFont titleFont() const { return m_titleFont; }

signals:
    void pageRequested(int sender, int action);

public slots:
    void reject() override; // the Escape key does nothing
    void accept() override; // nor does Enter

protected:
    void postPageRequest(PageAction action);
    // "Exit" and the window's close command: posts a request to leave the program.
    virtual void onExit();
    void openAboutBox();

    // Controls in the page's dialog units, bold Arial, with their ids.
    QPushButton* addButton(int id, const QString& text, const QRect& units);
    QLabel* addLabel(int id, const QString& text, const QRect& units);

    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    void updateCursor(const QPoint& pos);
    int clickableItemAt(const QPoint& pos) const;

    UiContext& m_ui;
    const PageInfo& m_info;
    DialogUnits m_units;
    QFont m_boldFont;
    QFont m_titleFont;
    std::array<QLabel*, 7> m_panelItems {};
    QLabel* m_statusLine = nullptr;
};

} // namespace ordalis
