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
#include <QPointer>
#include <QStyle>
#include <QUrl>

#include <algorithm>
#include <cmath>

#include "platform/CommandIds.h"
#include "platform/Document.h"
#include "platform/MessageBox.h"
#include "platform/WindowMessage.h"
#include "platform/ui/View.h"
#include "platform/ui/WindowListDlg.h"

// ------------------------------------------------------------- CMDIChildWnd

CMDIChildWnd::CMDIChildWnd(QWidget* parent) : QMdiSubWindow(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    // The main title shows the active document's name, bracketed while it
    // is maximised.
    connect(this, &QMdiSubWindow::windowStateChanged, this, [this] { updateMainTitle(); });
}

void CMDIChildWnd::updateMainTitle()
{
    if (auto* main = qobject_cast<CMDIFrameWnd*>(window())) main->OnUpdateFrameTitle();
}

CMDIChildWnd::~CMDIChildWnd() = default;

CMDIChildWnd* GetParentFrame(const QWidget* widget)
{
    for (QWidget* w = widget ? widget->parentWidget() : nullptr; w; w = w->parentWidget()) {
        if (auto* frame = qobject_cast<CMDIChildWnd*>(w)) return frame;
    }
    return nullptr;
}

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
    updateMainTitle();
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
    // A maximised QMdiSubWindow writes its own title into the main window's
    // ("main - [child]", built on whatever the main title was); the title
    // the program composes wins.
    connect(this, &QWidget::windowTitleChanged, this, [this] { OnUpdateFrameTitle(); });
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* w) {
        auto* child = qobject_cast<CMDIChildWnd*>(w);
        for (CMDIChildWnd* c : childFrames()) {
            if (CView* v = c->GetActiveView()) v->OnActivateView(c == child);
        }
        OnActiveChildChanged(child);
    });

    // Ctrl+Tab walks through every window in the order they were opened, as
    // the Window menu lists them.
    m_mdiArea->setActivationOrder(QMdiArea::CreationOrder);
    addCommand(Cmd::ID_WINDOW_CASCADE, [this] { OnWindowCascade(); });
    addCommand(Cmd::ID_WINDOW_TILE_HORZ, [this] { OnWindowTile(); });
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
    CDocHost* app = GetDocHost();
    return {view, doc, child, const_cast<CMDIFrameWnd*>(this), app ? app->commandTarget() : nullptr};
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
    } else if (action->isChecked()) {
        // Nobody on the route checks it now (its window has closed): a mark
        // left from before would be stale.
        action->setChecked(false);
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

QString CMDIFrameWnd::FrameTitle() const
{
    const QString app = QApplication::applicationName();
    CMDIChildWnd* child = MDIGetActive();
    CDocument* doc = child ? child->GetActiveDocument() : nullptr;
    if (!doc) return app;
    // A maximised document window has no caption of its own: its name shows
    // in brackets, once.
    if (child->isMaximized()) return app + QStringLiteral(" - [") + doc->GetTitle() + QLatin1Char(']');
    return app + QStringLiteral(" - ") + doc->GetTitle();
}

void CMDIFrameWnd::OnUpdateFrameTitle()
{
    const QString title = FrameTitle();
    if (windowTitle() != title) setWindowTitle(title);
}

void CMDIFrameWnd::watchWindowMenu(QMenu* menu)
{
    connect(menu, &QMenu::aboutToShow, this, [this, menu] { FillWindowList(menu); });
}

void CMDIFrameWnd::FillWindowList(QMenu* menu)
{
    static const char* const kListed = "vantricWindowListEntry";
    for (QAction* a : menu->actions()) {
        if (!a->property(kListed).toBool()) continue;
        menu->removeAction(a);
        a->deleteLater();
    }
    const QList<CMDIChildWnd*> frames = childFrames();
    if (frames.isEmpty()) return;
    menu->addSeparator()->setProperty(kListed, true);
    CMDIChildWnd* active = MDIGetActive();
    for (int i = 0; i < frames.size() && i < 9; ++i) {
        CMDIChildWnd* frame = frames.at(i);
        QString title = frame->windowTitle();
        title.replace(QLatin1Char('&'), QLatin1String("&&"));
        QAction* a = menu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(title));
        a->setProperty(kListed, true);
        a->setCheckable(true);
        a->setChecked(frame == active);
        const QPointer<CMDIChildWnd> target(frame);
        connect(a, &QAction::triggered, this, [target] {
            if (target) target->ActivateFrame();
        });
    }
    if (frames.size() <= 9) return;
    QAction* more = menu->addAction(QStringLiteral("&More Windows..."));
    more->setProperty(kListed, true);
    more->setObjectName(QStringLiteral("moreWindows"));
    connect(more, &QAction::triggered, this, [this] { OnMoreWindows(); });
}

