#include "intake/win/ContentsSource.h"

#include <algorithm>
#include <cstring>

namespace {

class CMediumOwner {
public:
    explicit CMediumOwner(STGMEDIUM& medium) : m_medium(medium) { medium = STGMEDIUM{}; }
    ~CMediumOwner() { ReleaseStgMedium(&m_medium); }
    CMediumOwner(const CMediumOwner&) = delete;
    CMediumOwner& operator=(const CMediumOwner&) = delete;

protected:
    STGMEDIUM m_medium;
};

class CStreamSource final : public IByteSource, private CMediumOwner {
public:
    explicit CStreamSource(STGMEDIUM& medium) : CMediumOwner(medium) {}

    std::optional<std::size_t> Read(void* buffer, std::size_t size) override {
        // One call reads at most what a ULONG counts.
        const ULONG wanted = static_cast<ULONG>(std::min<std::size_t>(size, 0x7FFFFFFF));
        ULONG count = 0;
        const HRESULT hr = m_medium.pstm->Read(buffer, wanted, &count);
        if (FAILED(hr)) {
            return std::nullopt;
        }
        return static_cast<std::size_t>(count);
    }
};

class CGlobalSource final : public IByteSource, private CMediumOwner {
public:
    explicit CGlobalSource(STGMEDIUM& medium) : CMediumOwner(medium) {}

    std::optional<std::size_t> Read(void* buffer, std::size_t size) override {
        const SIZE_T total = GlobalSize(m_medium.hGlobal);
        if (m_nPosition >= total) {
            return std::size_t{0};
        }
        const void* data = GlobalLock(m_medium.hGlobal);
        if (data == nullptr) {
            return std::nullopt;
        }
        const std::size_t count = std::min<std::size_t>(size, total - m_nPosition);
        std::memcpy(buffer, static_cast<const char*>(data) + m_nPosition, count);
        GlobalUnlock(m_medium.hGlobal);
        m_nPosition += count;
        return count;
    }

private:
    std::size_t m_nPosition = 0;
};

class CFileSource final : public IByteSource {
public:
    explicit CFileSource(HANDLE file) : m_hFile(file) {}
    ~CFileSource() override { CloseHandle(m_hFile); }
    CFileSource(const CFileSource&) = delete;
    CFileSource& operator=(const CFileSource&) = delete;

    std::optional<std::size_t> Read(void* buffer, std::size_t size) override {
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(size, 0x40000000));
        DWORD count = 0;
        if (!ReadFile(m_hFile, buffer, wanted, &count, nullptr)) {
            return std::nullopt;
        }
        return static_cast<std::size_t>(count);
    }

private:
    HANDLE m_hFile;
};

}  // namespace

std::unique_ptr<IByteSource> OpenFileSource(const std::wstring& path) {
    if (path.empty() || path.find(L'\0') != std::wstring::npos) {
        return nullptr;
    }
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    return std::make_unique<CFileSource>(file);
}

std::unique_ptr<IByteSource> MakeContentsSource(STGMEDIUM& medium) {
    if (medium.tymed == TYMED_ISTREAM && medium.pstm != nullptr) {
        return std::make_unique<CStreamSource>(medium);
    }
    if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal != nullptr) {
        return std::make_unique<CGlobalSource>(medium);
    }
    ReleaseStgMedium(&medium);
    medium = STGMEDIUM{};
    return nullptr;
}
