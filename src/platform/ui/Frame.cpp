#include "platform/ui/Frame.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMdiArea>
#include <QMenu>
#include <QMimeData>
#include <QUrl>

#include "platform/CommandIds.h"
#include "platform/Document.h"
#include "platform/WindowMessage.h"
#include "platform/ui/View.h"
#include "platform/ui/WinApp.h"

// ------------------------------------------------------------- CMDIChildWnd

CMDIChildWnd::CMDIChildWnd(QWidget* parent) : QMdiSubWindow(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
}

CMDIChildWnd::~CMDIChildWnd() = default;

CView* CMDIChildWnd::GetActiveView() const { return qobject_cast<CView*>(widget()); }

CDocument* CMDIChildWnd::GetActiveDocument() const
{
    CView* view = GetActiveView();
    return view ? view->GetDocument() : nullptr;
}

CDocTemplate* CMDIChildWnd::GetDocTemplate() const
{
    CDocument* doc = GetActiveDocument();
    return doc ? doc->GetDocTemplate() : nullptr;
}

void CMDIChildWnd::SetView(CView* view)
{
    setWidget(view);
    if (CDocument* doc = view ? view->GetDocument() : nullptr) {
        connect(doc, &CDocument::titleChanged, this, [this] { OnUpdateFrameTitle(); });
        connect(doc, &CDocument::modifiedChanged, this, [this] { OnUpdateFrameTitle(); });
    }
    OnUpdateFrameTitle();
}

void CMDIChildWnd::OnUpdateFrameTitle()
{
    CDocument* doc = GetActiveDocument();
    setWindowTitle(doc ? doc->GetTitle() : QString());
}

void CMDIChildWnd::InitialUpdateFrame(CDocument* doc, bool visible)
{
    if (CView* view = GetActiveView()) view->OnInitialUpdate();
    if (visible) ActivateFrame();
}

void CMDIChildWnd::ActivateFrame()
{
    if (isMinimized()) showNormal();
    else if (!isVisible()) show();
    if (QMdiArea* area = mdiArea()) area->setActiveSubWindow(this);
    if (CView* view = GetActiveView()) view->setFocus();
}

bool CMDIChildWnd::event(QEvent* event)
{
    if (event->type() == WindowMessageEvent::eventType()) {
        OnWindowMessage(*static_cast<WindowMessageEvent*>(event));
        return true;
    }
    return QMdiSubWindow::event(event);
}

bool CMDIChildWnd::CanCloseFrame()
{
    CDocument* doc = GetActiveDocument();
    if (!doc) return true;
    // Another window still shows the document: it stays open.
    if (doc->views().size() > 1) return true;
    return doc->SaveModified();
}

void CMDIChildWnd::closeEvent(QCloseEvent* event)
{
    if (!CanCloseFrame()) {
        event->ignore();
        return;
    }
    // Let go of the document now so it closes at once (when this was its
    // last window); the frame itself is deleted later.
    if (CView* view = GetActiveView()) view->SetDocument(nullptr);
    QMdiSubWindow::closeEvent(event);
}

// ------------------------------------------------------------- CMDIFrameWnd

CMDIFrameWnd::CMDIFrameWnd(QWidget* parent) : QMainWindow(parent), m_mdiArea(new QMdiArea(this))
{
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdiArea);
    setAcceptDrops(true);
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* w) {
        auto* child = qobject_cast<CMDIChildWnd*>(w);
        for (CMDIChildWnd* c : childFrames()) {
            if (CView* v = c->GetActiveView()) v->OnActivateView(c == child);
        }
        OnActiveChildChanged(child);
        emit activeChildChanged(child);
    });

    addCommand(Cmd::ID_WINDOW_CASCADE, [this] { m_mdiArea->cascadeSubWindows(); });
    addCommand(Cmd::ID_WINDOW_TILE_HORZ, [this] { m_mdiArea->tileSubWindows(); });
    addCommand(Cmd::ID_WINDOW_ARRANGE, [this] { OnWindowArrange(); });
    addCommand(Cmd::ID_APP_EXIT, [this] { close(); });

    if (auto* dispatcher = QAbstractEventDispatcher::instance())
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &CMDIFrameWnd::onIdle);
}

CMDIFrameWnd::~CMDIFrameWnd() = default;

CMDIChildWnd* CMDIFrameWnd::MDIGetActive() const
{
    return qobject_cast<CMDIChildWnd*>(m_mdiArea->currentSubWindow());
}

CDocument* CMDIFrameWnd::GetActiveDocument() const
{
    CMDIChildWnd* child = MDIGetActive();
    return child ? child->GetActiveDocument() : nullptr;
}

