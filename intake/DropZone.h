#pragma once

// Where a drag is over the window, and what a drop there asks for.

// A point in the client coordinates of the window the drop target is registered on.
struct DropPoint {
    int x = 0;
    int y = 0;
};

enum class DropZone {
    None,        // no drop at this point
    Extraction,  // the dropped messages are extracted
    Unsent,      // the dropped messages are turned back into unsent drafts
};
