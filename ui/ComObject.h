#pragma once

// The base of the program's COM objects: one reference count and one QueryInterface that
// answers IUnknown and each interface the object lists. An object is made with new, starts
// with one reference (hand it to ComPtr::Adopt) and deletes itself at its last Release.

#include <windows.h>

#include <unknwn.h>

#include <utility>

namespace ui {

// COM interfaces have no virtual destructor; the objects are released, never deleted
// through them.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

template <typename First, typename... Others>
class CComObject : public First, public Others... {
public:
    CComObject(const CComObject&) = delete;
    CComObject& operator=(const CComObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (ppv == nullptr) {
            return E_POINTER;
        }
        *ppv = nullptr;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, __uuidof(First))) {
            *ppv = static_cast<First*>(this);
        } else {
            [[maybe_unused]] const bool bAnswered = (Answer<Others>(riid, ppv) || ...);
        }
        if (*ppv == nullptr) {
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        return static_cast<ULONG>(InterlockedIncrement(&m_nRefs));
    }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG refs = InterlockedDecrement(&m_nRefs);
        if (refs == 0) {
            delete this;
        }
        return static_cast<ULONG>(refs);
    }

protected:
    CComObject() = default;
    virtual ~CComObject() = default;

private:
    template <typename Interface>
    bool Answer(REFIID riid, void** ppv) {
        if (!IsEqualIID(riid, __uuidof(Interface))) {
            return false;
        }
        *ppv = static_cast<Interface*>(this);
        return true;
    }

    LONG m_nRefs = 1;
};

#pragma GCC diagnostic pop

}  // namespace ui
