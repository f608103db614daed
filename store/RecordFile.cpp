#include "store/RecordFile.h"

#include "platform/File.h"

#include <array>

namespace {

constexpr int kLineCount = 3;

// Reads from the start of the file up to and including its third LF, or to its end.
bool ReadFirstLines(const std::string& path, std::string& raw) {
    platform::File file;
    if (!file.Open(path, platform::File::Mode::Read)) {
        return false;
    }
    std::array<char, 4096> buffer;
    int lineEnds = 0;
    while (lineEnds < kLineCount) {
        const auto count = file.Read(buffer.data(), buffer.size());
        if (!count || *count == 0) {
            break;
        }
        for (std::size_t i = 0; i < *count; ++i) {
            raw += buffer[i];
            if (buffer[i] == '\n' && ++lineEnds == kLineCount) {
                break;
            }
        }
    }
    return true;
}

void TrimLineEnds(std::string& text) {
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) {
        text.pop_back();
    }
}

}  // namespace

bool ReadRecordFile(const std::string& path, RecordFileText& text) {
    text = {};
    std::string raw;
    if (!ReadFirstLines(path, raw)) {
        return false;
    }
    std::array<std::string*, kLineCount> lines = {&text.dateText, &text.fromText,
                                                  &text.subjectText};
    std::size_t line = 0;
    for (std::size_t i = 0; i < raw.size() && line < lines.size(); ++i) {
        if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') {
            continue;  // text mode: CR LF is one line end
        }
        if (raw[i] == '\n') {
            ++line;
            continue;
        }
        *lines[line] += raw[i];
    }
    TrimLineEnds(text.dateText);
    TrimLineEnds(text.fromText);
    return true;
}
