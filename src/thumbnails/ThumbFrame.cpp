#include "thumbnails/ThumbFrame.h"

#include <QAction>
#include <QCloseEvent>
#include <QMainWindow>
#include <QMdiArea>
#include <QPainter>
#include <QToolBar>
#include <QTreeWidget>

#include <algorithm>

#include "platform/CommandIds.h"
#include "platform/Profile.h"
#include "platform/WindowMessage.h"
#include "platform/ui/WindowPlacement.h"
#include "thumbnails/DriveView.h"
#include "thumbnails/RoutingSplitter.h"
#include "thumbnails/ThumbView.h"

using namespace Cmd;

namespace {

const QString SECTION = QLatin1String(CThumbFrame::SETTINGS_SECTION);
constexpr int DEFAULT_TREE_WIDTH = 220;

struct SizeButton {
    int id;
    int hundredths;
    const char* prompt;
    const char* tip;
};
const SizeButton SIZE_BUTTONS[] = {
    {ID_THUMB_SMALL, THUMB_SIZES[0], "View small sized thumnail images", "Small Size"},
    {ID_THUMB_MEDIUM, THUMB_SIZES[1], "View medium sized thumnail images", "Medium Size"},
    {ID_THUMB_LARGE, THUMB_SIZES[2], "View large sized thumnail images", "Large Size"},
};

// A 16 × 15 button face: a framed picture whose size grows with the choice.
QIcon sizeIcon(int step)
{
    QPixmap pixmap(16, 15);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    const int edge = 6 + 4 * step;
    const QRect box((16 - edge) / 2, (15 - edge) / 2, edge - 1, edge - 1);
    p.setPen(QColor(64, 64, 64));
    p.setBrush(Qt::white);
    p.drawRect(box);
    p.fillRect(box.adjusted(2, 2, -1, -1), QColor(200, 40, 40));
    return QIcon(pixmap);
}

}  // namespace

CThumbFrame::CThumbFrame(QWidget* parent) : CMDIChildWnd(parent), m_pInner(new QMainWindow)
{
    setMinimumSize(200, 200);
    m_pInner->setWindowFlags(Qt::Widget);
    m_pInner->setDockNestingEnabled(true);
    addCommandRange(ID_THUMB_SMALL, ID_THUMB_LARGE, [this](int id) { OnThumbSize(id); });
    addUpdateRange(ID_THUMB_SMALL, ID_THUMB_LARGE, [this](CCmdUI& ui) {
        ui.Enable(true);
        ui.SetCheck(ui.id() == m_nThumbCommand);
    });
    createSizeBar();
}

CThumbFrame::~CThumbFrame() { OnDestroy(); }

void CThumbFrame::createSizeBar()
{
    m_pToolBar = new QToolBar(QStringLiteral("Thumbnail Size"), m_pInner);
    m_pToolBar->setObjectName(QStringLiteral("ToolBar136"));
    m_pToolBar->setIconSize(QSize(16, 15));
    m_pToolBar->setAllowedAreas(Qt::AllToolBarAreas);
    for (int i = 0; i < 3; ++i) {
        const SizeButton& b = SIZE_BUTTONS[i];
        QAction* a = m_pToolBar->addAction(sizeIcon(i), QLatin1String(b.tip));
        a->setData(b.id);
        a->setCheckable(true);
        a->setToolTip(QLatin1String(b.tip));
        a->setStatusTip(QLatin1String(b.prompt));
        connect(a, &QAction::triggered, this, [this, a, id = b.id] {
            OnThumbSize(id);
            a->setChecked(id == m_nThumbCommand);  // a pressed button stays pressed
        });
        m_sizeActions.append(a);
    }
    // A vertical bar at the right-hand edge.
    m_pInner->addToolBar(Qt::RightToolBarArea, m_pToolBar);
}

void CThumbFrame::SetView(CView* view)
{
    m_pTree = qobject_cast<CDriveView*>(view);
    m_pSplitter = new CRoutingSplitter(Qt::Horizontal);
    m_pSplitter->setChildrenCollapsible(true);
    m_pGrid = new CVNThumbView;
    m_pGrid->SetPrinterHost(m_printerHost);
    if (view) {
        m_pSplitter->addWidget(view);
        if (CDocument* doc = view->GetDocument()) {
            m_pGrid->SetDocument(doc);
            connect(doc, &CDocument::titleChanged, this, [this] { OnUpdateFrameTitle(); });
        }
    }
    m_pSplitter->addWidget(m_pGrid);
    m_pSplitter->setStretchFactor(0, 0);
    m_pSplitter->setStretchFactor(1, 1);
    m_pSplitter->setSizes({DEFAULT_TREE_WIDTH, 0});
    // The grid first: its print commands win while the tree has the focus.
    m_pSplitter->RegisterPane(m_pGrid);
    m_pSplitter->RegisterPane(view);
    m_pActiveView = view ? view : m_pGrid;
    m_pGrid->installEventFilter(this);
    if (m_pTree) m_pTree->tree()->installEventFilter(this);
    m_pInner->setCentralWidget(m_pSplitter);
    setWidget(m_pInner);

    int command = ID_THUMB_LARGE;
    ReadProfileInt(SECTION, QStringLiteral("thumbSize"), ID_THUMB_LARGE, &command);
    m_nThumbCommand = 0;
    OnThumbSize(std::clamp(command, ID_THUMB_SMALL, ID_THUMB_LARGE));
    OnUpdateFrameTitle();
}

