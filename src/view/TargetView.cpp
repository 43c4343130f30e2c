#include "view/TargetView.h"

#include <QApplication>
#include <QInputDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QResizeEvent>
#include <QStyle>
#include <QTimer>
#include <QWindow>

#include <algorithm>

#include "document/TargetDoc.h"
#include "document/TargetImage.h"
#include "platform/CommandIds.h"
#include "platform/DeviceContext.h"
#include "platform/MessageBox.h"
#include "platform/WindowMessage.h"
#include "platform/ui/ScreenCalibration.h"
#include "platform/ui/WinApp.h"
#include "view/DistanceScaleCommand.h"
#include "view/PosterDlg.h"
#include "print/PrintJob.h"
#include "print/PrinterSettings.h"
#include "print/ScaleCheck.h"
#include "view/TileLayoutCommand.h"

using namespace Cmd;

CTargetView::CTargetView(QWidget* parent) : CScrollView(parent)
{
    m_clrButtonFace = palette().color(QPalette::Button);
    m_clrWindow = palette().color(QPalette::Base);
    // Erased in the button-face colour, so the white sheet stands out.
    viewport()->setBackgroundRole(QPalette::Button);
    addCommands();
}

CTargetDoc* CTargetView::GetTargetDoc() const { return qobject_cast<CTargetDoc*>(GetDocument()); }

TargetImage* CTargetView::Target() const
{
    CTargetDoc* doc = GetTargetDoc();
    return doc ? &doc->GetTargetImage() : nullptr;
}

QString CTargetView::DocumentTitle() const
{
    CTargetDoc* doc = GetTargetDoc();
    return doc ? doc->GetTitle() : QString();
}

void CTargetView::addCommands()
{
    addZoomCommands();
    addSizeCommands();
    addSharedCommands();
    addPageAndPrintCommands();
}

void CTargetView::addZoomCommands()
{
    // The whole range is one command: ids without a menu item zoom to full size.
    addCommandRange(ID_VIEW_FIT_TO_WINDOW, ID_VIEW_ZOOM_100, [this](int id) {
        if (SetZoomCommand(id)) Refresh();
    });
    addUpdateRange(ID_VIEW_FIT_TO_WINDOW, ID_VIEW_ZOOM_100, [this](CCmdUI& ui) {
        ui.Enable(true);
        ui.SetCheck(ui.id() == m_nZoomCmd ? 1 : 0);
    });
}

// How the target meets the paper: sheets, scale, distance and copies.
void CTargetView::addSizeCommands()
{
    addCommand(ID_VIEW_TILE_PAGES, [this] {
        ToggleTilePagesToTarget();
        Refresh();
    });
    addUpdateHandler(ID_VIEW_TILE_PAGES, [this](CCmdUI& ui) {
        ui.Enable(TilePagesToTargetEnabled());
        ui.SetCheck(TilePagesToTargetChecked() ? 1 : 0);
    });
    addCommand(ID_VIEW_SCALE_TO_PAGE, [this] {
        ToggleScaleTargetToPage();
        Refresh();
    });
    addUpdateHandler(ID_VIEW_SCALE_TO_PAGE, [this](CCmdUI& ui) {
        ui.Enable(ScaleTargetToPageEnabled());
        ui.SetCheck(ScaleTargetToPageChecked() ? 1 : 0);
    });
    addCommand(ID_VIEW_SCALE_DISTANCE, [this] {
        if (RunScaleForDistance(*this, this)) Refresh();
    });
    addUpdateHandler(ID_VIEW_SCALE_DISTANCE, [this](CCmdUI& ui) {
        ui.Enable(ScaleForDistanceEnabled(*this));
        ui.SetCheck(ScaleForDistanceChecked(*this) ? 1 : 0);
    });
    addCommand(ID_VIEW_TILE_TARGET, [this] {
        RunTileTargetToPage(*this, this);
        Refresh();
    });
    addUpdateHandler(ID_VIEW_TILE_TARGET, [this](CCmdUI& ui) {
        ui.Enable(TileTargetToPageEnabled(*this));
        ui.SetCheck(TileTargetToPageChecked(*this) ? 1 : 0);
    });
}

// Choices that every window shares.
void CTargetView::addSharedCommands()
{
    addCommand(ID_VIEW_SCALE_CHECK, [] {
        SetScaleCheckEnabled(!ScaleCheckEnabled());
        for (QWidget* top : QApplication::topLevelWidgets())
            for (CTargetView* view : top->findChildren<CTargetView*>()) view->viewport()->update();
    });
    addUpdateHandler(ID_VIEW_SCALE_CHECK, [](CCmdUI& ui) {
        ui.Enable(true);
        ui.SetCheck(ScaleCheckEnabled() ? 1 : 0);
    });

    addCommand(ID_VIEW_POSTER_OPTIONS, [this] {
        CPosterDlg dialog(m_poster, this);
        if (dialog.exec() != QDialog::Accepted) return;
        const PosterOptions options = dialog.Options();
        WritePosterOptions(options);
        // One choice for every window, as the settings keep one.
        for (QWidget* top : QApplication::topLevelWidgets())
            for (CTargetView* view : top->findChildren<CTargetView*>()) {
                view->m_poster = options;
                view->Refresh(view == this);
            }
    });
    addUpdateHandler(ID_VIEW_POSTER_OPTIONS, [this](CCmdUI& ui) { ui.Enable(HasPicture()); });
}

