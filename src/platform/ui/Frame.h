#pragma once

#include <QHash>
#include <QMainWindow>
#include <QMdiSubWindow>

#include "platform/CmdTarget.h"

class CDocument;
class CDocTemplate;
class CView;
class QAction;
class QMdiArea;
class QMenu;
class WindowMessageEvent;

// The frame of one document window inside the main frame's MDI area. It
// holds exactly one view and follows its document's title.
class CMDIChildWnd : public QMdiSubWindow, public CCmdTarget {
    Q_OBJECT
public:
    explicit CMDIChildWnd(QWidget* parent = nullptr);
    ~CMDIChildWnd() override;

    // The view commands go to first; a frame with panes says which.
    virtual CView* GetActiveView() const;
    CDocument* GetActiveDocument() const;
    CDocTemplate* GetDocTemplate() const;

    // Puts the view into the frame and connects the frame to its document.
    virtual void SetView(CView* view);
    // First update of the view; with visible the frame is shown and activated.
    virtual void InitialUpdateFrame(CDocument* doc, bool visible);
    // Shows the frame (restored when minimised) and makes it the active one.
    virtual void ActivateFrame();

    // A window message (platform/WindowMessage.h); true when handled.
    virtual bool OnWindowMessage(WindowMessageEvent& message) { return false; }

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Whether the frame may close: the last frame of a modified document
    // asks to save it.
    virtual bool CanCloseFrame();
    virtual void OnUpdateFrameTitle();

private:
    void updateMainTitle();
};

// The child frame around a widget (a view), if any.
CMDIChildWnd* GetParentFrame(const QWidget* widget);

// The main window: an MDI area of child frames, the menus and the command
// plumbing. Menu items and toolbar buttons are QActions that carry their
// command id; triggering one routes the id view → document → child frame →
// main frame → application, and update handlers set their state when a menu
// opens and when the event loop goes idle.
class CMDIFrameWnd : public QMainWindow, public CCmdTarget {
    Q_OBJECT
public:
    explicit CMDIFrameWnd(QWidget* parent = nullptr);
    ~CMDIFrameWnd() override;

    QMdiArea* mdiArea() const { return m_mdiArea; }
    // The active child frame (the last active one while the main window is
    // in the background); null when there is none.
    CMDIChildWnd* MDIGetActive() const;
    CDocument* GetActiveDocument() const;
    CView* GetActiveView() const;
    QList<CMDIChildWnd*> childFrames() const;

    // The action that stands for a command; made on first use.
    QAction* commandAction(int id);
    bool hasCommandAction(int id) const { return m_actions.contains(id); }
    // The targets a command passes, first asked first.
    CommandRoute commandRoute() const;
    // Routes a command; false when no target handled it.
    bool routeCommand(int id);
    // Runs the update handlers of the actions of a menu or toolbar.
    void updateCommandUI(const QList<QAction*>& actions);
    void updateCommandUI(QAction* action);
    // Updates the actions of a menu each time it opens.
    void watchMenu(QMenu* menu);
    // Lists the open document windows at the end of the menu each time it
    // opens: "&1 name" to "&9 name", the active one checked, and past nine
    // "&More Windows..." for the list of them all.
    void watchWindowMenu(QMenu* menu);
    void FillWindowList(QMenu* menu);
    void OnMoreWindows();
    // Actions updated whenever the event loop goes idle (the toolbar's).
    void setIdleUpdatedActions(const QList<QAction*>& actions) { m_idleActions = actions; }

    // A window message (platform/WindowMessage.h); true when handled.
    virtual bool OnWindowMessage(WindowMessageEvent& message) { return false; }

    // "Vantric - name" for the active document, "Vantric - [name]" while its
    // window is maximised, "Vantric" without one.
    QString FrameTitle() const;
    // Sets the title above; child frames call it when theirs changes.
    virtual void OnUpdateFrameTitle();

protected:
    // The active document window changed: show the menu of its template
    // (resource id), or the main frame's own when there is none.
    virtual void OnActiveChildChanged(CMDIChildWnd* child);
    // Called with the resource id of the menu to show.
    virtual void ShowMenuFor(int resourceId) {}

    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

    void OnWindowArrange();
    // Tile: a grid of windows filling the area, none outside it. Cascade:
    // overlapping windows a title bar apart, each at least two thirds of
    // the area.
    void OnWindowTile();
    void OnWindowCascade();

private:
    void onIdle();

    QMdiArea* m_mdiArea;
    QHash<int, QAction*> m_actions;
    QList<QAction*> m_idleActions;
    bool m_inIdleUpdate = false;
    int m_shownMenu = -1;
};
