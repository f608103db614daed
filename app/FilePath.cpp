#include "app/FilePath.h"

#include "platform/File.h"
#include "platform/FileSystem.h"
#include "platform/ShiftJis.h"

#include <cstdio>

CFilePath::CFilePath(std::string path) : m_strPath(std::move(path)) {
    // The last character, not the last byte: "C:\表" ends in the trail byte 0x5C.
    const std::size_t last = sjis::FindLastOf(m_strPath, "\\");
    if (last != std::string::npos && last + 1 == m_strPath.size()) {
        m_strPath.pop_back();
    }
}

bool CFilePath::Exists() const {
    return platform::QueryAttributes(m_strPath).has_value();
}

bool CFilePath::IsFolder() const {
    const auto attributes = platform::QueryAttributes(m_strPath);
    return attributes && attributes->isFolder;
}

bool CFilePath::GetExtension(std::string& out) const {
    out.clear();
    const std::size_t dot = sjis::FindLastOf(m_strPath, ".");
    if (dot == std::string::npos) {
        return false;
    }
    const std::size_t backslash = sjis::FindLastOf(m_strPath, "\\");
    if (backslash == std::string::npos || dot > backslash) {
        out = m_strPath.substr(dot + 1);
    }
    return true;
}

bool CFilePath::GetFileName(std::string& out) const {
    const std::size_t colon = sjis::FindLastOf(m_strPath, ":");
    const std::size_t backslash = sjis::FindLastOf(m_strPath, "\\");
    if (colon != std::string::npos && (backslash == std::string::npos || colon > backslash)) {
        out = m_strPath.substr(colon + 1);
    } else {
        out = backslash == std::string::npos ? m_strPath : m_strPath.substr(backslash + 1);
    }
    return true;
}

bool CFilePath::GetFolder(std::string& out) const {
    const std::size_t backslash = sjis::FindLastOf(m_strPath, "\\");
    if (backslash == std::string::npos) {
        out.clear();
        return false;
    }
    out = m_strPath.substr(0, backslash + 1);
    return true;
}

std::uint64_t CFilePath::GetSize() const {
    if (!Exists()) {
        return kSizeUnavailable;
    }
    platform::File file;
    if (!file.Open(m_strPath, platform::File::Mode::Read)) {
        return kSizeUnavailable;
    }
    const auto size = file.Size();
    return size.value_or(kSizeUnavailable);
}

std::string CFilePath::GetSizeText() const {
    return FormatSize(GetSize());
}

std::string CFilePath::FormatSize(std::uint64_t size) {
    if (size == kSizeUnavailable) {
        return {};
    }
    char text[32];
    if (size < 1024u) {
        std::snprintf(text, sizeof text, "%d bytes", static_cast<int>(size));
    } else if (size < 1048576u) {
        std::snprintf(text, sizeof text, "%.1f KB", static_cast<double>(size) * (1.0 / 1024));
    } else if (size < 1073741824u) {
        std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(size) * (1.0 / 1048576));
    } else {
        std::snprintf(text, sizeof text, "%.1f GB", static_cast<double>(size) * (1.0 / 1073741824));
    }
    return text;
}
