#pragma once

// The data of a drag out of the attachment list: global memory blocks, each offered under
// one clipboard format, in the order added. The object owns the blocks; a receiver gets a
// copy of a block at each request.

#include <windows.h>

#include <ole2.h>

#include <vector>

// COM interfaces have no virtual destructor; the objects are released, never deleted
// through them.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class CListDataObject final : public IDataObject {
public:
    static CListDataObject* CreateInstance();  // one reference

    // Takes over block (movable global memory) under format.
    void Add(CLIPFORMAT format, HGLOBAL block);

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
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
        HGLOBAL block;
    };

    CListDataObject() = default;
    ~CListDataObject();
    const Entry* Find(const FORMATETC* format) const;

    LONG m_nRefs = 1;
    std::vector<Entry> m_arrEntries;
};
#pragma GCC diagnostic pop
