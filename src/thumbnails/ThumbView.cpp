#include "thumbnails/ThumbView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include <algorithm>

#include "platform/CommandIds.h"
#include "platform/MessageBox.h"
#include "platform/WindowMessage.h"
#include "platform/ui/WinApp.h"
#include "platform/ui/Frame.h"
#include "thumbnails/ContactSheet.h"
#include "print/PrintJob.h"
#include "print/PrinterSettings.h"

using namespace Cmd;

CVNThumbView::CVNThumbView(QWidget* parent) : CScrollView(parent)
{
    // The grid lies on the button face, as the tree beside it; a scroll
    // area's viewport would fill with Base (white).
    viewport()->setBackgroundRole(QPalette::Button);
    viewport()->setAutoFillBackground(true);
    m_grid.setScreenDpi(logicalDpiX(), logicalDpiY());
    connect(&m_grid, &ThumbGrid::repaintAll, this, &CVNThumbView::redrawAll);
    connect(&m_grid, &ThumbGrid::cellChanged, this, &CVNThumbView::redrawItem);
    connect(&m_grid, &ThumbGrid::waitingChanged, this, &CVNThumbView::redrawAll);
    connect(&m_grid, &ThumbGrid::workerIdle, this, &CVNThumbView::redrawAll);
    connect(&m_grid, &ThumbGrid::listStarted, this, [this] {
        redrawAll();
        ScrollToPosition(QPoint(0, 0));
    });
    // Print commands only while the worker is idle.
    const auto whileIdle = [this](CCmdUI& ui) { ui.Enable(m_grid.isIdle()); };
    addUpdateHandler(ID_FILE_PRINT_SETUP, whileIdle);
    addUpdateHandler(ID_FILE_PRINT, whileIdle);
    addUpdateHandler(ID_FILE_PRINT_PREVIEW, whileIdle);
    addCommand(ID_FILE_PRINT, [this] { OnFilePrint(false); });
    addCommand(ID_FILE_PRINT_DIRECT, [this] { OnFilePrint(true); });
    addCommand(ID_FILE_PRINT_PREVIEW, [this] { OnFilePrintPreview(); });
    SetScrollSizes(QSize(100, 100));
}

CVNThumbView::~CVNThumbView() = default;

void CVNThumbView::ListFolder(const QString& path)
{
    m_grid.setScreenDpi(logicalDpiX(), logicalDpiY());
    m_grid.ListFolder(path);
    redrawAll();
}

void CVNThumbView::OnInitialUpdate() { SetScrollSizes(QSize(100, 100)); }

void CVNThumbView::OnUpdate(CDocumentView*, qintptr, QObject* hintObject)
{
    if (auto* folder = qobject_cast<FolderHint*>(hintObject)) ListFolder(folder->path());
}

void CVNThumbView::OnDraw(DeviceContext& dc)
{
    if (m_grid.isPrinting() && !dc.isPrinting()) return;
    if (m_grid.count() > 0) {
        m_grid.setClientWidth(viewport()->width());
        const QSize extent = m_grid.Paint(dc);
        const QSize cell = m_grid.cell(0)->cellSize();
        if (extent != GetTotalSize()) SetScrollSizes(extent, viewport()->size(), cell);
        m_grid.setVisibleRect(viewport()->rect().translated(GetScrollPosition()));
        return;
    }
    QPainter* p = dc.painter();
    p->save();
    p->resetTransform();
    p->setFont(MakePointFont(ArialFont(100), dc.dpiY()));
    p->setPen(palette().color(QPalette::ButtonText));
    // Too many earlier listings are still stuck reading a file: this one
    // starts when one of them is done.
    const QString text = m_grid.waitingForFile() ? QStringLiteral("Waiting for a file to be read...")
                         : m_grid.isIdle()       ? QStringLiteral("No target files in this directory.")
                                                 : QString();
    p->drawText(viewport()->rect(), Qt::AlignCenter | Qt::TextSingleLine | Qt::TextDontClip, text);
    p->restore();
    if (!GetTotalSize().isEmpty()) SetScrollSizes(QSize(0, 0));
}

void CVNThumbView::OnActivateView(bool activate)
{
    if (CVNThumbObject* cell = m_grid.cell(m_grid.selected())) {
        cell->SetSelectedLook(activate);
        redrawItem(m_grid.selected());
    }
}

bool CVNThumbView::OnWindowMessage(WindowMessageEvent& message)
{
    switch (message.message()) {
    case MSG_THUMB_SET_SIZE:
        if (m_grid.SetThumbSize(int(message.wParam()))) redrawAll();
        return true;
    case MSG_TARGET_SAVED:
        if (message.lParam() != 0) m_grid.RefreshFile(message.lParamText());
        return true;
    default:
        return false;
    }
}

void CVNThumbView::redrawAll()
{
    viewport()->update();
}

