#pragma once

// The data of a drag out of the attachment list: global memory blocks, each offered under
// one clipboard format, in the order added. The object owns the blocks; a receiver gets a
// copy of a block at each request.

#include "ui/ComObject.h"
#include "ui/ScopedGdi.h"

#include <windows.h>

#include <ole2.h>

#include <vector>

class CListDataObject final : public ui::CComObject<IDataObject> {
public:
    static ui::ComPtr<CListDataObject> Create();

    // Takes over block (movable global memory) under format.
    void Add(CLIPFORMAT format, ui::ScopedGlobal block);

    // IDataObject
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) override;
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** enumerator) override;
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink,
                                      DWORD* connection) override;
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD connection) override;
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** enumerator) override;

private:
    struct Entry {
        CLIPFORMAT format;
        ui::ScopedGlobal block;
    };

    CListDataObject() = default;
    ~CListDataObject() override = default;
    const Entry* Find(const FORMATETC* format) const;

    std::vector<Entry> m_arrEntries;
};
