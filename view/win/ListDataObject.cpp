#include "view/win/ListDataObject.h"

#include <shlobj.h>

#include <utility>

ui::ComPtr<CListDataObject> CListDataObject::Create() {
    return ui::ComPtr<CListDataObject>::Adopt(new CListDataObject());
}

void CListDataObject::Add(CLIPFORMAT format, ui::ScopedGlobal block) {
    m_arrEntries.push_back({format, std::move(block)});
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
    const HGLOBAL block = entry->block.Get();
    const void* source = GlobalLock(block);
    if (source == nullptr) {
        return E_OUTOFMEMORY;
    }
    ui::ScopedGlobal copy = ui::CopyToGlobal(source, GlobalSize(block));
    GlobalUnlock(block);
    if (!copy) {
        return E_OUTOFMEMORY;
    }
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = copy.Detach();
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
