#include "intake/win/OleDroppedData.h"

#include "intake/DropFormats.h"
#include "intake/win/ContentsSource.h"
#include "platform/win32/WideText.h"
#include "res/resource.h"
#include "ui/ScopedGdi.h"

#include <shellapi.h>

namespace {

// The longest registered format name that is read, in characters.
constexpr int kFormatNameLength = 255;

// Any medium a format may come in; the data object picks.
constexpr DWORD kAnyMedium = TYMED_HGLOBAL | TYMED_ISTREAM | TYMED_ISTORAGE | TYMED_FILE;

CLIPFORMAT RegisterFormat(const char* name) {
    return static_cast<CLIPFORMAT>(RegisterClipboardFormatW(platform::win32::ToWide(name).c_str()));
}

FORMATETC Format(CLIPFORMAT format, DWORD media, LONG index = -1) {
    return FORMATETC{format, nullptr, DVASPECT_CONTENT, index, media};
}

}  // namespace

COleDroppedData::COleDroppedData(IDataObject* data) : m_pData(data) {}

COleDroppedData::~COleDroppedData() {
    ReleaseDescriptor(m_descriptor);
    ReleaseDescriptor(m_descriptorW);
}

void COleDroppedData::ReleaseDescriptor(Descriptor& descriptor) {
    if (descriptor.pBlock != nullptr) {
        GlobalUnlock(descriptor.medium.hGlobal);
    }
    if (descriptor.bFetched) {
        ReleaseStgMedium(&descriptor.medium);
    }
}

CLIPFORMAT COleDroppedData::PrivateFormat() {
    const wchar_t* name = nullptr;
    const int length = LoadStringW(GetModuleHandleW(nullptr), IDS_PRIVATE_FORMAT,
                                   reinterpret_cast<LPWSTR>(&name), 0);
    if (length > 0 && name != nullptr) {
        const std::wstring text(name, static_cast<std::size_t>(length));
        return static_cast<CLIPFORMAT>(RegisterClipboardFormatW(text.c_str()));
    }
    return RegisterFormat(kPrivateFormatName);
}

std::vector<std::string> COleDroppedData::GetFormatNames() {
    std::vector<std::string> names;
    ui::ComPtr<IEnumFORMATETC> formats;
    if (FAILED(m_pData->EnumFormatEtc(DATADIR_GET, formats.Receive())) || !formats) {
        return names;
    }
    FORMATETC format;
    ULONG fetched = 0;
    while (formats->Next(1, &format, &fetched) == S_OK && fetched == 1) {
        if (format.ptd != nullptr) {
            CoTaskMemFree(format.ptd);
        }
        wchar_t name[kFormatNameLength + 1] = {};
        const int length = GetClipboardFormatNameW(format.cfFormat, name, kFormatNameLength + 1);
        if (length > 0) {
            names.push_back(platform::win32::FromWide(
                std::wstring_view(name, static_cast<std::size_t>(length))));
        }
    }
    return names;
}

bool COleDroppedData::OffersPrivateFormat() {
    FORMATETC format = Format(PrivateFormat(), kAnyMedium);
    return m_pData->QueryGetData(&format) == S_OK;
}

bool COleDroppedData::FetchPrivateFormat() {
    FORMATETC format = Format(PrivateFormat(), kAnyMedium);
    STGMEDIUM medium{};
    if (FAILED(m_pData->GetData(&format, &medium))) {
        return false;
    }
    ReleaseStgMedium(&medium);
    return true;
}

std::optional<std::string_view> COleDroppedData::GetFileGroupDescriptor() {
    return FetchDescriptor(kFileGroupDescriptorFormatName, m_descriptor);
}

std::optional<std::string_view> COleDroppedData::GetFileGroupDescriptorW() {
    return FetchDescriptor(kFileGroupDescriptorWFormatName, m_descriptorW);
}

std::optional<std::string_view> COleDroppedData::FetchDescriptor(const char* formatName,
                                                                 Descriptor& descriptor) {
    if (!descriptor.bFetched) {
        FORMATETC format = Format(RegisterFormat(formatName), TYMED_HGLOBAL);
        if (FAILED(m_pData->GetData(&format, &descriptor.medium))) {
            descriptor.medium = STGMEDIUM{};
            return std::nullopt;
        }
        descriptor.bFetched = true;
        if (descriptor.medium.tymed == TYMED_HGLOBAL && descriptor.medium.hGlobal != nullptr) {
            descriptor.pBlock = GlobalLock(descriptor.medium.hGlobal);
        }
    }
    if (descriptor.pBlock == nullptr) {
        return std::nullopt;
    }
    // The block may be larger than the descriptor; the reader checks the count against it.
    return std::string_view(static_cast<const char*>(descriptor.pBlock),
                            GlobalSize(descriptor.medium.hGlobal));
}

std::unique_ptr<IByteSource> COleDroppedData::OpenFileContents(std::size_t index) {
    if (index > 0x7FFFFFFF) {
        return nullptr;
    }
    FORMATETC format = Format(RegisterFormat(kFileContentsFormatName),
                              TYMED_ISTREAM | TYMED_HGLOBAL | TYMED_ISTORAGE,
                              static_cast<LONG>(index));
    STGMEDIUM medium{};
    if (FAILED(m_pData->GetData(&format, &medium))) {
        return nullptr;
    }
    return MakeContentsSource(medium);
}

std::optional<std::vector<std::string>> COleDroppedData::GetFileList() {
    FORMATETC format = Format(CF_HDROP, TYMED_HGLOBAL);
    STGMEDIUM medium{};
    if (FAILED(m_pData->GetData(&format, &medium))) {
        return std::nullopt;
    }
    std::optional<std::vector<std::string>> paths;
    if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal != nullptr) {
        const auto drop = static_cast<HDROP>(medium.hGlobal);
        const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
        paths.emplace();
        m_arrWidePaths.clear();
        for (UINT i = 0; i < count; ++i) {
            const UINT length = DragQueryFileW(drop, i, nullptr, 0);
            std::wstring path(length + 1, L'\0');
            const UINT copied = DragQueryFileW(drop, i, path.data(), length + 1);
            path.resize(copied);
            paths->push_back(platform::win32::FromWide(path));
            m_arrWidePaths.push_back(std::move(path));
        }
    }
    ReleaseStgMedium(&medium);
    return paths;
}

std::unique_ptr<IByteSource> COleDroppedData::OpenListedFile(std::size_t index) {
    if (m_arrWidePaths.empty()) {
        GetFileList();
    }
    return index < m_arrWidePaths.size() ? OpenFileSource(m_arrWidePaths[index]) : nullptr;
}
