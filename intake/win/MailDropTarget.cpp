#include "intake/win/MailDropTarget.h"

#include "intake/win/OleDroppedData.h"
#include "ui/WaitCursor.h"

#include <utility>

// The host as one drop sees it. The copies of the drop are listed here and handed to the
// site only with the request to process them, so that a site revoked while the drop runs
// (its window destroyed from inside the progress dialog's pump) is never reached again.
class CMailDropTarget::CDropInProgress final : public IDropHost {
public:
    explicit CDropInProgress(const CMailDropTarget& target) : m_target(target) {}

    PendingMessageList& GetPendingList() override { return m_arrCopies; }
    DropZone TestDropZone(DropPoint point) override {
        return m_target.m_pHost != nullptr ? m_target.m_pHost->TestDropZone(point) : DropZone::None;
    }
    void PostExtraction() override {
        if (IDropHost* host = HandOver()) {
            host->PostExtraction();
        }
    }
    void PostUnsentConversion() override {
        if (IDropHost* host = HandOver()) {
            host->PostUnsentConversion();
        }
    }
    std::unique_ptr<IProgressSink> CreateProgress() override {
        return m_target.m_pHost != nullptr ? m_target.m_pHost->CreateProgress()
                                           : std::make_unique<CNoProgress>();
    }
    void ShowWarning(const std::string& text) override {
        if (m_target.m_pHost != nullptr) {
            m_target.m_pHost->ShowWarning(text);
        }
    }

private:
    // The progress of a drop whose site has gone: nothing to show, never cancelled.
    class CNoProgress final : public IProgressSink {
    public:
        void SetStatusText(const std::string&) override {}
        void SetPosition(int) override {}
        void StepIt() override {}
        bool CheckCancel() override { return false; }
    };

    IDropHost* HandOver() {
        IDropHost* host = m_target.m_pHost;
        if (host != nullptr) {
            host->GetPendingList() = std::move(m_arrCopies);
        }
        return host;
    }

    const CMailDropTarget& m_target;
    PendingMessageList m_arrCopies;
};

ui::ComPtr<CMailDropTarget> CMailDropTarget::Create(std::string dataFolder) {
    return ui::ComPtr<CMailDropTarget>::Adopt(new CMailDropTarget(std::move(dataFolder)));
}

CMailDropTarget::CMailDropTarget(std::string dataFolder) : m_intake(std::move(dataFolder)) {}

CMailDropTarget::~CMailDropTarget() = default;

bool CMailDropTarget::Register(HWND hwnd, IDropHost& host) {
    if (m_hWnd != nullptr || hwnd == nullptr) {
        return false;
    }
    if (FAILED(RegisterDragDrop(hwnd, this))) {
        return false;
    }
    m_hWnd = hwnd;
    m_pHost = &host;
    return true;
}

void CMailDropTarget::Revoke() {
    if (m_hWnd != nullptr) {
        RevokeDragDrop(m_hWnd);
        m_hWnd = nullptr;
    }
    m_pHost = nullptr;
}

const CExtensionList& CMailDropTarget::GetProhibitedList() const {
    return m_intake.GetProhibitedList();
}

HRESULT STDMETHODCALLTYPE CMailDropTarget::DragEnter(IDataObject*, DWORD keyState, POINTL point,
                                                     DWORD* effect) {
    // Entering answers as moving over: only the point decides.
    return DragOver(keyState, point, effect);
}

HRESULT STDMETHODCALLTYPE CMailDropTarget::DragOver(DWORD, POINTL point, DWORD* effect) {
    if (effect == nullptr) {
        return E_INVALIDARG;
    }
    try {
        *effect = AnswerDragAt(point);
        return S_OK;
    } catch (...) {
        *effect = DROPEFFECT_NONE;
        return E_UNEXPECTED;
    }
}

HRESULT STDMETHODCALLTYPE CMailDropTarget::DragLeave() {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CMailDropTarget::Drop(IDataObject* data, DWORD, POINTL point,
                                                DWORD* effect) {
    if (effect == nullptr) {
        return E_INVALIDARG;
    }
    *effect = DROPEFFECT_NONE;
    try {
        return HandleDrop(data, point, effect);
    } catch (...) {
        // Whatever was copied stays in the data folder; it is not processed.
        m_bDropping = false;
        *effect = DROPEFFECT_NONE;
        return E_UNEXPECTED;
    }
}

DWORD CMailDropTarget::AnswerDragAt(POINTL point) {
    if (m_pHost == nullptr || m_bDropping) {
        return DROPEFFECT_NONE;
    }
    return m_intake.AcceptsDropAt(*m_pHost, ToClient(point)) ? DROPEFFECT_COPY : DROPEFFECT_NONE;
}

DropPoint CMailDropTarget::ToClient(POINTL point) const {
    POINT client{point.x, point.y};
    ScreenToClient(m_hWnd, &client);
    return DropPoint{client.x, client.y};
}

HRESULT CMailDropTarget::HandleDrop(IDataObject* data, POINTL point, DWORD* effect) {
    if (m_pHost == nullptr || data == nullptr || m_bDropping) {
        return S_OK;
    }
    // A window whose run is still in progress answers no zone: its pending list is in use,
    // so nothing is read from the drag and nothing is copied.
    const DropPoint client = ToClient(point);
    if (!m_intake.AcceptsDropAt(*m_pHost, client)) {
        return S_OK;
    }
    // Keeps the target alive while the drop runs: the progress dialog lets every message
    // run, the one that destroys the window and revokes the target among them.
    const ui::ComPtr<CMailDropTarget> self = ui::ComPtr<CMailDropTarget>::Share(this);
    m_bDropping = true;
    SetForegroundWindow(GetAncestor(m_hWnd, GA_ROOT));
    bool bTaken = false;
    {
        const ui::CWaitCursor wait;
        CDropInProgress host(*this);
        COleDroppedData dropped(data);
        bTaken = m_intake.OnDrop(host, dropped, client);
    }
    m_bDropping = false;
    *effect = bTaken ? DROPEFFECT_COPY : DROPEFFECT_NONE;
    return S_OK;
}
