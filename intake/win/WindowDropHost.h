#pragma once

// The window a drop target is registered on, reached only through its window messages:
// the pending list it hands out, its drop-zone answer, the processing posted to it, and a
// progress dialog owned by it.

#include "intake/DropHost.h"

#include <windows.h>

class CWindowDropHost final : public IDropHost {
public:
    explicit CWindowDropHost(HWND hwnd) : m_hWnd(hwnd) {}

    // Whether the window hands out a pending list; a window that does not takes no drop.
    bool HasPendingList();

    PendingMessageList& GetPendingList() override;
    DropZone TestDropZone(DropPoint point) override;
    void PostExtraction() override;
    void PostUnsentConversion() override;
    std::unique_ptr<IProgressSink> CreateProgress() override;
    void ShowWarning(const std::string& text) override;

private:
    HWND m_hWnd;
    PendingMessageList* m_pPending = nullptr;
    // Stands in for a list the window did not give, so that no call has to fail.
    PendingMessageList m_arrUnused;
};
