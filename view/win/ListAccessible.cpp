#include "view/win/ListAccessible.h"

#include "platform/win32/WideText.h"

#include <vector>

namespace {

// The list's own name, read when the keyboard enters it.
constexpr char kListName[] = "添付ファイル一覧";

HRESULT ReturnText(const std::string& text, BSTR* out) {
    if (out == nullptr) {
        return E_POINTER;
    }
    *out = nullptr;
    if (text.empty()) {
        return S_FALSE;
    }
    const std::wstring wide = platform::win32::ToWide(text);
    *out = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

void SetChild(VARIANT* out, int child) {
    VariantInit(out);
    out->vt = VT_I4;
    out->lVal = child;
}

// The selection of several rows as the platform hands it over: an enumeration of VT_I4.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class CChildEnumeration final : public IEnumVARIANT {
public:
    explicit CChildEnumeration(std::vector<int> children, ULONG position = 0)
        : m_arrChildren(std::move(children)), m_nPosition(position) {}

    STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (riid == __uuidof(IUnknown) || riid == __uuidof(IEnumVARIANT)) {
            *object = static_cast<IEnumVARIANT*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override {
        return static_cast<ULONG>(InterlockedIncrement(&m_nRefs));
    }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG refs = InterlockedDecrement(&m_nRefs);
        if (refs == 0) {
            delete this;
        }
        return static_cast<ULONG>(refs);
    }
    STDMETHODIMP Next(ULONG count, VARIANT* items, ULONG* fetched) override {
        if (items == nullptr) {
            return E_POINTER;
        }
        ULONG n = 0;
        while (n < count && m_nPosition < m_arrChildren.size()) {
            SetChild(&items[n++], m_arrChildren[m_nPosition++]);
        }
        if (fetched != nullptr) {
            *fetched = n;
        }
        return n == count ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG count) override {
        m_nPosition += count;
        if (m_nPosition > m_arrChildren.size()) {
            m_nPosition = static_cast<ULONG>(m_arrChildren.size());
            return S_FALSE;
        }
        return S_OK;
    }
    STDMETHODIMP Reset() override {
        m_nPosition = 0;
        return S_OK;
    }
    STDMETHODIMP Clone(IEnumVARIANT** copy) override {
        if (copy == nullptr) {
            return E_POINTER;
        }
        *copy = new CChildEnumeration(m_arrChildren, m_nPosition);
        return S_OK;
    }

private:
    ~CChildEnumeration() = default;

    LONG m_nRefs = 1;
    std::vector<int> m_arrChildren;
    ULONG m_nPosition;
};
#pragma GCC diagnostic pop

}  // namespace

CListAccessible* CListAccessible::Create(HWND hwnd, const CListAccessibility& model,
                                         SelectFunction select) {
    return new CListAccessible(hwnd, model, std::move(select));
}

CListAccessible::CListAccessible(HWND hwnd, const CListAccessibility& model, SelectFunction select)
    : m_hWnd(hwnd), m_pModel(&model), m_fnSelect(std::move(select)) {}

void CListAccessible::Disconnect() {
    m_pModel = nullptr;
    m_fnSelect = nullptr;
    m_hWnd = nullptr;
}

LRESULT CListAccessible::AnswerGetObject(WPARAM wParam) {
    return LresultFromObject(__uuidof(IAccessible), wParam, static_cast<IAccessible*>(this));
}

int CListAccessible::ChildOf(const VARIANT& child) const {
    if (child.vt != VT_I4 || m_pModel == nullptr) {
        return -1;
    }
    const long id = child.lVal;
    if (id == CHILDID_SELF) {
        return 0;
    }
    return id >= 1 && id <= m_pModel->GetChildCount() ? static_cast<int>(id) : -1;
}

// --- IUnknown ------------------------------------------------------------------------------

STDMETHODIMP CListAccessible::QueryInterface(REFIID riid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (riid == __uuidof(IUnknown) || riid == __uuidof(IDispatch) ||
        riid == __uuidof(IAccessible)) {
        *object = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CListAccessible::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&m_nRefs));
}

STDMETHODIMP_(ULONG) CListAccessible::Release() {
    const LONG refs = InterlockedDecrement(&m_nRefs);
    if (refs == 0) {
        delete this;
    }
    return static_cast<ULONG>(refs);
}

// --- IDispatch -----------------------------------------------------------------------------

STDMETHODIMP CListAccessible::GetTypeInfoCount(UINT* count) {
    if (count == nullptr) {
        return E_POINTER;
    }
    *count = 0;
    return S_OK;
}

STDMETHODIMP CListAccessible::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info != nullptr) {
        *info = nullptr;
    }
    return E_NOTIMPL;
}

STDMETHODIMP CListAccessible::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return E_NOTIMPL;
}

STDMETHODIMP CListAccessible::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) {
    return E_NOTIMPL;
}

// --- IAccessible ---------------------------------------------------------------------------