void CTargetView::addPageAndPrintCommands()
{
    // A PDF of several pages: the page shown and printed, kept by the
    // window's document, never written to the file.
    addCommand(ID_VIEW_DOCUMENT_PAGE, [this] {
        TargetImage* target = Target();
        if (!target || target->PageCount() < 2) return;
        bool ok = false;
        const int page = QInputDialog::getInt(this, QStringLiteral("Page"),
                                              QStringLiteral("Page (1 to %1):").arg(target->PageCount()),
                                              target->Page(), 1, target->PageCount(), 1, &ok);
        if (!ok || page == target->Page() || !target->SetPage(page)) return;
        // A page of another size is laid out afresh, as a target just opened.
        ChooseAutomaticPoster();
        Refresh(true);
    });
    addUpdateHandler(ID_VIEW_DOCUMENT_PAGE, [this](CCmdUI& ui) {
        ui.Enable(Target() && Target()->PageCount() > 1);
    });

    addCommand(ID_FILE_PRINT, [this] { OnFilePrint(false); });
    addCommand(ID_FILE_PRINT_DIRECT, [this] { OnFilePrint(true); });
    addCommand(ID_FILE_PRINT_PREVIEW, [this] { OnFilePrintPreview(); });
    addUpdateHandler(ID_FILE_PRINT, [this](CCmdUI& ui) { ui.Enable(HasPicture()); });
}

void CTargetView::ReadScreenPixelsPerInch() { m_dScreenPixelsPerInch = ScreenPixelsPerInch(screen()); }

int CTargetView::ScreenDpi()
{
    if (m_dScreenPixelsPerInch <= 0) ReadScreenPixelsPerInch();
    const int dpi = std::max(1, qRound(m_dScreenPixelsPerInch));
    m_dScreenZoom = m_dScreenPixelsPerInch / dpi;
    return dpi;
}

void CTargetView::layOut()
{
    const int dpi = ScreenDpi();
    LayoutForScreen(dpi, dpi, viewport()->size());
    SetScrollSizes(QSize(m_rcTotal.width(), m_rcTotal.height()));
}

void CTargetView::Refresh(bool scrollToOrigin)
{
    if (scrollToOrigin) ScrollToPosition(QPoint(0, 0));
    layOut();
    viewport()->repaint();
}

void CTargetView::OnInitialUpdate()
{
    ReadDefaultPrinterMetrics();
    m_poster = ReadPosterOptions();
    if (HasPicture()) {
        m_nPictureKind = TargetKind();
        ChooseAutomaticPoster();
    }
    m_bFirstUpdateDone = false;
    layOut();
    sizeFrameToPicture();
    m_bFirstUpdateDone = true;
    CScrollView::OnInitialUpdate();
}

namespace {

// A new frame's place: the top-left corner of the client area for the first
// window, else one title bar down and right from the window made before it,
// back to the corner when that leaves less than a quarter of the area.
QPoint cascadePosition(QMdiSubWindow* sub)
{
    QMdiArea* area = sub->mdiArea();
    QMdiSubWindow* last = nullptr;
    for (QMdiSubWindow* w : area->subWindowList(QMdiArea::CreationOrder)) {
        if (w == sub) break;
        if (w->isVisible() && !w->isMinimized() && !w->isMaximized()) last = w;
    }
    if (!last) return QPoint(0, 0);
    const int step = sub->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, sub);
    const QPoint next = last->pos() + QPoint(step, step);
    const QSize room = area->viewport()->size();
    if (next.x() > room.width() * 3 / 4 || next.y() > room.height() * 3 / 4) return QPoint(0, 0);
    return next;
}

}  // namespace

