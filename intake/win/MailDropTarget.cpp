#include "intake/win/MailDropTarget.h"

#include "intake/win/OleDroppedData.h"
#include "intake/win/WindowDropHost.h"

#include <utility>

namespace {

// Keeps the drop target alive while a drop runs: the progress dialog lets every message
// run, the one that destroys the window and revokes the target among them.
class CSelfReference {
public:
    explicit CSelfReference(IUnknown* self) : m_pSelf(self) { m_pSelf->AddRef(); }
    ~CSelfReference() { m_pSelf->Release(); }
    CSelfReference(const CSelfReference&) = delete;
    CSelfReference& operator=(const CSelfReference&) = delete;

private:
    IUnknown* m_pSelf;
};

class CWaitCursor {
public:
    CWaitCursor() : m_hPrevious(SetCursor(LoadCursorW(nullptr, IDC_WAIT))) {}
    ~CWaitCursor() { SetCursor(m_hPrevious); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

private:
    HCURSOR m_hPrevious;
};

}  // namespace

CMailDropTarget* CMailDropTarget::CreateInstance(std::string dataFolder) {
    return new CMailDropTarget(std::move(dataFolder));
}

CMailDropTarget::CMailDropTarget(std::string dataFolder) : m_intake(std::move(dataFolder)) {}

CMailDropTarget::~CMailDropTarget() = default;

bool CMailDropTarget::Register(HWND hwnd) {
    if (m_hWnd != nullptr || hwnd == nullptr) {
        return false;
    }
    if (FAILED(RegisterDragDrop(hwnd, this))) {
        return false;
    }
    m_hWnd = hwnd;
    return true;
}

void CMailDropTarget::Revoke() {
    if (m_hWnd != nullptr) {
        RevokeDragDrop(m_hWnd);
        m_hWnd = nullptr;
    }
}

const CExtensionList& CMailDropTarget::GetProhibitedList() const {
    return m_intake.GetProhibitedList();
}

HRESULT STDMETHODCALLTYPE CMailDropTarget::QueryInterface(REFIID riid, void** ppv) {
    if (ppv == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropTarget)) {
        *ppv = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CMailDropTarget::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&m_nRefs));
}

ULONG STDMETHODCALLTYPE CMailDropTarget::Release() {
    const LONG refs = InterlockedDecrement(&m_nRefs);
    if (refs == 0) {
        delete this;
    }
    return static_cast<ULONG>(refs);
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
        // Whatever was copied stays listed for this window; it is not processed.
        m_bDropping = false;
        *effect = DROPEFFECT_NONE;
        return E_UNEXPECTED;
    }
}

DWORD CMailDropTarget::AnswerDragAt(POINTL point) {
    if (m_hWnd == nullptr || m_bDropping) {
        return DROPEFFECT_NONE;
    }
    CWindowDropHost host(m_hWnd);
    return m_intake.AcceptsDropAt(host, ToClient(point)) ? DROPEFFECT_COPY : DROPEFFECT_NONE;
}

DropPoint CMailDropTarget::ToClient(POINTL point) const {
    POINT client{point.x, point.y};
    ScreenToClient(m_hWnd, &client);
    return DropPoint{client.x, client.y};
}

HRESULT CMailDropTarget::HandleDrop(IDataObject* data, POINTL point, DWORD* effect) {
    if (m_hWnd == nullptr || data == nullptr || m_bDropping) {
        return S_OK;
    }
    // A window whose run is still in progress answers no zone: its pending list is in use,
    // so nothing is read from the drag and nothing is copied.
    CWindowDropHost host(m_hWnd);
    const DropPoint client = ToClient(point);
    if (!m_intake.AcceptsDropAt(host, client) || !host.HasPendingList()) {
        return S_OK;
    }
    const CSelfReference self(static_cast<IDropTarget*>(this));
    m_bDropping = true;
    SetForegroundWindow(GetAncestor(m_hWnd, GA_ROOT));
    bool bTaken = false;
    {
        const CWaitCursor wait;
        COleDroppedData dropped(data);
        bTaken = m_intake.OnDrop(host, dropped, client);
    }
    m_bDropping = false;
    *effect = bTaken ? DROPEFFECT_COPY : DROPEFFECT_NONE;
    return S_OK;
}