void CMDIFrameWnd::OnMoreWindows()
{
    const QList<CMDIChildWnd*> frames = childFrames();
    QStringList titles;
    for (CMDIChildWnd* frame : frames) titles << frame->windowTitle();
    CWindowListDlg dialog(titles, int(frames.indexOf(MDIGetActive())), this);
    if (dialog.DoModal() != IDOK) return;
    const int row = dialog.SelectedRow();
    // A window may have closed while the list was open.
    const QList<CMDIChildWnd*> now = childFrames();
    if (row >= 0 && row < frames.size() && now.contains(frames.at(row))) frames.at(row)->ActivateFrame();
}

namespace {

// The document windows an arrangement moves: all but the minimised ones,
// restored from maximised first.
QList<QMdiSubWindow*> windowsToArrange(QMdiArea* area)
{
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* w : area->subWindowList()) {
        if (w->isHidden() || w->isMinimized()) continue;
        if (w->isMaximized()) w->showNormal();
        windows.append(w);
    }
    return windows;
}

// The size within the area, no smaller than the window allows.
QSize fitSize(const QMdiSubWindow* w, QSize size, const QSize& area)
{
    size = size.expandedTo(w->minimumSize()).boundedTo(area);
    return size.expandedTo(QSize(1, 1));
}

}  // namespace

void CMDIFrameWnd::OnWindowTile()
{
    const QList<QMdiSubWindow*> windows = windowsToArrange(m_mdiArea);
    if (windows.isEmpty()) return;
    const QRect area = m_mdiArea->viewport()->rect();
    const int n = int(windows.size());
    const int cols = int(std::ceil(std::sqrt(double(n))));
    const int rows = (n + cols - 1) / cols;
    for (int i = 0; i < n; ++i) {
        const int row = i / cols;
        const int inRow = row == rows - 1 ? n - row * cols : cols;  // the last row may be shorter
        const int col = i - row * cols;
        const int w = area.width() / inRow;
        const int h = area.height() / rows;
        const QSize size = fitSize(windows.at(i), QSize(w, h), area.size());
        // A window that cannot shrink to its cell overlaps its neighbour
        // rather than leave the area.
        const int x = std::min(area.left() + col * w, area.right() + 1 - size.width());
        const int y = std::min(area.top() + row * h, area.bottom() + 1 - size.height());
        windows.at(i)->setGeometry(QRect(QPoint(x, y), size));
    }
}

void CMDIFrameWnd::OnWindowCascade()
{
    const QList<QMdiSubWindow*> windows = windowsToArrange(m_mdiArea);
    if (windows.isEmpty()) return;
    const QRect area = m_mdiArea->viewport()->rect();
    const int step = std::max(16, style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, windows.first()));
    // Each run of the cascade keeps its windows at least two thirds of the
    // area; more windows start again from the top left.
    const int maxRun = std::max(1, std::min(area.width(), area.height()) / 3 / step + 1);
    const int run = std::min(int(windows.size()), maxRun);
    for (int i = 0; i < windows.size(); ++i) {
        const QSize size = fitSize(windows.at(i), area.size() - QSize((run - 1) * step, (run - 1) * step),
                                   area.size());
        const int offset = (i % run) * step;
        const int x = std::min(area.left() + offset, area.right() + 1 - size.width());
        const int y = std::min(area.top() + offset, area.bottom() + 1 - size.height());
        windows.at(i)->setGeometry(QRect(QPoint(x, y), size));
        windows.at(i)->raise();
    }
    if (CMDIChildWnd* active = MDIGetActive()) active->raise();
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
    CDocHost* app = GetDocHost();
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
    CDocHost* app = GetDocHost();
    if (!app) return;
    for (const QUrl& url : urls) {
        if (url.isLocalFile()) app->OpenDocumentFile(url.toLocalFile());
    }
}
