#pragma once

// The attachment list window: a child of the main frame that draws the records and their
// attachments, takes selections, drags and drops, and runs the list's commands.

#include "app/ui/CommandTarget.h"
#include "app/ui/WindowBase.h"

class CVelmaron1App;

class CVelmaron1View : public ui::CWindowBase, public ui::ICommandTarget {
public:
    // app: the folders; it outlives the view.
    explicit CVelmaron1View(const CVelmaron1App& app);

    // Creates the view as child IDW_PANE_FIRST of frame, loads the record list and
    // registers its drop target. False on failure.
    bool CreateView(HWND frame);

    bool OnCommand(UINT id) override;
    std::optional<bool> QueryCommandEnabled(UINT id) override;
};
