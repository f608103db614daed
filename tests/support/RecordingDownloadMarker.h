#pragma once

// A download marker for tests: put in place of the backend's for its lifetime, it records
// what it is asked to mark (and whether the file was complete and closed at that moment) and
// can be told to fail. It writes nothing.

#include "platform/DownloadMark.h"
#include "platform/File.h"

#include <string>
#include <utility>
#include <vector>

namespace test {

class RecordingDownloadMarker final : public platform::DownloadMarker {
public:
    explicit RecordingDownloadMarker(bool fail = false)
        : m_bFail(fail), m_pPrevious(platform::ReplaceDownloadMarker(this)) {}
    ~RecordingDownloadMarker() override { platform::ReplaceDownloadMarker(m_pPrevious); }
    RecordingDownloadMarker(const RecordingDownloadMarker&) = delete;
    RecordingDownloadMarker& operator=(const RecordingDownloadMarker&) = delete;

    bool Mark(const std::string& path) override {
        m_arrMarked.push_back(path);
        // The file is to be closed and whole when it is marked: reading it must work.
        std::string contents;
        m_arrContents.push_back(platform::ReadWholeFile(path, contents) ? contents
                                                                        : "<unreadable>");
        return !m_bFail;
    }

    bool CopyMark(const std::string& from, const std::string& to) override {
        m_arrCopied.emplace_back(from, to);
        return !m_bFail;
    }

    std::vector<std::string> m_arrMarked;
    std::vector<std::string> m_arrContents;  // of each marked file when it was marked
    std::vector<std::pair<std::string, std::string>> m_arrCopied;

private:
    bool m_bFail;
    platform::DownloadMarker* m_pPrevious;
};

}  // namespace test