STDMETHODIMP CListAccessible::get_accParent(IDispatch** parent) {
    if (parent == nullptr) {
        return E_POINTER;
    }
    *parent = nullptr;
    if (m_pModel == nullptr) {
        return RPC_E_DISCONNECTED;
    }
    // The window itself, as the platform describes it.
    return AccessibleObjectFromWindow(m_hWnd, static_cast<DWORD>(OBJID_WINDOW), __uuidof(IDispatch),
                                      reinterpret_cast<void**>(parent));
}

STDMETHODIMP CListAccessible::get_accChildCount(long* count) {
    if (count == nullptr) {
        return E_POINTER;
    }
    if (m_pModel == nullptr) {
        return RPC_E_DISCONNECTED;
    }
    *count = m_pModel->GetChildCount();
    return S_OK;
}

STDMETHODIMP CListAccessible::get_accChild(VARIANT child, IDispatch** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (m_pModel == nullptr) {
        return RPC_E_DISCONNECTED;
    }
    // The rows are simple elements, answered by this object with their child ids.
    return ChildOf(child) > 0 ? S_FALSE : E_INVALIDARG;
}

STDMETHODIMP CListAccessible::get_accName(VARIANT child, BSTR* name) {
    if (m_pModel == nullptr) {
        return RPC_E_DISCONNECTED;
    }
    const int id = ChildOf(child);
    if (id < 0) {
        return E_INVALIDARG;
    }
    return ReturnText(id == 0 ? std::string(kListName) : m_pModel->GetName(id), name);
}

STDMETHODIMP CListAccessible::get_accValue(VARIANT, BSTR* value) {
    if (value != nullptr) {
        *value = nullptr;
    }
    return m_pModel == nullptr ? RPC_E_DISCONNECTED : DISP_E_MEMBERNOTFOUND;
}

STDMETHODIMP CListAccessible::get_accDescription(VARIANT, BSTR* description) {
    if (description != nullptr) {
        *description = nullptr;
    }
    return m_pModel == nullptr ? RPC_E_DISCONNECTED : DISP_E_MEMBERNOTFOUND;
}

STDMETHODIMP CListAccessible::get_accRole(VARIANT child, VARIANT* role) {
    if (role == nullptr) {
        return E_POINTER;
    }
    VariantInit(role);
    if (m_pModel == nullptr) {
        return RPC_E_DISCONNECTED;
    }
    const int id = ChildOf(child);
    if (id < 0) {
        return E_INVALIDARG;
    }
    role->vt = VT_I4;
    role->lVal = id == 0 ? ROLE_SYSTEM_LIST : ROLE_SYSTEM_LISTITEM;
    return S_OK;
}

STDMETHODIMP CListAccessible::get_accState(VARIANT child, VARIANT* state) {
    if (state == nullptr) {
        return E_POINTER;
    }
    VariantInit(state);
    if (m_pModel == nullptr) {
        return RPC_E_DISCONNECTED;
    }
    const int id = ChildOf(child);
    if (id < 0) {
        return E_INVALIDARG;
    }
    const bool bWindowFocused = GetFocus() == m_hWnd;
    long flags = STATE_SYSTEM_FOCUSABLE;
    if (id == 0) {
        flags |= STATE_SYSTEM_MULTISELECTABLE;
        if (bWindowFocused && m_pModel->GetFocus() == 0) {
            flags |= STATE_SYSTEM_FOCUSED;
        }
        if (!IsWindowVisible(m_hWnd)) {
            flags |= STATE_SYSTEM_INVISIBLE;
        }
    } else {
        flags |= STATE_SYSTEM_SELECTABLE;
        if (m_pModel->IsSelected(id)) {
            flags |= STATE_SYSTEM_SELECTED;
        }
        if (bWindowFocused && m_pModel->GetFocus() == id) {
            flags |= STATE_SYSTEM_FOCUSED;
        }
        if (!m_pModel->IsVisible(id)) {
            flags |= STATE_SYSTEM_OFFSCREEN;
        }
    }
    state->vt = VT_I4;
    state->lVal = flags;
    return S_OK;
}

STDMETHODIMP CListAccessible::get_accHelp(VARIANT, BSTR* help) {
    if (help != nullptr) {
        *help = nullptr;
    }
    return m_pModel == nullptr ? RPC_E_DISCONNECTED : DISP_E_MEMBERNOTFOUND;
}

STDMETHODIMP CListAccessible::get_accHelpTopic(BSTR* file, VARIANT, long* topic) {
    if (file != nullptr) {
        *file = nullptr;
    }
    if (topic != nullptr) {
        *topic = 0;
    }
    return m_pModel == nullptr ? RPC_E_DISCONNECTED : DISP_E_MEMBERNOTFOUND;
}

STDMETHODIMP CListAccessible::get_accKeyboardShortcut(VARIANT, BSTR* shortcut) {
    if (shortcut != nullptr) {
        *shortcut = nullptr;
    }
    return m_pModel == nullptr ? RPC_E_DISCONNECTED : DISP_E_MEMBERNOTFOUND;
}