CView* CMDIFrameWnd::GetActiveView() const
{
    CMDIChildWnd* child = MDIGetActive();
    return child ? child->GetActiveView() : nullptr;
}

QList<CMDIChildWnd*> CMDIFrameWnd::childFrames() const
{
    QList<CMDIChildWnd*> frames;
    for (QMdiSubWindow* w : m_mdiArea->subWindowList())
        if (auto* c = qobject_cast<CMDIChildWnd*>(w)) frames.append(c);
    return frames;
}

QAction* CMDIFrameWnd::commandAction(int id)
{
    auto it = m_actions.find(id);
    if (it != m_actions.end()) return it.value();
    auto* action = new QAction(this);
    action->setData(id);
    connect(action, &QAction::triggered, this, [this, id] { routeCommand(id); });
    m_actions.insert(id, action);
    return action;
}

CommandRoute CMDIFrameWnd::commandRoute() const
{
    CMDIChildWnd* child = MDIGetActive();
    CView* view = child ? child->GetActiveView() : nullptr;
    CDocument* doc = view ? view->GetDocument() : nullptr;
    CWinApp* app = AfxGetApp();
    return {view, doc, child, const_cast<CMDIFrameWnd*>(this), app};
}

bool CMDIFrameWnd::routeCommand(int id)
{
    // Commands run only while their item is enabled, as a greyed menu item
    // could not have been chosen.
    CCmdUI state(id);
    if (!RouteUpdate(commandRoute(), state)) return false;
    return RouteCommand(commandRoute(), id);
}

void CMDIFrameWnd::updateCommandUI(QAction* action)
{
    if (!action || action->isSeparator() || action->menu()) return;
    bool ok = false;
    const int id = action->data().toInt(&ok);
    if (!ok || id == 0) return;
    CCmdUI state(id);
    RouteUpdate(commandRoute(), state);
    action->setEnabled(state.isEnabled());
    if (state.checkSet()) {
        action->setCheckable(true);
        action->setChecked(state.check() != 0);
    }
    if (state.textSet()) action->setText(state.text());
}

void CMDIFrameWnd::updateCommandUI(const QList<QAction*>& actions)
{
    for (QAction* a : actions) updateCommandUI(a);
}

void CMDIFrameWnd::watchMenu(QMenu* menu)
{
    connect(menu, &QMenu::aboutToShow, this, [this, menu] { updateCommandUI(menu->actions()); });
}

void CMDIFrameWnd::onIdle()
{
    if (m_inIdleUpdate || m_idleActions.isEmpty() || !isVisible()) return;
    m_inIdleUpdate = true;
    updateCommandUI(m_idleActions);
    m_inIdleUpdate = false;
}

void CMDIFrameWnd::OnActiveChildChanged(CMDIChildWnd* child)
{
    int menu = Cmd::IDR_MAINFRAME;
    if (child) {
        if (CDocTemplate* t = child->GetDocTemplate()) menu = t->resourceId();
    } else if (MDIGetActive()) {
        return;  // the main window lost focus; its document window stays current
    }
    if (menu != m_shownMenu) {
        m_shownMenu = menu;
        ShowMenuFor(menu);
    }
    OnUpdateFrameTitle();
}

void CMDIFrameWnd::OnUpdateFrameTitle()
{
    const QString app = QApplication::applicationName();
    CDocument* doc = GetActiveDocument();
    setWindowTitle(doc ? app + QStringLiteral(" - ") + doc->GetTitle() : app);
}

void CMDIFrameWnd::OnWindowArrange()
{
    // Lines the minimised windows up along the bottom of the area.
    int x = 0;
    for (QMdiSubWindow* w : m_mdiArea->subWindowList()) {
        if (!w->isMinimized()) continue;
        const QSize size = w->size();
        w->move(x, m_mdiArea->viewport()->height() - size.height());
        x += size.width();
    }
}

bool CMDIFrameWnd::event(QEvent* event)
{
    if (event->type() == WindowMessageEvent::eventType()) {
        OnWindowMessage(*static_cast<WindowMessageEvent*>(event));
        return true;
    }
    return QMainWindow::event(event);
}

void CMDIFrameWnd::closeEvent(QCloseEvent* event)
{
    CWinApp* app = AfxGetApp();
    if (app && !app->SaveAllModified()) {
        event->ignore();
        return;
    }
    if (app) app->CloseAllDocuments(true);
    QMainWindow::closeEvent(event);
}

void CMDIFrameWnd::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMDIFrameWnd::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    event->acceptProposedAction();
    activateWindow();
    CWinApp* app = AfxGetApp();
    if (!app) return;
    for (const QUrl& url : urls) {
        if (url.isLocalFile()) app->OpenDocumentFile(url.toLocalFile());
    }
}
