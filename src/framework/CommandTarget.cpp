#include "framework/CommandTarget.h"

#include <algorithm>

bool CCommandTarget::HandleCommand(UINT id)
{
    for (const CommandEntry& entry : m_commands) {
        if (id >= entry.first && id <= entry.last) {
            entry.handler(id);
            return true;
        }
    }
    return false;
}

bool CCommandTarget::HandleUpdate(CCommandState& state)
{
    const UINT id = state.GetId();
    for (const UpdateEntry& entry : m_updates) {
        if (id >= entry.first && id <= entry.last) {
            entry.handler(state);
            return true;
        }
    }
    return false;
}

bool CCommandTarget::HasCommand(UINT id) const
{
    return std::any_of(m_commands.begin(), m_commands.end(),
                       [id](const CommandEntry& entry) { return id >= entry.first && id <= entry.last; });
}

void CCommandTarget::MapCommand(UINT id, std::function<void()> handler)
{
    m_commands.push_back({id, id, [handler = std::move(handler)](UINT) { handler(); }});
}

void CCommandTarget::MapCommandRange(UINT first, UINT last, std::function<void(UINT id)> handler)
{
    m_commands.push_back({first, last, std::move(handler)});
}

void CCommandTarget::MapUpdate(UINT id, std::function<void(CCommandState&)> handler)
{
    m_updates.push_back({id, id, std::move(handler)});
}

void CCommandTarget::MapUpdateRange(UINT first, UINT last, std::function<void(CCommandState&)> handler)
{
    m_updates.push_back({first, last, std::move(handler)});
}
