#pragma once

#include <QList>
#include <functional>
#include <QString>

#include "platform/ui/Frame.h"

class PrinterHost;
class QLabel;
class QMenu;
class QToolBar;
class QToolButton;

// One entry of a menu resource: a command with its text, a separator
// (id 0) or the place of the recent-file list (id -1).
struct MenuItem {
    int id;
    QString text;
};
struct MenuPopup {
    QString title;
    QList<MenuItem> items;
};
// The menus by resource id: 128 without a document, 129 with a target
// document active, 135 with the thumbnail viewer active.
QList<MenuPopup> MenuResource(int resourceId);
// The toolbar's buttons in order (0 for a separator).
QList<int> ToolbarResource();

// The main window: the MDI area, the menus, the toolbar with its Open
// drop-down and the status bar; it remembers its placement between runs.
class CMainFrame : public CMDIFrameWnd {
    Q_OBJECT
public:
    static constexpr const char* PLACEMENT_SECTION = "Window Location";

    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Creates the status bar, the toolbar, the menus and the commands.
    bool LoadFrame();

    QToolBar* toolBar() const { return m_wndToolBar; }
    QStatusBar* statusBarWidget() const { return m_wndStatusBar; }
    // The popup of the Open button's drop-down (menu 130).
    QMenu* recentFilePopup() const { return m_mruPopup; }
    QToolButton* openButton() const;
    int shownMenu() const { return m_shownMenu; }
    bool placementApplied() const { return m_bPlacementApplied; }

    // Shows "Printer calibrated: ..." while a target window is active and the
    // application's printer, which host keeps, has a stored correction.
    void SetPrinterHost(PrinterHost* host) { m_printerHost = host; }
    void UpdateCalibrationStatus();
    QLabel* calibrationStatus() const { return m_calibrationLabel; }
    // The active target window's size and what it prints; hidden without
    // one. Kept current whenever the program goes idle.
    void UpdateTargetStatus();
    QLabel* targetStatus() const { return m_targetLabel; }

    // What a request to open a file (a double-click in the thumbnail grid)
    // runs: the application opens the target there.
    void SetOpenFileHandler(std::function<void(const QString&)> handler) { m_openFile = std::move(handler); }

    void setVisible(bool visible) override;
    bool OnWindowMessage(WindowMessageEvent& message) override;

protected:
    void ShowMenuFor(int resourceId) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createStatusBar();
    void createToolBar();
    void setupActions();
    void fillRecentFiles(QMenu* menu);

    QStatusBar* m_wndStatusBar = nullptr;
    QToolBar* m_wndToolBar = nullptr;
    bool m_bPlacementApplied = false;
    QMenu* m_mruPopup = nullptr;
    QList<QLabel*> m_indicators;
    QLabel* m_calibrationLabel = nullptr;
    QLabel* m_targetLabel = nullptr;
    int m_shownMenu = 0;
    std::function<void(const QString&)> m_openFile;
    PrinterHost* m_printerHost = nullptr;
};
