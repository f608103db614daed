#pragma once

// The window a drop target is registered on, as the intake sees it: the list view and the
// drop window implement it. Their pending list is theirs; the intake only empties and
// fills it at a drop and then asks the window to process it.

#include "intake/DropZone.h"
#include "run/PendingMessageList.h"
#include "run/ProgressSink.h"

#include <memory>
#include <string>

class IDropHost {
public:
    virtual ~IDropHost() = default;

    // The window's list of message copies waiting for processing.
    virtual PendingMessageList& GetPendingList() = 0;

    // What a drop at point would do. A window that is still processing an earlier drop
    // answers None: the new drop would refill the list the running processing walks.
    virtual DropZone TestDropZone(DropPoint point) = 0;

    // Asks the window to process its pending list once the drop has been handled (posted,
    // never run inside the drop).
    virtual void PostExtraction() = 0;
    virtual void PostUnsentConversion() = 0;

    // A progress dialog owned by the window, caption string 103, shown until the result
    // is destroyed. Never null: a dialog that could not be created still takes the calls.
    virtual std::unique_ptr<IProgressSink> CreateProgress() = 0;

    // A message box owned by the window (the exclamation icon, an OK button).
    virtual void ShowWarning(const std::string& text) = 0;
};
