#pragma once

#include "platform/ui/View.h"
#include "view/TargetViewState.h"

class QPrinter;
class CTargetDoc;

// The window of one target document: the sheet, the printable area and the
// target as they will print, at the chosen zoom or fitted to the window.
// All modes, layouts and the paint routine live in TargetViewState; this
// class adds the widget, the commands and the print and preview hooks.
class CTargetView : public CScrollView, public TargetViewState {
    Q_OBJECT
public:
    explicit CTargetView(QWidget* parent = nullptr);

    CTargetDoc* GetTargetDoc() const;
    TargetImage* Target() const override;
    QString DocumentTitle() const override;

    void OnInitialUpdate() override;
    void OnUpdate(CDocumentView* sender, qintptr hint, QObject* hintObject) override;
    void OnDraw(DeviceContext& dc) override;
    bool OnWindowMessage(WindowMessageEvent& message) override;

    // The screen's pixels per inch as the layout takes them (measured by
    // Screen Calibration, else as the screen reports them); sets the
    // fraction a whole number leaves out. Read once, and again here after
    // a calibration or a move to another screen.
    int ScreenDpi();
    void ReadScreenPixelsPerInch();

    // Scroll to the origin, lay out again and redraw at once.
    void Refresh(bool scrollToOrigin = true);

    // Print (with the dialog unless direct) and the preview; both paint
    // through the same routine as the screen. Both start from the
    // application's printer; the view keeps the metrics of the printer
    // used afterwards.
    void OnFilePrint(bool direct);
    void OnFilePrintPreview();

protected:
    void resizeEvent(QResizeEvent* event) override;
    // Follows the main window to another screen: its inch has other pixels.
    void showEvent(QShowEvent* event) override;

private:
    void addCommands();
    void addZoomCommands();
    void addSizeCommands();
    void addSharedCommands();
    void addPageAndPrintCommands();
    void layOut();
    // The first update sizes the child frame: fill the rest of the main
    // window's client area, then shrink to the picture at a fixed zoom. It
    // waits for the main window to show when it has not yet.
    void sizeFrameToPicture(bool mayWait = true);
    void prepareJob(QPrinter& printer);

    bool m_bFirstUpdateDone = false;
    bool m_bWatchingScreen = false;
    double m_dScreenPixelsPerInch = 0;  // 0 until read
};