STDMETHODIMP CListAccessible::get_accFocus(VARIANT* child) {
    if (child == nullptr) {
        return E_POINTER;
    }
    VariantInit(child);
    if (m_pModel == nullptr) {
        return RPC_E_DISCONNECTED;
    }
    if (GetFocus() != m_hWnd) {
        return S_FALSE;  // VT_EMPTY: the focus is elsewhere
    }
    SetChild(child, m_pModel->GetFocus());
    return S_OK;
}

STDMETHODIMP CListAccessible::get_accSelection(VARIANT* children) {
    if (children == nullptr) {
        return E_POINTER;
    }
    VariantInit(children);
    if (m_pModel == nullptr) {
        return RPC_E_DISCONNECTED;
    }
    std::vector<int> selected = m_pModel->GetSelection();
    if (selected.empty()) {
        return S_FALSE;
    }
    if (selected.size() == 1) {
        SetChild(children, selected.front());
        return S_OK;
    }
    children->vt = VT_UNKNOWN;
    children->punkVal = new CChildEnumeration(std::move(selected));
    return S_OK;
}

STDMETHODIMP CListAccessible::get_accDefaultAction(VARIANT, BSTR* action) {
    if (action != nullptr) {
        *action = nullptr;
    }
    return m_pModel == nullptr ? RPC_E_DISCONNECTED : DISP_E_MEMBERNOTFOUND;
}

STDMETHODIMP CListAccessible::accSelect(long flags, VARIANT child) {
    if (m_pModel == nullptr) {
        return RPC_E_DISCONNECTED;
    }
    const int id = ChildOf(child);
    if (id <= 0) {
        return E_INVALIDARG;
    }
    // The list selects as its keyboard does: one row, which takes the focus.
    if ((flags & (SELFLAG_TAKESELECTION | SELFLAG_TAKEFOCUS)) == 0 || !m_fnSelect) {
        return DISP_E_MEMBERNOTFOUND;
    }
    if ((flags & SELFLAG_TAKEFOCUS) != 0) {
        SetFocus(m_hWnd);
    }
    m_fnSelect(id);
    return S_OK;
}

STDMETHODIMP CListAccessible::accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) {
    if (left == nullptr || top == nullptr || width == nullptr || height == nullptr) {
        return E_POINTER;
    }
    *left = *top = *width = *height = 0;
    if (m_pModel == nullptr) {
        return RPC_E_DISCONNECTED;
    }
    const int id = ChildOf(child);
    if (id < 0) {
        return E_INVALIDARG;
    }
    RECT rect{};
    if (id == 0) {
        GetClientRect(m_hWnd, &rect);
    } else {
        const list::Rect row = m_pModel->GetChildRect(id);
        rect = {row.left, row.top, row.right, row.bottom};
    }
    MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    *left = rect.left;
    *top = rect.top;
    *width = rect.right - rect.left;
    *height = rect.bottom - rect.top;
    return S_OK;
}

STDMETHODIMP CListAccessible::accNavigate(long direction, VARIANT start, VARIANT* end) {
    if (end == nullptr) {
        return E_POINTER;
    }
    VariantInit(end);
    if (m_pModel == nullptr) {
        return RPC_E_DISCONNECTED;
    }
    const int id = ChildOf(start);
    if (id < 0) {
        return E_INVALIDARG;
    }
    const int count = m_pModel->GetChildCount();
    int target = 0;
    switch (direction) {
        case NAVDIR_FIRSTCHILD:
            target = id == 0 && count > 0 ? 1 : 0;
            break;
        case NAVDIR_LASTCHILD:
            target = id == 0 ? count : 0;
            break;
        case NAVDIR_NEXT:
        case NAVDIR_DOWN:
            target = id > 0 && id < count ? id + 1 : 0;
            break;
        case NAVDIR_PREVIOUS:
        case NAVDIR_UP:
            target = id > 1 ? id - 1 : 0;
            break;
        default:
            return DISP_E_MEMBERNOTFOUND;
    }
    if (target == 0) {
        return S_FALSE;
    }
    SetChild(end, target);
    return S_OK;
}

STDMETHODIMP CListAccessible::accHitTest(long x, long y, VARIANT* child) {
    if (child == nullptr) {
        return E_POINTER;
    }
    VariantInit(child);
    if (m_pModel == nullptr) {
        return RPC_E_DISCONNECTED;
    }
    POINT point{x, y};
    ScreenToClient(m_hWnd, &point);
    RECT client{};
    GetClientRect(m_hWnd, &client);
    if (!PtInRect(&client, point)) {
        return S_FALSE;
    }
    SetChild(child, m_pModel->HitTest({point.x, point.y}));
    return S_OK;
}

STDMETHODIMP CListAccessible::accDoDefaultAction(VARIANT) {
    return m_pModel == nullptr ? RPC_E_DISCONNECTED : DISP_E_MEMBERNOTFOUND;
}

STDMETHODIMP CListAccessible::put_accName(VARIANT, BSTR) {
    return E_NOTIMPL;
}

STDMETHODIMP CListAccessible::put_accValue(VARIANT, BSTR) {
    return E_NOTIMPL;
}
