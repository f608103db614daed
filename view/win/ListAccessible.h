#pragma once

// The accessible object of the attachment list window (Microsoft Active Accessibility): a
// list whose children are the rows, with their names, places, selection and focus, as
// CListAccessibility describes them. The window hands it out on WM_GETOBJECT; clients may
// hold it longer than the window lives, so the window disconnects it when it goes, and
// every call after that fails as the platform expects.

#include "view/ListAccessibility.h"

#include <windows.h>

#include <oleacc.h>

#include <functional>

// COM objects are released through their interfaces, never deleted through a base pointer.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class CListAccessible final : public IAccessible {
public:
    // Selects child (1 ...) as the keyboard would and gives it the focus.
    using SelectFunction = std::function<void(int child)>;

    // A new object over model for the window hwnd, with one reference for the caller.
    static CListAccessible* Create(HWND hwnd, const CListAccessibility& model,
                                   SelectFunction select);

    // The window is going: the model is no longer reached.
    void Disconnect();

    // The answer to WM_GETOBJECT for the client area (wParam as the message gives it).
    LRESULT AnswerGetObject(WPARAM wParam);

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IDispatch: not offered (clients use the IAccessible methods).
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID locale,
                               DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID locale, WORD flags, DISPPARAMS* params,
                        VARIANT* result, EXCEPINFO* exception, UINT* argError) override;

    // IAccessible
    STDMETHODIMP get_accParent(IDispatch** parent) override;
    STDMETHODIMP get_accChildCount(long* count) override;
    STDMETHODIMP get_accChild(VARIANT child, IDispatch** object) override;
    STDMETHODIMP get_accName(VARIANT child, BSTR* name) override;
    STDMETHODIMP get_accValue(VARIANT child, BSTR* value) override;
    STDMETHODIMP get_accDescription(VARIANT child, BSTR* description) override;
    STDMETHODIMP get_accRole(VARIANT child, VARIANT* role) override;
    STDMETHODIMP get_accState(VARIANT child, VARIANT* state) override;
    STDMETHODIMP get_accHelp(VARIANT child, BSTR* help) override;
    STDMETHODIMP get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override;
    STDMETHODIMP get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
    STDMETHODIMP get_accFocus(VARIANT* child) override;
    STDMETHODIMP get_accSelection(VARIANT* children) override;
    STDMETHODIMP get_accDefaultAction(VARIANT child, BSTR* action) override;
    STDMETHODIMP accSelect(long flags, VARIANT child) override;
    STDMETHODIMP accLocation(long* left, long* top, long* width, long* height,
                             VARIANT child) override;
    STDMETHODIMP accNavigate(long direction, VARIANT start, VARIANT* end) override;
    STDMETHODIMP accHitTest(long x, long y, VARIANT* child) override;
    STDMETHODIMP accDoDefaultAction(VARIANT child) override;
    STDMETHODIMP put_accName(VARIANT child, BSTR name) override;
    STDMETHODIMP put_accValue(VARIANT child, BSTR value) override;

private:
    CListAccessible(HWND hwnd, const CListAccessibility& model, SelectFunction select);
    ~CListAccessible() = default;

    // The child a VARIANT names: 0 for the list itself, 1 ... for the rows; -1 when it
    // names nothing of this list.
    int ChildOf(const VARIANT& child) const;

    LONG m_nRefs = 1;
    HWND m_hWnd;
    const CListAccessibility* m_pModel;
    SelectFunction m_fnSelect;
};
#pragma GCC diagnostic pop
