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

}  // namespace

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
