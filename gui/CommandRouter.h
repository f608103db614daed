#pragma once

// The route of the program's commands: the main frame's active view, then the frame, then
// the application. One route runs a command and tells its enable state, for the menu bar,
// the toolbar and the context menus alike; a command nobody decides is disabled.

#include "ui/CommandTarget.h"

#include <functional>
#include <vector>

class CCommandRouter {
public:
    // Each call of a source gives the target to ask at that moment (or null), in route order.
    using TargetSource = std::function<ui::ICommandTarget*()>;

    void AddTarget(TargetSource source) { m_arrTargets.push_back(std::move(source)); }

    // Runs id with the first target that handles it; false when none does.
    bool Route(UINT id) const;

    // The enable state of id: the first target's that decides it, false when none does.
    bool IsEnabled(UINT id) const;

    // Enables and disables every command item of menu and its submenus.
    void UpdateMenu(HMENU menu) const;

    // Enables and disables the buttons of a toolbar control.
    void UpdateToolbar(HWND toolbar) const;

private:
    std::vector<TargetSource> m_arrTargets;
};
