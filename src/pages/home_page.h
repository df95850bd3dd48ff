#pragma once

#include "link/connection_keeper.h"
#include "pages/page_frame.h"
#include "pages/page_switcher.h"

#include <QPointer>

#include <memory>
#include <vector>

class QTableWidget;

namespace ordalis {

class CTestPatternCtrl;
class IntervalTimer;

enum class HomeControl : int {
    PowerOn = 3,
    LayoutSetup = 4,
    SshConnect = 5,
    PowerOff = 1018,
    DisplayStatus = 1020,
    SummaryLabel = 1030,
    Summary = 1031,
    LayoutLabel = 1032,
    MatrixLine = 1033,
    SettingsLabel = 1035,
    Title = 1053,
    WallPicture = 1144,
    DisplayListView = 1149,
};

// The home page: the program's main window. It summarises and lists the wall, draws it,
// powers all displays on and off, runs the page switcher and, every second, the connection
// keeper, whichever page is shown.
class CPAGE1 final : public CPageFrame
{
    Q_OBJECT

public:
    static constexpr int kWatchdogPeriodMs = 1000;

    explicit CPAGE1(UiContext& ui, PageSwitcher::Factory pageFactory = nullptr);
    ~CPAGE1() override;

    // Rebuilds the summary, the matrix line, the list and the panel items from the shared state.
    void RefreshHomePage();
    // Gives the wall picture its cell size from its size and redraws it.
    void ResizeWallPicture();

    void LeaveProgram();

    // While another page lies over the home page, the home page's own controls are put away, so
    // that neither the keyboard (Tab, Space) nor a paint reaches them under the page shown.
    void setCovered(bool covered);
    PageSwitcher& switcher() { return m_switcher; }

    // Timer 1: the connection keeper.
    void OnTimer();

    CTestPatternCtrl* wallPicture() const { return m_picture; }
    QTableWidget* displayList() const { return m_list; }

    // The model's name in the summary, by "Display Model".
    static QString modelName(int displayModel);

public slots:
    // A page request, delivered queued: after the posting handler returned, in arrival order.
    void handlePageRequest(int sender, int action);

protected:
    void onExit() override;

private:
    void switchFor(int sender, int action);
    void onPowerOn();
    void onPowerOff();
    void powerAll(bool on);
    void onLayoutSetup();
    void onDisplayStatus();
    void onListSelectionChanged();
    void onPictureReleased(const QPoint& pos);
    QString summaryText() const;
    void fillList();

    std::vector<QPointer<QWidget>> m_putAway;
    PageSwitcher m_switcher;
    ConnectionKeeper m_keeper;
    std::unique_ptr<IntervalTimer> m_watchdog;
    CTestPatternCtrl* m_picture = nullptr;
    QTableWidget* m_list = nullptr;
};

} // namespace ordalis
