#pragma once

#include <QList>
#include <QString>

#include <functional>
#include <map>

// The state an update handler gives a menu item or toolbar button. The
// router applies it to every item that carries the command.
class CCmdUI {
public:
    explicit CCmdUI(int id) : m_nID(id) {}
    virtual ~CCmdUI() = default;

    int id() const { return m_nID; }

    virtual void Enable(bool on = true) { m_enabled = on; m_enableSet = true; }
    // 0 unchecked, 1 checked, 2 indeterminate (shown as checked).
    virtual void SetCheck(int check = 1) { m_check = check; m_checkSet = true; }
    virtual void SetText(const QString& text) { m_text = text; m_textSet = true; }

    bool isEnabled() const { return m_enabled; }
    int check() const { return m_check; }
    const QString& text() const { return m_text; }
    bool enableSet() const { return m_enableSet; }
    bool checkSet() const { return m_checkSet; }
    bool textSet() const { return m_textSet; }

    const int m_nID;

private:
    bool m_enabled = false;
    int m_check = 0;
    QString m_text;
    bool m_enableSet = false;
    bool m_checkSet = false;
    bool m_textSet = false;
};

// Something that handles commands by id: views, documents, frames and the
// application. Each keeps a table of handlers and update handlers; classes
// may also override the two virtuals for commands they decide on at run time.
class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;

    // Runs the handler of the command; true when this target has one.
    virtual bool OnCmdMsg(int id);
    // Runs the update handler of the command; true when this target has one.
    virtual bool OnUpdateCmdUI(CCmdUI& cmdUI);
    // Whether this target would handle the command (used to enable items
    // that have a handler but no update handler).
    virtual bool HasCommandHandler(int id) const;

protected:
    void addCommand(int id, std::function<void()> handler);
    void addCommandRange(int first, int last, std::function<void(int)> handler);
    void addUpdateHandler(int id, std::function<void(CCmdUI&)> update);
    void addUpdateRange(int first, int last, std::function<void(CCmdUI&)> update);

private:
    struct Range {
        int first;
        int last;
    };
    std::map<int, std::function<void()>> m_commands;
    QList<std::pair<Range, std::function<void(int)>>> m_commandRanges;
    std::map<int, std::function<void(CCmdUI&)>> m_updates;
    QList<std::pair<Range, std::function<void(CCmdUI&)>>> m_updateRanges;
};

// A route of command targets, first asked first: the active view, its
// document, its frame, the main frame, the application. Null entries are
// skipped.
using CommandRoute = QList<CCmdTarget*>;

// Runs the command at the first target on the route that handles it; false
// when none does.
bool RouteCommand(const CommandRoute& route, int id);

// Fills cmdUI: the first target with an update handler decides; without one
// anywhere the item is enabled exactly when some target handles the command.
// Returns whether the item ends up enabled.
bool RouteUpdate(const CommandRoute& route, CCmdUI& cmdUI);