void CThumbFrame::InitialUpdateFrame(CDocument* doc, bool visible)
{
    if (m_pGrid) m_pGrid->OnInitialUpdate();
    CMDIChildWnd::InitialUpdateFrame(doc, visible);
}

CView* CThumbFrame::GetActiveView() const { return m_pActiveView; }

bool CThumbFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn) {
        CView* now = watched == m_pGrid ? static_cast<CView*>(m_pGrid) : static_cast<CView*>(m_pTree);
        // The focus moving between the tree and the grid activates one view
        // and deactivates the other, as activating the window does.
        if (now != m_pActiveView) {
            if (m_pActiveView) m_pActiveView->OnActivateView(false);
            m_pActiveView = now;
            if (now) now->OnActivateView(true);
        }
    }
    return CMDIChildWnd::eventFilter(watched, event);
}

void CThumbFrame::OnThumbSize(int id)
{
    if (id == m_nThumbCommand) return;
    m_nThumbCommand = id;
    m_nThumbSize = SIZE_BUTTONS[id - ID_THUMB_SMALL].hundredths;
    for (QAction* a : m_sizeActions) a->setChecked(a->data().toInt() == m_nThumbCommand);
    SendMessageToDescendants(this, MSG_THUMB_SET_SIZE, quintptr(m_nThumbSize), 0);
    WriteProfileInt(SECTION, QStringLiteral("thumbSize"), id);
}

void CThumbFrame::setVisible(bool visible)
{
    // The tree's width and the placement are restored once, as the window
    // first shows.
    if (visible && !isVisible() && !m_bPlacementRestored) {
        m_bPlacementRestored = true;
        // Without a saved placement the window takes three quarters of the
        // main window's document area.
        if (QMdiArea* area = mdiArea()) resize(area->viewport()->size() * 3 / 4);
        int width = DEFAULT_TREE_WIDTH;
        ReadProfileInt(SECTION, QStringLiteral("col0cx"), DEFAULT_TREE_WIDTH, &width);
        if (m_pSplitter) m_pSplitter->setSizes({std::max(0, width), std::max(1, this->width() - width)});
        CMDIChildWnd::setVisible(visible);
        RestoreWindowPlacement(this, SECTION, true);
        return;
    }
    CMDIChildWnd::setVisible(visible);
}

void CThumbFrame::OnDestroy()
{
    if (m_bDestroyed) return;
    m_bDestroyed = true;
    // The listing and the watches end before any of the window goes.
    if (m_pTree) m_pTree->StopWatching();
    if (m_pGrid) m_pGrid->grid().StopWorker();
    if (m_pSplitter && !m_pSplitter->sizes().isEmpty())
        WriteProfileInt(SECTION, QStringLiteral("col0cx"), m_pSplitter->sizes().first());
    SaveWindowPlacement(this, SECTION);
}

void CThumbFrame::closeEvent(QCloseEvent* event)
{
    // The close box goes through the application's viewer toggle, which
    // records the viewer as hidden and closes it; later, not from inside
    // this window's own event.
    event->ignore();
    if (auto* main = qobject_cast<CMDIFrameWnd*>(window()))
        QMetaObject::invokeMethod(main, [main] { main->routeCommand(ID_VIEW_THUMBNAIL); }, Qt::QueuedConnection);
}

bool CThumbFrame::OnCmdMsg(int id)
{
    return (m_pSplitter && m_pSplitter->OnCmdMsg(id)) || CMDIChildWnd::OnCmdMsg(id);
}

bool CThumbFrame::OnUpdateCmdUI(CCmdUI& cmdUI)
{
    return (m_pSplitter && m_pSplitter->OnUpdateCmdUI(cmdUI)) || CMDIChildWnd::OnUpdateCmdUI(cmdUI);
}

bool CThumbFrame::HasCommandHandler(int id) const
{
    return (m_pSplitter && m_pSplitter->HasCommandHandler(id)) || CMDIChildWnd::HasCommandHandler(id);
}
