#include "ui/support/TestDataObject.h"

#include "intake/DropFormats.h"
#include "platform/win32/WideText.h"

#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <iterator>

namespace test {

namespace {

CLIPFORMAT Register(const wchar_t* name) {
    return static_cast<CLIPFORMAT>(RegisterClipboardFormatW(name));
}

CLIPFORMAT Register(const char* ascii) {
    const std::wstring name(ascii, ascii + std::strlen(ascii));
    return Register(name.c_str());
}

HRESULT GlobalMedium(const void* data, std::size_t size, STGMEDIUM& medium) {
    const HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE, size == 0 ? 1 : size);
    if (global == nullptr) {
        return E_OUTOFMEMORY;
    }
    void* target = GlobalLock(global);
    std::memcpy(target, data, size);
    GlobalUnlock(global);
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = global;
    medium.pUnkForRelease = nullptr;
    return S_OK;
}

HRESULT StreamMedium(const std::string& data, STGMEDIUM& medium) {
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream))) {
        return E_OUTOFMEMORY;
    }
    ULONG written = 0;
    stream->Write(data.data(), static_cast<ULONG>(data.size()), &written);
    const LARGE_INTEGER start{};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    medium.tymed = TYMED_ISTREAM;
    medium.pstm = stream;
    medium.pUnkForRelease = nullptr;
    return S_OK;
}

// An open storage over the bytes of a compound file.
HRESULT StorageMedium(const std::string& data, STGMEDIUM& medium) {
    const HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE, data.empty() ? 1 : data.size());
    if (global == nullptr) {
        return E_OUTOFMEMORY;
    }
    std::memcpy(GlobalLock(global), data.data(), data.size());
    GlobalUnlock(global);
    ILockBytes* bytes = nullptr;
    if (FAILED(CreateILockBytesOnHGlobal(global, TRUE, &bytes))) {
        GlobalFree(global);
        return E_OUTOFMEMORY;
    }
    IStorage* storage = nullptr;
    const HRESULT hr = StgOpenStorageOnILockBytes(
        bytes, nullptr, STGM_READWRITE | STGM_SHARE_EXCLUSIVE, nullptr, 0, &storage);
    bytes->Release();
    if (FAILED(hr)) {
        return hr;
    }
    medium.tymed = TYMED_ISTORAGE;
    medium.pstg = storage;
    medium.pUnkForRelease = nullptr;
    return S_OK;
}

FORMATETC Format(CLIPFORMAT format, DWORD medium, LONG index = -1) {
    return FORMATETC{format, nullptr, DVASPECT_CONTENT, index, medium};
}

}  // namespace

CTestDataObject* CTestDataObject::Create() {
    return new CTestDataObject();
}

void CTestDataObject::OfferFileList(const std::vector<std::wstring>& paths) {
    std::wstring list;
    for (const std::wstring& path : paths) {
        list += path;
        list += L'\0';
    }
    list += L'\0';
    std::string block(sizeof(DROPFILES), '\0');
    DROPFILES header{};
    header.pFiles = sizeof(DROPFILES);
    header.fWide = TRUE;
    std::memcpy(block.data(), &header, sizeof header);
    block.append(reinterpret_cast<const char*>(list.data()), list.size() * sizeof(wchar_t));
    m_arrOffers.push_back({Format(CF_HDROP, TYMED_HGLOBAL), [block](STGMEDIUM& medium) {
                               return GlobalMedium(block.data(), block.size(), medium);
                           }});
}

