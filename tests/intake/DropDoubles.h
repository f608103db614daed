#pragma once

// Memory stand-ins for what the OLE adaptor and the windows give the intake: a window
// (pending list, zone answers, posted requests, progress dialog) and a dropped data object
// whose item contents come from memory, optionally in short reads, with a read error, or
// without end.

#include "intake/DropHost.h"
#include "intake/DroppedData.h"
#include "intake/FileGroupDescriptor.h"
#include "platform/File.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace test {

// The calls a progress dialog received, in order: "text:...", "step", "check".
struct ProgressLog {
    std::vector<std::string> calls;
    int nChecks = 0;
    int nCancelAtCheck = 0;  // the check (from 1) that reports a cancel; 0 for none
    int nCreated = 0;
    int nOpen = 0;  // dialogs created and not yet destroyed
};

class RecordingProgressSink : public IProgressSink {
public:
    explicit RecordingProgressSink(ProgressLog& log) : m_log(log) { ++m_log.nOpen; }
    ~RecordingProgressSink() override { --m_log.nOpen; }
    void SetStatusText(const std::string& text) override { m_log.calls.push_back("text:" + text); }
    void StepIt() override { m_log.calls.push_back("step"); }
    void SetPosition(int position) override {
        m_log.calls.push_back("position:" + std::to_string(position));
    }
    bool CheckCancel() override {
        m_log.calls.push_back("check");
        return ++m_log.nChecks == m_log.nCancelAtCheck;
    }

private:
    ProgressLog& m_log;
};

class FakeDropHost : public IDropHost {
public:
    PendingMessageList& GetPendingList() override { return m_arrPending; }
    DropZone TestDropZone(DropPoint point) override {
        m_arrPoints.push_back(point);
        if (m_arrZones.size() > 1) {
            const DropZone zone = m_arrZones.front();
            m_arrZones.pop_front();
            return zone;
        }
        return m_arrZones.front();
    }
    void PostExtraction() override { m_arrPosted.push_back("extraction"); }
    void PostUnsentConversion() override { m_arrPosted.push_back("unsent"); }
    std::unique_ptr<IProgressSink> CreateProgress() override {
        ++m_progress.nCreated;
        return std::make_unique<RecordingProgressSink>(m_progress);
    }
    void ShowWarning(const std::string& text) override { m_arrWarnings.push_back(text); }

    PendingMessageList m_arrPending;
    std::deque<DropZone> m_arrZones{DropZone::Extraction};  // answered in turn, the last kept
    std::vector<DropPoint> m_arrPoints;
    std::vector<std::string> m_arrPosted;
    std::vector<std::string> m_arrWarnings;
    ProgressLog m_progress;
};

// One item's contents as the data object gives them.
struct ItemContents {
    std::string data;
    std::size_t maxRead = SIZE_MAX;  // at most this much per read (short reads)
    int nFailAtRead = 0;             // this read (from 1) is an error; 0 for none
    bool bEndless = false;           // gives 'x' without end after data
    std::size_t nExcess = 0;         // the first read claims this many bytes more than asked
};

class MemoryByteSource : public IByteSource {
public:
    MemoryByteSource(ItemContents contents, std::vector<std::size_t>& requests)
        : m_contents(std::move(contents)), m_requests(requests) {}

    std::optional<std::size_t> Read(void* buffer, std::size_t size) override {
        m_requests.push_back(size);
        if (++m_nReads == m_contents.nFailAtRead) {
            return std::nullopt;
        }
        if (m_nReads == 1 && m_contents.nExcess != 0) {
            return size + m_contents.nExcess;
        }
        std::size_t count = std::min(size, m_contents.maxRead);
        if (m_contents.bEndless) {
            std::memset(buffer, 'x', count);
            return count;
        }
        count = std::min(count, m_contents.data.size() - m_nPosition);
        std::memcpy(buffer, m_contents.data.data() + m_nPosition, count);
        m_nPosition += count;
        return count;
    }

private:
    ItemContents m_contents;
    std::vector<std::size_t>& m_requests;
    std::size_t m_nPosition = 0;
    int m_nReads = 0;
};

