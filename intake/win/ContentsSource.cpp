#include "intake/win/ContentsSource.h"

#include "ui/ScopedGdi.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

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

class CMemorySource final : public IByteSource {
public:
    explicit CMemorySource(std::string data) : m_strData(std::move(data)) {}

    std::optional<std::size_t> Read(void* buffer, std::size_t size) override {
        const std::size_t count = std::min(size, m_strData.size() - m_nPosition);
        std::memcpy(buffer, m_strData.data() + m_nPosition, count);
        m_nPosition += count;
        return count;
    }

private:
    std::string m_strData;
    std::size_t m_nPosition = 0;
};

// The bytes of a compound file holding a copy of storage (its streams, storages and class);
// nothing when the copy fails.
std::optional<std::string> CopyStorage(IStorage* storage) {
    ui::ComPtr<ILockBytes> bytes;
    if (FAILED(CreateILockBytesOnHGlobal(nullptr, TRUE, bytes.Receive())) || !bytes) {
        return std::nullopt;
    }
    {
        ui::ComPtr<IStorage> copy;
        if (FAILED(StgCreateDocfileOnILockBytes(
                bytes.Get(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0,
                copy.Receive())) ||
            !copy || FAILED(storage->CopyTo(0, nullptr, nullptr, copy.Get()))) {
            return std::nullopt;
        }
        STATSTG stat{};
        if (SUCCEEDED(storage->Stat(&stat, STATFLAG_NONAME))) {
            copy->SetClass(stat.clsid);
        }
        if (FAILED(copy->Commit(STGC_DEFAULT))) {
            return std::nullopt;
        }
    }
    STATSTG stat{};
    HGLOBAL global = nullptr;
    if (FAILED(bytes->Stat(&stat, STATFLAG_NONAME)) ||
        FAILED(GetHGlobalFromILockBytes(bytes.Get(), &global)) || global == nullptr ||
        stat.cbSize.QuadPart > GlobalSize(global)) {
        return std::nullopt;
    }
    const void* data = GlobalLock(global);
    if (data == nullptr) {
        return std::nullopt;
    }
    std::string result(static_cast<const char*>(data), static_cast<std::size_t>(stat.cbSize.QuadPart));
    GlobalUnlock(global);
    return result;
}

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
    if (medium.tymed == TYMED_ISTORAGE && medium.pstg != nullptr) {
        std::optional<std::string> bytes = CopyStorage(medium.pstg);
        ReleaseStgMedium(&medium);
        medium = STGMEDIUM{};
        if (!bytes) {
            return nullptr;
        }
        return std::make_unique<CMemorySource>(std::move(*bytes));
    }
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
