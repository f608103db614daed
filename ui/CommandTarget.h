#pragma once

// A window that handles menu, toolbar and accelerator commands. The main frame routes each
// command to its active view first, then to itself, then to the application; the enable
// state of the menu bar, the toolbar and the context menus is asked along the same route,
// so one handler decides it for all three.

#include <windows.h>

#include <optional>

namespace ui {

class ICommandTarget {
public:
    virtual ~ICommandTarget() = default;

    // Runs command id; false when this target does not handle it.
    virtual bool OnCommand(UINT id) = 0;

    // Whether command id is enabled now; nothing when this target does not decide it.
    virtual std::optional<bool> QueryCommandEnabled(UINT id) = 0;
};

}  // namespace ui
