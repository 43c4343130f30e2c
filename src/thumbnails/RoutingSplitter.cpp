#include "thumbnails/RoutingSplitter.h"

CRoutingSplitter::CRoutingSplitter(Qt::Orientation orientation, QWidget* parent) : QSplitter(orientation, parent) {}

void CRoutingSplitter::RegisterPane(CCmdTarget* pane)
{
    if (pane && !m_panes.contains(pane)) m_panes.append(pane);
}

bool CRoutingSplitter::OnCmdMsg(int id)
{
    for (CCmdTarget* pane : m_panes)
        if (pane->OnCmdMsg(id)) return true;
    return CCmdTarget::OnCmdMsg(id);
}

bool CRoutingSplitter::OnUpdateCmdUI(CCmdUI& cmdUI)
{
    for (CCmdTarget* pane : m_panes)
        if (pane->OnUpdateCmdUI(cmdUI)) return true;
    return CCmdTarget::OnUpdateCmdUI(cmdUI);
}

bool CRoutingSplitter::HasCommandHandler(int id) const
{
    for (const CCmdTarget* pane : m_panes)
        if (pane->HasCommandHandler(id)) return true;
    return CCmdTarget::HasCommandHandler(id);
}
