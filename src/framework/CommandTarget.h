// An object that commands are routed to: it keeps a table from command ids to
// handlers and to the update handlers that enable and check them.
#pragma once

#include "framework/CommandState.h"

#include <functional>
#include <vector>

class CCommandTarget {
public:
    virtual ~CCommandTarget() = default;

    // Runs this target's handler of `id`; false when it has none.
    bool HandleCommand(UINT id);
    // Runs this target's update handler of the state's command; false when it has none.
    bool HandleUpdate(CCommandState& state);
    bool HasCommand(UINT id) const;

protected:
    void MapCommand(UINT id, std::function<void()> handler);
    void MapCommandRange(UINT first, UINT last, std::function<void(UINT id)> handler);
    void MapUpdate(UINT id, std::function<void(CCommandState&)> handler);
    void MapUpdateRange(UINT first, UINT last, std::function<void(CCommandState&)> handler);

private:
    struct CommandEntry {
        UINT first;
        UINT last;
        std::function<void(UINT)> handler;
    };
    struct UpdateEntry {
        UINT first;
        UINT last;
        std::function<void(CCommandState&)> handler;
    };

    std::vector<CommandEntry> m_commands;
    std::vector<UpdateEntry> m_updates;
};
