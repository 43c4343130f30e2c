#pragma once

#include <QList>
#include <QSplitter>

#include "platform/CmdTarget.h"

// A splitter that offers each command to its registered panes in the order
// they were registered, the first that handles it taking it; only then its
// own handlers. So a pane's commands work whichever pane has the focus.
class CRoutingSplitter : public QSplitter, public CCmdTarget {
    Q_OBJECT
public:
    explicit CRoutingSplitter(Qt::Orientation orientation, QWidget* parent = nullptr);

    // Registering a pane twice changes nothing.
    void RegisterPane(CCmdTarget* pane);
    const QList<CCmdTarget*>& panes() const { return m_panes; }

    bool OnCmdMsg(int id) override;
    bool OnUpdateCmdUI(CCmdUI& cmdUI) override;
    bool HasCommandHandler(int id) const override;

private:
    QList<CCmdTarget*> m_panes;
};
