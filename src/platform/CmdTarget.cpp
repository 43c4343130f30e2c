#include "platform/CmdTarget.h"

bool CCmdTarget::OnCmdMsg(int id)
{
    auto it = m_commands.find(id);
    if (it != m_commands.end()) {
        // Copy: the handler may replace the table (or destroy this target).
        auto handler = it->second;
        handler();
        return true;
    }
    for (const auto& [range, handler] : m_commandRanges) {
        if (id >= range.first && id <= range.last) {
            auto h = handler;
            h(id);
            return true;
        }
    }
    return false;
}

bool CCmdTarget::OnUpdateCmdUI(CCmdUI& cmdUI)
{
    auto it = m_updates.find(cmdUI.id());
    if (it != m_updates.end()) {
        it->second(cmdUI);
        return true;
    }
    for (const auto& [range, update] : m_updateRanges) {
        if (cmdUI.id() >= range.first && cmdUI.id() <= range.last) {
            update(cmdUI);
            return true;
        }
    }
    return false;
}

bool CCmdTarget::HasCommandHandler(int id) const
{
    if (m_commands.count(id)) return true;
    for (const auto& entry : m_commandRanges)
        if (id >= entry.first.first && id <= entry.first.last) return true;
    return false;
}

void CCmdTarget::addCommand(int id, std::function<void()> handler) { m_commands[id] = std::move(handler); }

void CCmdTarget::addCommandRange(int first, int last, std::function<void(int)> handler)
{
    m_commandRanges.append({Range{first, last}, std::move(handler)});
}

void CCmdTarget::addUpdateHandler(int id, std::function<void(CCmdUI&)> update) { m_updates[id] = std::move(update); }

void CCmdTarget::addUpdateRange(int first, int last, std::function<void(CCmdUI&)> update)
{
    m_updateRanges.append({Range{first, last}, std::move(update)});
}

bool RouteCommand(const CommandRoute& route, int id)
{
    for (CCmdTarget* target : route) {
        if (target && target->OnCmdMsg(id)) return true;
    }
    return false;
}

bool RouteUpdate(const CommandRoute& route, CCmdUI& cmdUI)
{
    for (CCmdTarget* target : route) {
        if (target && target->OnUpdateCmdUI(cmdUI)) break;
    }
    // An update handler that only set the check mark leaves the enabling to
    // the presence of a command handler.
    if (cmdUI.enableSet()) return cmdUI.isEnabled();
    bool handled = false;
    for (CCmdTarget* target : route) {
        if (target && target->HasCommandHandler(cmdUI.id())) { handled = true; break; }
    }
    cmdUI.Enable(handled);
    return handled;
}