void CTargetView::sizeFrameToPicture(bool mayWait)
{
    QWidget* frame = parentWidget();
    while (frame && !qobject_cast<QMdiSubWindow*>(frame)) frame = frame->parentWidget();
    auto* sub = qobject_cast<QMdiSubWindow*>(frame);
    if (!sub || !sub->mdiArea()) return;
    // A file named on the command line opens before the main window is
    // shown, while its client area has no size of its own yet: the frame is
    // sized once the main window is up.
    if (!sub->mdiArea()->isVisible()) {
        if (mayWait)
            QTimer::singleShot(0, this, [this] {
                sizeFrameToPicture(false);
                viewport()->update();
            });
        return;
    }
    const QSize area = sub->mdiArea()->viewport()->size();
    // Where the frame starts decides how much it can fill: not wherever
    // the area found room for a small window, but the cascade position.
    sub->move(cascadePosition(sub));
    // Title bar and borders of the frame, and the view's own frame. The
    // children of a frame that was never shown are not laid out yet, so
    // their sizes cannot be taken for this.
    const QSize chrome = (sub->size() - sub->contentsRect().size()) + (size() - contentsRect().size());
    // Fill the rest of the client area from the frame's position, then lay
    // out for that size and shrink to the picture when it is smaller.
    QSize fill(area.width() - sub->x(), area.height() - sub->y());
    fill = fill.expandedTo(QSize(200, 200));
    sub->resize(fill);
    // Fitted to the window, the picture takes whatever room the frame has.
    if (IsFitZoom()) {
        layOut();
        return;
    }
    const int dpi = ScreenDpi();
    LayoutForScreen(dpi, dpi, fill - chrome);
    const QSize picture(m_rcTotal.width(), m_rcTotal.height());
    const QSize wanted = (picture + chrome).boundedTo(fill).expandedTo(QSize(200, 200));
    sub->resize(wanted);
    layOut();
}

void CTargetView::OnUpdate(CDocumentView* sender, qintptr hint, QObject* hintObject)
{
    ForgetInk();
    if (hint == HINT_DESIGNER_CHANGED) {
        if (ApplyTargetChanged()) RecomputeTileSilently(*this);
        Refresh(false);
        return;
    }
    if (m_bFirstUpdateDone) layOut();
    CScrollView::OnUpdate(sender, hint, hintObject);
}

void CTargetView::OnDraw(DeviceContext& dc)
{
    m_bScaleCheck = ScaleCheckEnabled();
    // In the screen's own pixels per inch, not the desktop's nominal 96.
    const int dpi = ScreenDpi();
    DeviceContext screenDc(dc.painter(), dpi, dpi);
    PaintTarget(screenDc, viewport()->size(), GetScrollPosition());
}

bool CTargetView::OnWindowMessage(WindowMessageEvent& message)
{
    if (message.message() != MSG_PRINTER_CHANGED) return false;
    ReadDefaultPrinterMetrics();
    if (m_modes.Tile() == TILE_TARGET_TO_PAGE) {
        if (CanTileTarget()) RecomputeTileSilently(*this);
        else m_modes.DropGrid();
    }
    Refresh();
    return true;
}

void CTargetView::showEvent(QShowEvent* event)
{
    CScrollView::showEvent(event);
    QWindow* top = window()->windowHandle();
    if (m_bWatchingScreen || !top) return;
    m_bWatchingScreen = true;
    connect(top, &QWindow::screenChanged, this, [this] {
        ReadScreenPixelsPerInch();
        if (m_bFirstUpdateDone) Refresh(false);
    });
}

void CTargetView::resizeEvent(QResizeEvent* event)
{
    CScrollView::resizeEvent(event);
    if (m_bFirstUpdateDone && IsFitZoom()) layOut();
}

void CTargetView::prepareJob(QPrinter& printer)
{
    SetUpApplicationPrinter(printer, Printer().CurrentPrinter());
    printer.setDocName(DocumentTitle());
    m_bScaleCheck = ScaleCheckEnabled();
}

void CTargetView::OnFilePrint(bool direct)
{
    QPrinter printer(QPrinter::HighResolution);
    prepareJob(printer);
    // The dialog offers the pages the window shows ...
    m_nCurPage = 1;
    if (!ConfirmSheetCount(m_layoutScreen.PageCount())) return;
    int from = 0;
    int to = 0;
    if (!direct && !RunPrintDialog(printer, m_layoutScreen.PageCount(), from, to, this, Printer())) return;
    // ... and the job prints the pages the chosen paper needs.
    if (!PrintTargetJob(printer, *this, from, to))
        ShowMessage(QStringLiteral("The printer could not be started."), QStringLiteral("Vantric"), MsgButtons::Ok,
                    MsgIcon::Error);
    Refresh(false);
}

void CTargetView::OnFilePrintPreview()
{
    QPrinter printer(QPrinter::HighResolution);
    prepareJob(printer);
    PrinterPageMetrics device;
    GetTargetPageMetrics(printer, PrinterCorrection(printer), PAGE_UNITS_DEVICE, device);
    if (!ConfirmSheetCount(PrintPageCount(device, printer.resolution(), printer.resolution()))) return;
    QPrintPreviewDialog preview(&printer, this);
    preview.setWindowTitle(DocumentTitle());
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* p) {
        // Laid out for the preview's printer as it now is, so a page set up
        // inside the preview changes what it shows and prints; its print
        // button prints the range its Print dialog chose.
        int from = 0;
        int to = 0;
        if (p->printRange() == QPrinter::PageRange) {
            from = p->fromPage();
            to = p->toPage();
        }
        PrintTargetJob(*p, *this, from, to, IsPreviewPrinter(*p));
    });
    preview.resize(900, 700);
    preview.exec();
    // A page set up in the preview is the application's printer from now on.
    AdoptDialogPrinter(printer, Printer());
    Refresh(false);
}
