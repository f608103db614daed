#pragma once

// The view inside the main frame: a child window that the frame lays out between its
// toolbar and status bar, sends the list messages to, and asks first for every command.

#include "ui/CommandTarget.h"
#include "ui/WindowBase.h"

namespace ui {

class CFrameView : public CWindowBase, public ICommandTarget {
public:
    // Creates the view as child IDW_PANE_FIRST of frame; false on failure.
    virtual bool CreateView(HWND frame) = 0;
};

}  // namespace ui