void CTestDataObject::OfferVirtualFiles(const std::vector<VirtualFile>& files,
                                        bool mailClientFormat, bool unicodeDescriptor) {
    if (unicodeDescriptor) {
        std::string wide(sizeof(UINT), '\0');
        const UINT count = static_cast<UINT>(files.size());
        std::memcpy(wide.data(), &count, sizeof count);
        for (const VirtualFile& file : files) {
            FILEDESCRIPTORW item{};
            item.dwFlags = FD_FILESIZE;
            item.nFileSizeLow = static_cast<DWORD>(file.contents.size());
            const std::wstring name =
                file.wideName.empty() ? platform::win32::ToWide(file.name) : file.wideName;
            std::memcpy(item.cFileName, name.data(),
                        std::min(name.size(), std::size(item.cFileName) - 1) * sizeof(wchar_t));
            wide.append(reinterpret_cast<const char*>(&item), sizeof item);
        }
        m_arrOffers.push_back({Format(Register(kFileGroupDescriptorWFormatName), TYMED_HGLOBAL),
                               [wide](STGMEDIUM& medium) {
                                   return GlobalMedium(wide.data(), wide.size(), medium);
                               }});
    }
    std::string descriptor(sizeof(UINT), '\0');
    const UINT count = static_cast<UINT>(files.size());
    std::memcpy(descriptor.data(), &count, sizeof count);
    for (const VirtualFile& file : files) {
        FILEDESCRIPTORA item{};
        item.dwFlags = FD_FILESIZE;
        item.nFileSizeLow = static_cast<DWORD>(file.contents.size());
        std::memcpy(item.cFileName, file.name.data(),
                    std::min(file.name.size(), sizeof item.cFileName - 1));
        descriptor.append(reinterpret_cast<const char*>(&item), sizeof item);
    }
    m_arrOffers.push_back({Format(Register(kFileGroupDescriptorFormatName), TYMED_HGLOBAL),
                           [descriptor](STGMEDIUM& medium) {
                               return GlobalMedium(descriptor.data(), descriptor.size(), medium);
                           }});
    const CLIPFORMAT contents = Register(kFileContentsFormatName);
    for (std::size_t i = 0; i < files.size(); ++i) {
        const DWORD kind = files[i].medium;
        m_arrOffers.push_back({Format(contents, kind, static_cast<LONG>(i)),
                               [data = files[i].contents, kind](STGMEDIUM& medium) {
                                   return kind == TYMED_HGLOBAL
                                              ? GlobalMedium(data.data(), data.size(), medium)
                                          : kind == TYMED_ISTORAGE ? StorageMedium(data, medium)
                                                                   : StreamMedium(data, medium);
                               }});
    }
    if (mailClientFormat) {
        m_arrOffers.push_back(
            {Format(Register(kMailClientFormatName), TYMED_HGLOBAL),
             [](STGMEDIUM& medium) { return GlobalMedium("\0\0\0", 4, medium); }});
    }
}

void CTestDataObject::OfferPrivateFormat() {
    m_arrOffers.push_back({Format(Register(kPrivateFormatName), TYMED_HGLOBAL),
                           [](STGMEDIUM& medium) { return GlobalMedium("list", 4, medium); }});
}

const CTestDataObject::Offer* CTestDataObject::Find(const FORMATETC& format) const {
    for (const Offer& offer : m_arrOffers) {
        if (offer.format.cfFormat != format.cfFormat || (offer.format.tymed & format.tymed) == 0 ||
            (format.dwAspect & DVASPECT_CONTENT) == 0) {
            continue;
        }
        // Item offers answer their own index; the others any index.
        if (offer.format.lindex != -1 && offer.format.lindex != format.lindex) {
            continue;
        }
        return &offer;
    }
    return nullptr;
}

HRESULT STDMETHODCALLTYPE CTestDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
    if (format == nullptr || medium == nullptr) {
        return E_INVALIDARG;
    }
    ++m_nGetDataCalls;
    if (format->cfFormat == Register(kFileContentsFormatName)) {
        ++m_nContentsCalls;
    }
    *medium = STGMEDIUM{};
    const Offer* offer = Find(*format);
    return offer != nullptr ? offer->make(*medium) : DV_E_FORMATETC;
}

HRESULT STDMETHODCALLTYPE CTestDataObject::GetDataHere(FORMATETC*, STGMEDIUM*) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CTestDataObject::QueryGetData(FORMATETC* format) {
    if (format == nullptr) {
        return E_INVALIDARG;
    }
    return Find(*format) != nullptr ? S_OK : DV_E_FORMATETC;
}

HRESULT STDMETHODCALLTYPE CTestDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) {
    if (out != nullptr) {
        out->ptd = nullptr;
    }
    return DATA_S_SAMEFORMATETC;
}

HRESULT STDMETHODCALLTYPE CTestDataObject::SetData(FORMATETC*, STGMEDIUM*, BOOL) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CTestDataObject::EnumFormatEtc(DWORD direction,
                                                         IEnumFORMATETC** formats) {
    if (formats == nullptr) {
        return E_POINTER;
    }
    *formats = nullptr;
    if (direction != DATADIR_GET) {
        return E_NOTIMPL;
    }
    // One entry per format: the items of "FileContents" share theirs.
    std::vector<FORMATETC> list;
    for (const Offer& offer : m_arrOffers) {
        FORMATETC format = offer.format;
        format.lindex = -1;
        const bool seen = std::any_of(list.begin(), list.end(), [&](const FORMATETC& other) {
            return other.cfFormat == format.cfFormat;
        });
        if (!seen) {
            list.push_back(format);
        }
    }
    return SHCreateStdEnumFmtEtc(static_cast<UINT>(list.size()), list.data(), formats);
}

HRESULT STDMETHODCALLTYPE CTestDataObject::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) {
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT STDMETHODCALLTYPE CTestDataObject::DUnadvise(DWORD) {
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT STDMETHODCALLTYPE CTestDataObject::EnumDAdvise(IEnumSTATDATA**) {
    return OLE_E_ADVISENOTSUPPORTED;
}

}  // namespace test
