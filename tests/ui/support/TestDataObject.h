#pragma once

// A data object for drag-and-drop tests and the test drag source: it offers, as asked, a
// shell file list, a mail client's virtual message files (with or without the mail
// client's own format) and the program's private format, and counts what is fetched.

#include "ui/ComObject.h"

#include <windows.h>

#include <ole2.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace test {

// One virtual file: its name in the descriptor (Shift_JIS), its bytes, and the medium its
// contents come in (TYMED_ISTREAM, TYMED_HGLOBAL, or TYMED_ISTORAGE for the bytes of a
// compound file, which are then handed out as an open storage, as Outlook hands out its
// items). wideName, when given, is its name in the Unicode descriptor.
struct VirtualFile {
    std::string name;
    std::string contents;
    DWORD medium = TYMED_ISTREAM;
    std::wstring wideName{};
};

class CTestDataObject final : public ui::CComObject<IDataObject> {
public:
    static CTestDataObject* Create();  // one reference

    // CF_HDROP with these paths, in this order.
    void OfferFileList(const std::vector<std::wstring>& paths);
    // "FileGroupDescriptor" (ANSI) naming the files and "FileContents" per item index;
    // "Outlook Express Messages" as well when mailClientFormat is set, and
    // "FileGroupDescriptorW" first when unicodeDescriptor is (as Outlook offers them).
    void OfferVirtualFiles(const std::vector<VirtualFile>& files, bool mailClientFormat = true,
                           bool unicodeDescriptor = false);
    // The program's private format, with a few bytes of data.
    void OfferPrivateFormat();

    // How many GetData calls came, in all and for "FileContents".
    int GetDataCalls() const { return m_nGetDataCalls; }
    int GetContentsCalls() const { return m_nContentsCalls; }

    // IDataObject
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) override;
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override;
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink,
                                      DWORD* connection) override;
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD connection) override;
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** advise) override;

private:
    struct Offer {
        FORMATETC format;  // lindex -1 unless the offer is for one item
        std::function<HRESULT(STGMEDIUM&)> make;
    };

    CTestDataObject() = default;
    ~CTestDataObject() override = default;
    const Offer* Find(const FORMATETC& format) const;

    std::vector<Offer> m_arrOffers;
    int m_nGetDataCalls = 0;
    int m_nContentsCalls = 0;
};

}  // namespace test
