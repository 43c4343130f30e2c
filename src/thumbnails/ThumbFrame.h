#pragma once

#include <QList>

#include "platform/ui/Frame.h"

class PrinterHost;

class CDriveView;
class CRoutingSplitter;
class CVNThumbView;
class QAction;
class QMainWindow;
class QToolBar;

// The thumbnail viewer's window: the folder tree and the grid side by side
// in a splitter, and a vertical toolbar with the three thumbnail sizes at
// its right edge. It remembers the size, the tree's width and its own
// placement in the "Thumbnail View" section of the settings.
class CThumbFrame : public CMDIChildWnd {
    Q_OBJECT
public:
    static constexpr const char* SETTINGS_SECTION = "Thumbnail View";

    explicit CThumbFrame(QWidget* parent = nullptr);
    ~CThumbFrame() override;

    // The view from the template is the tree; the frame makes the grid
    // beside it.
    void SetView(CView* view) override;
    void InitialUpdateFrame(CDocument* doc, bool visible) override;
    // The pane that last had the focus (the tree at first).
    CView* GetActiveView() const override;

    // The size commands 32900 to 32902; choosing the current one does nothing.
    void OnThumbSize(int id);
    int thumbCommand() const { return m_nThumbCommand; }
    int thumbSize() const { return m_nThumbSize; }

    // Stops the grid's worker and the tree's watches and saves the layout;
    // once, before the window goes.
    void OnDestroy();

    CDriveView* driveView() const { return m_pTree; }
    CVNThumbView* thumbView() const { return m_pGrid; }
    // The keeper of the application's printer the grid prints for; given
    // before the template sets the view.
    void SetPrinterHost(PrinterHost* host) { m_printerHost = host; }
    CRoutingSplitter* splitter() const { return m_pSplitter; }
    QToolBar* sizeBar() const { return m_pToolBar; }

    void setVisible(bool visible) override;

    bool OnCmdMsg(int id) override;
    bool OnUpdateCmdUI(CCmdUI& cmdUI) override;
    bool HasCommandHandler(int id) const override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createSizeBar();

    QMainWindow* m_pInner;
    QToolBar* m_pToolBar = nullptr;
    QList<QAction*> m_sizeActions;
    CRoutingSplitter* m_pSplitter = nullptr;
    CDriveView* m_pTree = nullptr;
    CVNThumbView* m_pGrid = nullptr;
    PrinterHost* m_printerHost = nullptr;
    CView* m_pActiveView = nullptr;
    int m_nThumbSize = 200;
    int m_nThumbCommand = 32902;
    bool m_bPlacementRestored = false;
    bool m_bDestroyed = false;
};