// The bytes of a file-group descriptor holding names (each at most 260 bytes; one of 260
// has no NUL), with count as its item count unless given.
inline std::string DescriptorBlock(const std::vector<std::string>& names,
                                   std::optional<std::int32_t> count = std::nullopt) {
    const auto value =
        static_cast<std::uint32_t>(count.value_or(static_cast<std::int32_t>(names.size())));
    std::string block;
    for (int i = 0; i < 4; ++i) {
        block += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
    for (const std::string& name : names) {
        std::string descriptor(kFileDescriptorSize, '\x7F');  // no zero outside the name
        descriptor.replace(kFileDescriptorNameOffset, kFileDescriptorNameSize,
                           std::string(kFileDescriptorNameSize, '\0'));
        descriptor.replace(kFileDescriptorNameOffset, name.size(), name);
        block += descriptor;
    }
    return block;
}

// The same for the Unicode descriptor.
inline std::string DescriptorBlockW(const std::vector<std::u16string>& names) {
    std::string block;
    const auto count = static_cast<std::uint32_t>(names.size());
    for (int i = 0; i < 4; ++i) {
        block += static_cast<char>((count >> (8 * i)) & 0xFF);
    }
    for (const std::u16string& name : names) {
        std::string descriptor(kFileDescriptorWSize, '\x7F');
        descriptor.replace(kFileDescriptorNameOffset, kFileDescriptorWNameSize,
                           std::string(kFileDescriptorWNameSize, '\0'));
        for (std::size_t i = 0; i < name.size(); ++i) {
            descriptor[kFileDescriptorNameOffset + 2 * i] = static_cast<char>(name[i] & 0xFF);
            descriptor[kFileDescriptorNameOffset + 2 * i + 1] = static_cast<char>(name[i] >> 8);
        }
        block += descriptor;
    }
    return block;
}

class FakeDroppedData : public IDroppedData {
public:
    std::vector<std::string> GetFormatNames() override { return m_arrFormatNames; }
    bool OffersPrivateFormat() override { return m_bPrivateFormat; }
    bool FetchPrivateFormat() override { return m_bPrivateData; }
    std::optional<std::string_view> GetFileGroupDescriptor() override {
        if (!m_descriptor) {
            return std::nullopt;
        }
        return std::string_view(*m_descriptor);
    }
    std::optional<std::string_view> GetFileGroupDescriptorW() override {
        if (!m_descriptorW) {
            return std::nullopt;
        }
        return std::string_view(*m_descriptorW);
    }
    std::unique_ptr<IByteSource> OpenFileContents(std::size_t index) override {
        m_arrOpened.push_back(index);
        if (index >= m_arrContents.size() || !m_arrContents[index]) {
            return nullptr;
        }
        return std::make_unique<MemoryByteSource>(*m_arrContents[index], m_arrReadRequests);
    }
    std::optional<std::vector<std::string>> GetFileList() override { return m_fileList; }
    // The listed file: m_arrListed's entry when there is one (nothing: it cannot be
    // opened), otherwise the file read by its path.
    std::unique_ptr<IByteSource> OpenListedFile(std::size_t index) override {
        std::string contents;
        if (index < m_arrListed.size()) {
            if (!m_arrListed[index]) {
                return nullptr;
            }
            contents = *m_arrListed[index];
        } else if (!m_fileList || index >= m_fileList->size() ||
                   !platform::ReadWholeFile((*m_fileList)[index], contents)) {
            return nullptr;
        }
        return std::make_unique<MemoryByteSource>(ItemContents{std::move(contents)},
                                                  m_arrReadRequests);
    }

    // A mail-client drag of messages named names with the given contents.
    static FakeDroppedData MailClient(const std::vector<std::string>& names,
                                      const std::vector<std::optional<ItemContents>>& contents) {
        FakeDroppedData data;
        data.m_arrFormatNames = {"FileGroupDescriptor", "FileContents", "Outlook Express Messages"};
        data.m_descriptor = DescriptorBlock(names);
        data.m_arrContents = contents;
        return data;
    }

    // A shell drag of paths.
    static FakeDroppedData Shell(const std::vector<std::string>& paths) {
        FakeDroppedData data;
        data.m_fileList = paths;
        return data;
    }

    std::vector<std::string> m_arrFormatNames;
    bool m_bPrivateFormat = false;
    bool m_bPrivateData = true;
    std::optional<std::string> m_descriptor;
    std::optional<std::string> m_descriptorW;
    std::vector<std::optional<ItemContents>> m_arrContents;
    std::optional<std::vector<std::string>> m_fileList;
    std::vector<std::optional<std::string>> m_arrListed;
    std::vector<std::size_t> m_arrOpened;
    std::vector<std::size_t> m_arrReadRequests;
};

}  // namespace test