void CVNThumbView::redrawItem(int index)
{
    // Only the cell's own rectangle is painted again (in window coordinates).
    if (m_grid.layout().IsPreparedForPrinter()) return redrawAll();
    if (CVNThumbObject* cell = m_grid.cell(index))
        viewport()->update(cell->cellRect().toQRect().translated(-GetScrollPosition()));
}

void CVNThumbView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        const int hit = m_grid.HitTest(event->position().toPoint() + GetScrollPosition());
        if (hit >= 0) m_grid.Select(hit);
    }
    CScrollView::mousePressEvent(event);
}

void CVNThumbView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_grid.selected() >= 0) OpenSelected();
    CScrollView::mouseDoubleClickEvent(event);
}

void CVNThumbView::keyPressEvent(QKeyEvent* event)
{
    // The arrow keys move the selection and nothing else: with nothing
    // selected, or at the end of a row or column, they do nothing, where a
    // scroll area would scroll. Page Up, Page Down, Home and End scroll.
    const int key = event->key();
    const bool arrow = key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Left || key == Qt::Key_Right;
    if (m_grid.selected() >= 0 && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
        OpenSelected();
        return;
    }
    const int target = m_grid.KeyTarget(key);
    if (m_grid.selected() >= 0 && target != m_grid.selected()) {
        m_grid.Select(target);
        scrollIntoView(target);
        return;
    }
    if (arrow) return event->accept();
    CScrollView::keyPressEvent(event);
}

void CVNThumbView::scrollIntoView(int index)
{
    CVNThumbObject* cell = m_grid.cell(index);
    if (!cell) return;
    const QPoint scroll = GetScrollPosition();
    const GdiRect visible = GdiRect::fromQRect(viewport()->rect()).offsetted(scroll.x(), scroll.y());
    const GdiRect& r = cell->cellRect();
    auto axis = [](int pos, int lo, int hi, int visLo, int visHi) {
        if (lo < visLo || hi - lo > visHi - visLo) return lo;
        if (hi > visHi) return pos + (hi - visHi);
        return pos;
    };
    const QPoint to(axis(scroll.x(), r.left, r.right, visible.left, visible.right),
                    axis(scroll.y(), r.top, r.bottom, visible.top, visible.bottom));
    if (to != scroll) ScrollToPosition(to);
}

void CVNThumbView::resizeEvent(QResizeEvent* event)
{
    CScrollView::resizeEvent(event);
    CVNThumbObject* first = m_grid.cell(0);
    if (!first) return redrawAll();
    const int columns = std::max(1, viewport()->width() / (first->cellSize().width() + 1));
    if (columns != m_grid.columns()) {
        m_grid.setClientWidth(viewport()->width());
        m_grid.layout().MarkChanged();
        redrawAll();
    }
}

void CVNThumbView::OpenSelected()
{
    const int selected = m_grid.selected();
    if (selected < 0) return;
    const QString caption = QStringLiteral("Vantric");
    CVNThumbObject* cell = m_grid.cell(selected);
    if (!cell) {
        ShowMessage(QStringLiteral("CVNThumbObject *pObj = m_objList[m_nSelectedItem] failed."), caption);
        return;
    }
    CWinApp* app = AfxGetApp();
    QWidget* main = app ? app->GetMainFrame() : nullptr;
    if (!main) {
        ShowMessage(QStringLiteral("CWnd *pWnd = AfxGetMainWnd() failed."), caption);
        return;
    }
    // The path is copied: opening the file may run a message box or a modal
    // loop, in which the grid may be listed again.
    const QString path = cell->path();
    SendWindowMessage(main, MSG_OPEN_FILE_REQUEST, 0, TextParam(&path));
}

void CVNThumbView::OnFilePrint(bool direct)
{
    QPrinter printer(QPrinter::HighResolution);
    // Contact sheets start from the application's printer, as targets do.
    SetUpApplicationPrinter(printer, printerHost().CurrentPrinter());
    int from = 0;
    int to = 0;
    if (!direct && !RunPrintDialog(printer, ContactSheetPageCount(printer, m_grid), from, to, this, printerHost())) return;
    PrintContactSheet(printer, m_grid, std::max(1, from), to);
}

void CVNThumbView::OnFilePrintPreview()
{
    QPrinter printer(QPrinter::HighResolution);
    SetUpApplicationPrinter(printer, printerHost().CurrentPrinter());
    QPrintPreviewDialog preview(&printer, this);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* p) {
        // The print button prints the range its Print dialog chose.
        const bool range = p->printRange() == QPrinter::PageRange;
        PrintContactSheet(*p, m_grid, range ? p->fromPage() : 1, range ? p->toPage() : 0, IsPreviewPrinter(*p));
    });
    preview.exec();
    AdoptDialogPrinter(printer, printerHost());
}
