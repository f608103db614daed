// Whatever bytes a file-group descriptor holds: reading it stays inside the block and takes
// only the items the block holds, every name it gives fits its field, and a mail-client drop
// of it, each item's contents being its own name, writes nothing but plain .eml and .msg files into
// the data folder, each one listed in the pending list with the bytes it was given; a drop
// that fails leaves no file at all.

#include "fuzz/NativeScratch.h"
#include "intake/FileGroupDescriptor.h"
#include "intake/MailIntake.h"
#include "intake/MessageCopyName.h"
#include "platform/ShiftJis.h"
#include "platform/posix/NativePath.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

void Fail(const char* what, const std::string& detail = {}) {
    std::fprintf(stderr, "%s %s\n", what, detail.c_str());
    std::abort();
}

std::string ReadNative(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Item contents in reads of at most 7 bytes, so that chunks and short reads both occur.
class NameSource : public IByteSource {
public:
    explicit NameSource(std::string data) : m_strData(std::move(data)) {}
    std::optional<std::size_t> Read(void* buffer, std::size_t size) override {
        const std::size_t count = std::min({size, std::size_t{7}, m_strData.size() - m_nPosition});
        std::memcpy(buffer, m_strData.data() + m_nPosition, count);
        m_nPosition += count;
        return count;
    }

private:
    std::string m_strData;
    std::size_t m_nPosition = 0;
};

class Data : public IDroppedData {
public:
    Data(std::string_view block, const std::vector<std::string>& names)
        : m_block(block), m_names(names) {}
    std::vector<std::string> GetFormatNames() override { return {"Outlook Express Messages"}; }
    bool OffersPrivateFormat() override { return false; }
    bool FetchPrivateFormat() override { return false; }
    std::optional<std::string_view> GetFileGroupDescriptor() override { return m_block; }
    std::optional<std::string_view> GetFileGroupDescriptorW() override { return std::nullopt; }
    std::unique_ptr<IByteSource> OpenFileContents(std::size_t index) override {
        if (index >= m_names.size()) {
            Fail("contents asked for an item beyond the count");
        }
        return std::make_unique<NameSource>(m_names[index]);
    }
    std::optional<std::vector<std::string>> GetFileList() override { return std::nullopt; }
    std::unique_ptr<IByteSource> OpenListedFile(std::size_t) override {
        Fail("a listed file asked for without a file list");
        return nullptr;
    }

private:
    std::string_view m_block;
    const std::vector<std::string>& m_names;
};

class NoProgress : public IProgressSink {
public:
    void SetStatusText(const std::string&) override {}
    void StepIt() override {}
    void SetPosition(int) override {}
    bool CheckCancel() override { return false; }
};

class Host : public IDropHost {
public:
    PendingMessageList& GetPendingList() override { return m_arrPending; }
    DropZone TestDropZone(DropPoint) override { return DropZone::Extraction; }
    void PostExtraction() override { ++m_nPosted; }
    void PostUnsentConversion() override { Fail("unsent conversion posted"); }
    std::unique_ptr<IProgressSink> CreateProgress() override {
        return std::make_unique<NoProgress>();
    }
    void ShowWarning(const std::string&) override { Fail("a warning on a mail-client drop"); }

    PendingMessageList m_arrPending;
    int m_nPosted = 0;
};

void CheckNames(std::string_view block, bool read, const std::vector<std::string>& names) {
    if (!read) {
        if (!names.empty()) {
            Fail("names from a block that was refused");
        }
        return;
    }
    if (4 + names.size() * kFileDescriptorSize > block.size()) {
        Fail("more names than the block holds");
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string_view field = block.substr(
            4 + i * kFileDescriptorSize + kFileDescriptorNameOffset, kFileDescriptorNameSize);
        if (names[i].size() > kFileDescriptorNameSize || names[i].find('\0') != std::string::npos ||
            field.substr(0, names[i].size()) != names[i] ||
            (names[i].size() < field.size() && field[names[i].size()] != '\0')) {
            Fail("name not taken from its field", names[i]);
        }
        if (const auto base = MessageCopyBaseName(names[i])) {
            if (sjis::FindFirstOf(*base, "\\/:<>\"|?*") != std::string::npos) {
                Fail("base name with a separator or a refused character", *base);
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::string_view block(reinterpret_cast<const char*>(bytes), size);
    std::vector<std::string> names;
    const bool read = ReadFileGroupDescriptor(block, names);
    CheckNames(block, read, names);

    const std::string native = fuzz::ScratchParent() + "/data";
    mkdir(native.c_str(), 0777);
    const std::string dataFolder = platform::posix::ToCorePath(native) + "\\";
    Host host;
    Data data(block, names);
    CMailIntake intake(dataFolder);
    const bool dropped = intake.OnDrop(host, data, {0, 0});
    if (dropped && !read) {
        Fail("a refused descriptor was dropped");
    }

    if (fuzz::Entries(fuzz::ScratchParent()) != std::set<std::string>{"data"}) {
        Fail("written beside the data folder");
    }
    // A drop that failed (a copy that could not be created) leaves nothing behind.
    const std::set<std::string> files = fuzz::Entries(native);
    if (!dropped && (!files.empty() || !host.m_arrPending.empty() || host.m_nPosted != 0)) {
        Fail("a failed drop left copies");
    }
    if (files.size() != host.m_arrPending.size() || host.m_nPosted != (files.empty() ? 0 : 1)) {
        Fail("files and pending list differ");
    }
    for (const std::string& copy : host.m_arrPending) {
        if (copy.compare(0, dataFolder.size(), dataFolder) != 0) {
            Fail("copy outside the data folder", copy);
        }
        const std::string name = copy.substr(dataFolder.size());
        if (sjis::FindFirstOf(name, "\\/:") != std::string::npos || name.size() < 4 ||
            (name.compare(name.size() - 4, 4, ".eml") != 0 &&
             name.compare(name.size() - 4, 4, ".msg") != 0)) {
            Fail("copy not a plain .eml or .msg file", name);
        }
        const auto nativeCopy = platform::posix::ToNativePath(copy);
        struct stat st;
        if (!nativeCopy || lstat(nativeCopy->c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
            Fail("listed copy missing", name);
        }
        // Each item's contents are its name: the copy holds the name of some .eml item.
        const std::string contents = ReadNative(*nativeCopy);
        bool found = false;
        for (const std::string& item : names) {
            found = found || (item == contents && MessageCopyBaseName(item).has_value());
        }
        if (!found) {
            Fail("copy holds bytes no item gave", name);
        }
        unlink(nativeCopy->c_str());
    }
    for (const std::string& left : fuzz::Entries(native)) {
        Fail("file left that the pending list does not name", left);
    }
    return 0;
}
