#pragma once

// One path and what can be asked about it: existence, folder, extension, file name,
// folder part, size and size as display text. Every search for the last dot, backslash or
// colon steps over double-byte characters.

#include <cstdint>
#include <string>

class CFilePath {
public:
    static constexpr std::uint64_t kSizeUnavailable = UINT64_MAX;

    // Keeps path without its last character when that is a backslash (one only).
    explicit CFilePath(std::string path);
    virtual ~CFilePath() = default;

    const std::string& GetPath() const { return m_strPath; }

    bool Exists() const;
    bool IsFolder() const;

    // No dot: out empty, false. The last dot in a folder name: out empty, true. Otherwise
    // out is the text after the last dot, true.
    bool GetExtension(std::string& out) const;

    // The text after the last backslash, or after the last colon when that comes later.
    bool GetFileName(std::string& out) const;

    // The text up to and including the last backslash; false when there is none.
    bool GetFolder(std::string& out) const;

    // The size in bytes, or kSizeUnavailable when the file is missing or cannot be opened
    // (a folder, or a file another program holds open).
    std::uint64_t GetSize() const;

    // The size as the list shows it ("1023 bytes", "1.5 KB", "5.0 GB"); empty when
    // unavailable.
    std::string GetSizeText() const;
    static std::string FormatSize(std::uint64_t size);

private:
    std::string m_strPath;
};
