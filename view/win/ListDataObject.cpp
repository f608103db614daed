#include "view/win/ListDataObject.h"

#include <shlobj.h>

#include <cstring>

CListDataObject* CListDataObject::CreateInstance() {
    return new CListDataObject();
}

CListDataObject::~CListDataObject() {
    for (const Entry& entry : m_arrEntries) {
        GlobalFree(entry.block);
    }
}

void CListDataObject::Add(CLIPFORMAT format, HGLOBAL block) {
    m_arrEntries.push_back({format, block});
}

HRESULT CListDataObject::QueryInterface(REFIID riid, void** ppv) {
    if (ppv == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDataObject)) {
        *ppv = static_cast<IDataObject*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG CListDataObject::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&m_nRefs));
}

ULONG CListDataObject::Release() {
    const LONG refs = InterlockedDecrement(&m_nRefs);
    if (refs == 0) {
        delete this;
    }
    return static_cast<ULONG>(refs);
}

const CListDataObject::Entry* CListDataObject::Find(const FORMATETC* format) const {
    if (format == nullptr || (format->tymed & TYMED_HGLOBAL) == 0 ||
        format->dwAspect != DVASPECT_CONTENT) {
        return nullptr;
    }
    for (const Entry& entry : m_arrEntries) {
        if (entry.format == format->cfFormat) {
            return &entry;
        }
    }
    return nullptr;
}

HRESULT CListDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
    if (medium == nullptr) {
        return E_POINTER;
    }
    const Entry* entry = Find(format);
    if (entry == nullptr) {
        return DV_E_FORMATETC;
    }
    const SIZE_T size = GlobalSize(entry->block);
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
    if (copy == nullptr) {
        return E_OUTOFMEMORY;
    }
    const void* source = GlobalLock(entry->block);
    void* target = GlobalLock(copy);
    if (source != nullptr && target != nullptr) {
        std::memcpy(target, source, size);
    }
    GlobalUnlock(copy);
    GlobalUnlock(entry->block);
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = copy;
    medium->pUnkForRelease = nullptr;
    return S_OK;
}

HRESULT CListDataObject::GetDataHere(FORMATETC*, STGMEDIUM*) {
    return E_NOTIMPL;
}

HRESULT CListDataObject::QueryGetData(FORMATETC* format) {
    return Find(format) != nullptr ? S_OK : DV_E_FORMATETC;
}

HRESULT CListDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) {
    if (out != nullptr) {
        out->ptd = nullptr;
    }
    return DATA_S_SAMEFORMATETC;
}

HRESULT CListDataObject::SetData(FORMATETC*, STGMEDIUM*, BOOL) {
    return E_NOTIMPL;
}

HRESULT CListDataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** enumerator) {
    if (enumerator == nullptr) {
        return E_POINTER;
    }
    *enumerator = nullptr;
    if (direction != DATADIR_GET) {
        return E_NOTIMPL;
    }
    std::vector<FORMATETC> formats;
    for (const Entry& entry : m_arrEntries) {
        formats.push_back({entry.format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL});
    }
    return SHCreateStdEnumFmtEtc(static_cast<UINT>(formats.size()), formats.data(), enumerator);
}

HRESULT CListDataObject::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) {
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT CListDataObject::DUnadvise(DWORD) {
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT CListDataObject::EnumDAdvise(IEnumSTATDATA**) {
    return OLE_E_ADVISENOTSUPPORTED;
}
