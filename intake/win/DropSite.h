#pragma once

// The drop side of a window, written once for the list window and the drop window: the OLE
// drop target registered on the window, the pending list it fills and the run guard. The
// site asks its window for the zone under the cursor and, once a drop has been handled
// (never inside it), for the processing of the pending list, with the guard raised; while
// that runs, every drag is refused, so no drop refills the list the run walks.

#include "intake/DropHost.h"
#include "intake/DropZone.h"
#include "run/PendingMessageList.h"
#include "intake/win/MailDropTarget.h"
#include "policy/ExtensionList.h"
#include "ui/ScopedGdi.h"

#include <windows.h>

#include <memory>
#include <string>

// What a drop site asks of its window.
class IDropSiteWindow {
public:
    virtual ~IDropSiteWindow() = default;

    // What a drop at a client point would ask for (the site itself refuses drops while its
    // run is in progress).
    virtual DropZone ZoneAt(DropPoint point) = 0;

    // The processing of the messages a drop copied: extraction with the prohibited list read
    // at the drop, or the conversion into unsent drafts (which empties the list).
    virtual void ExtractPending(const PendingMessageList& pending,
                                const CExtensionList& prohibited) = 0;
    virtual void ConvertPendingToUnsent(PendingMessageList& pending) = 0;
};

class CDropSite final : public IDropHost {
public:
    // dataFolder: the data folder with its trailing backslash. window outlives the site.
    CDropSite(std::string dataFolder, IDropSiteWindow& window);
    ~CDropSite() override;  // revokes
    CDropSite(const CDropSite&) = delete;
    CDropSite& operator=(const CDropSite&) = delete;

    // Registers the drop target on hwnd (OLE must be initialised); false when it could not.
    // Revoke before the window is destroyed (the window's WM_DESTROY); a request not yet
    // run is then dropped.
    bool Register(HWND hwnd);
    void Revoke();

    // Runs the processing a drop asks for now, as its posted request does; false, doing
    // nothing, while a run of this site is in progress.
    bool RunExtraction();
    bool RunUnsentConversion();

    bool IsRunning() const { return m_bRunning; }
    const CExtensionList& GetProhibitedList() const;
    // The site's drop target, as OLE calls it (for tests that drive it).
    IDropTarget* GetDropTarget() const { return m_pTarget.Get(); }

    // IDropHost
    PendingMessageList& GetPendingList() override { return m_arrPending; }
    DropZone TestDropZone(DropPoint point) override;
    void PostExtraction() override;
    void PostUnsentConversion() override;
    std::unique_ptr<IProgressSink> CreateProgress() override;
    void ShowWarning(const std::string& text) override;

private:
    class CRequestWindow;

    IDropSiteWindow& m_window;
    ui::ComPtr<CMailDropTarget> m_pTarget;
    std::unique_ptr<CRequestWindow> m_pRequests;
    HWND m_hWnd = nullptr;
    PendingMessageList m_arrPending;
    bool m_bRunning = false;
};
