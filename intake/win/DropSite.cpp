#include "intake/win/DropSite.h"

#include "intake/win/ProgressDialog.h"
#include "res/resource.h"
#include "ui/Resources.h"
#include "ui/WindowBase.h"

#include <utility>

namespace {

// The requests a site posts to itself, run when the thread's message loop comes to them.
constexpr UINT kRunExtraction = WM_APP + 1;
constexpr UINT kRunUnsentConversion = WM_APP + 2;

// Marks the site's run as in progress for its duration.
class CRunGuard {
public:
    explicit CRunGuard(bool& bRunning) : m_bRunning(bRunning) { m_bRunning = true; }
    ~CRunGuard() { m_bRunning = false; }
    CRunGuard(const CRunGuard&) = delete;
    CRunGuard& operator=(const CRunGuard&) = delete;

private:
    bool& m_bRunning;
};

}  // namespace

// A message-only window that the site's requests are posted to: the processing runs after
// the drop has returned to its source, and never once the site has gone.
class CDropSite::CRequestWindow final : public ui::CWindowBase {
public:
    explicit CRequestWindow(CDropSite& site) : m_site(site) {}

    bool Create() {
        return ui::CWindowBase::Create(L"MorvekDropSiteRequests", 0, 0, L"", RECT{}, HWND_MESSAGE);
    }

protected:
    bool OnMessage(UINT message, WPARAM, LPARAM, LRESULT& result) override {
        result = 0;
        switch (message) {
            case kRunExtraction:
                m_site.RunExtraction();
                return true;
            case kRunUnsentConversion:
                m_site.RunUnsentConversion();
                return true;
            default:
                return false;
        }
    }

private:
    CDropSite& m_site;
};

CDropSite::CDropSite(std::string dataFolder, IDropSiteWindow& window)
    : m_window(window), m_pTarget(CMailDropTarget::Create(std::move(dataFolder))) {}

CDropSite::~CDropSite() {
    Revoke();
}

bool CDropSite::Register(HWND hwnd) {
    if (m_hWnd != nullptr || hwnd == nullptr) {
        return false;
    }
    auto requests = std::make_unique<CRequestWindow>(*this);
    if (!requests->Create() || !m_pTarget->Register(hwnd, *this)) {
        return false;
    }
    m_pRequests = std::move(requests);
    m_hWnd = hwnd;
    return true;
}

void CDropSite::Revoke() {
    m_pTarget->Revoke();
    m_pRequests.reset();
    m_hWnd = nullptr;
}

const CExtensionList& CDropSite::GetProhibitedList() const {
    return m_pTarget->GetProhibitedList();
}

bool CDropSite::RunExtraction() {
    if (m_bRunning) {
        return false;
    }
    const CRunGuard guard(m_bRunning);
    m_window.ExtractPending(m_arrPending, GetProhibitedList());
    return true;
}

bool CDropSite::RunUnsentConversion() {
    if (m_bRunning) {
        return false;
    }
    const CRunGuard guard(m_bRunning);
    m_window.ConvertPendingToUnsent(m_arrPending);
    return true;
}

DropZone CDropSite::TestDropZone(DropPoint point) {
    return m_bRunning ? DropZone::None : m_window.ZoneAt(point);
}

void CDropSite::PostExtraction() {
    if (m_pRequests) {
        PostMessageW(m_pRequests->GetHwnd(), kRunExtraction, 0, 0);
    }
}

void CDropSite::PostUnsentConversion() {
    if (m_pRequests) {
        PostMessageW(m_pRequests->GetHwnd(), kRunUnsentConversion, 0, 0);
    }
}

std::unique_ptr<IProgressSink> CDropSite::CreateProgress() {
    auto dialog = std::make_unique<CProgressDialog>(IDS_PROGRESS_CAPTION);
    dialog->Create(m_hWnd);
    return dialog;
}

void CDropSite::ShowWarning(const std::string& text) {
    ui::ShowMessageBox(m_hWnd, text, MB_OK | MB_ICONEXCLAMATION);
}
