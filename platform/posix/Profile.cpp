#include "platform/Profile.h"

#include "platform/File.h"
#include "platform/FileSystem.h"
#include "platform/ShiftJis.h"
#include "platform/detail/SandboxState.h"
#include "platform/posix/Cp932.h"
#include "platform/posix/NativePath.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

// The profile is a text file in UTF-8, one per application:
//
//   [Settings]
//   SCAN_VIRUS=dword:00000001
//   VIRUS_SCAN_EXE_NAME=sz:C:\Program Files\x.exe
//
// Typed values as in a registry export, so that a value of the wrong type reads as the
// default; backslashes, CR and LF in strings are escaped ("\\", "\r", "\n").

namespace platform {

namespace {

struct Entry {
    std::string section;
    std::string key;
    std::string value;  // with its type prefix, as stored
};

std::string ProfileFolder(const std::string& company) {
    if (!detail::SandboxFolder().empty()) {
        return detail::SandboxFolder() + "\\Profile\\" + company;
    }
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string native;
    if (config != nullptr && config[0] == '/') {
        native = config;
    } else if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') {
        native = std::string(home) + "/.config";
    } else {
        return {};
    }
    return posix::ToCorePath(native) + "\\" + company;
}

std::string ProfilePath(const Profile& profile) {
    const std::string folder = ProfileFolder(profile.Company());
    return folder.empty() ? std::string() : folder + "\\" + profile.Application() + ".ini";
}

std::string Escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else {
            out += c;
        }
    }
    return out;
}

std::string Unescape(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            const char next = text[++i];
            out += next == 'r' ? '\r' : next == 'n' ? '\n' : next;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::vector<Entry> Load(const std::string& path) {
    std::vector<Entry> entries;
    std::string data;
    if (path.empty() || !ReadWholeFile(path, data)) {
        return entries;
    }
    data = posix::Utf8ToSjis(data);
    std::string section;
    std::size_t pos = 0;
    while (pos < data.size()) {
        std::size_t end = data.find('\n', pos);
        if (end == std::string::npos) {
            end = data.size();
        }
        const std::string line = data.substr(pos, end - pos);
        pos = end + 1;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            section = line.substr(1, line.size() - 2);
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos && !section.empty()) {
            entries.push_back({section, line.substr(0, equals), line.substr(equals + 1)});
        }
    }
    return entries;
}

bool Save(const std::string& path, const std::vector<Entry>& entries) {
    std::string data;
    std::vector<std::string> sections;
    for (const Entry& entry : entries) {
        bool known = false;
        for (const std::string& section : sections) {
            known = known || sjis::EqualsNoCase(section, entry.section);
        }
        if (!known) {
            sections.push_back(entry.section);
        }
    }
    for (const std::string& section : sections) {
        data += "[" + section + "]\n";
        for (const Entry& entry : entries) {
            if (sjis::EqualsNoCase(entry.section, section)) {
                data += entry.key + "=" + entry.value + "\n";
            }
        }
    }
    // Written beside the profile and renamed over it, so that a failed write never leaves
    // half a profile.
    const std::string temporary = path + ".new";
    if (!WriteWholeFile(temporary, posix::SjisToUtf8(data))) {
        return false;
    }
    const auto nativeTemporary = posix::ToNativePath(temporary);
    const auto nativePath = posix::ToNativePath(path);
    return nativeTemporary && nativePath &&
           std::rename(nativeTemporary->c_str(), nativePath->c_str()) == 0;
}

std::optional<std::string> Find(const Profile& profile, const std::string& section,
                                const std::string& key) {
    for (const Entry& entry : Load(ProfilePath(profile))) {
        if (sjis::EqualsNoCase(entry.section, section) && sjis::EqualsNoCase(entry.key, key)) {
            return entry.value;
        }
    }
    return std::nullopt;
}

bool Store(const Profile& profile, const std::string& section, const std::string& key,
           const std::string& value) {
    const std::string path = ProfilePath(profile);
    if (path.empty() || section.empty() || key.find_first_of("=\r\n") != std::string::npos ||
        section.find_first_of("]\r\n") != std::string::npos) {
        return false;
    }
    // Both folder levels, as the registry creates missing keys.
    const std::string folder = ProfileFolder(profile.Company());
    MakeFolder(folder.substr(0, folder.rfind('\\')));
    MakeFolder(folder);
    std::vector<Entry> entries = Load(path);
    bool replaced = false;
    for (Entry& entry : entries) {
        if (sjis::EqualsNoCase(entry.section, section) && sjis::EqualsNoCase(entry.key, key)) {
            entry.value = value;
            replaced = true;
        }
    }
    if (!replaced) {
        entries.push_back({section, key, value});
    }
    return Save(path, entries);
}

}  // namespace

Profile::Profile(std::string company, std::string application)
    : m_strCompany(std::move(company)), m_strApplication(std::move(application)) {}

int Profile::ReadInt(const std::string& section, const std::string& key, int defaultValue) const {
    const auto value = Find(*this, section, key);
    const std::string prefix = "dword:";
    if (!value || value->compare(0, prefix.size(), prefix) != 0 ||
        value->size() != prefix.size() + 8) {
        return defaultValue;
    }
    std::uint32_t number = 0;
    for (std::size_t i = prefix.size(); i < value->size(); ++i) {
        const char c = (*value)[i];
        const int digit = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : -1;
        if (digit < 0) {
            return defaultValue;
        }
        number = number << 4 | static_cast<std::uint32_t>(digit);
    }
    return static_cast<int>(number);
}

std::string Profile::ReadString(const std::string& section, const std::string& key,
                                const std::string& defaultValue) const {
    const auto value = Find(*this, section, key);
    const std::string prefix = "sz:";
    if (!value || value->compare(0, prefix.size(), prefix) != 0) {
        return defaultValue;
    }
    return Unescape(value->substr(prefix.size()));
}

bool Profile::WriteInt(const std::string& section, const std::string& key, int value) {
    char text[16];
    std::snprintf(text, sizeof text, "dword:%08x", static_cast<std::uint32_t>(value));
    return Store(*this, section, key, text);
}

bool Profile::WriteString(const std::string& section, const std::string& key,
                          const std::string& value) {
    if (value.find('\0') != std::string::npos) {
        return false;
    }
    return Store(*this, section, key, "sz:" + Escape(value));
}

namespace detail {

// The sandbox's profile lives in its scratch folder, which the test removes.
void DeleteSandboxProfileStore() {}

}  // namespace detail

}  // namespace platform
