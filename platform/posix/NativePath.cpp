#include "platform/posix/NativePath.h"

#include "platform/ShiftJis.h"
#include "platform/posix/Cp932.h"

#include <vector>

namespace platform::posix {

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// Windows drops trailing dots and spaces from a name when it creates or opens a file.
std::string StripTrailingDotsAndSpaces(std::string name) {
    while (!name.empty() && (name.back() == '.' || name.back() == ' ')) {
        // A trailing space or dot byte is never the trail byte of a double-byte character
        // (trail bytes start at 0x40).
        name.pop_back();
    }
    return name;
}

}  // namespace

std::optional<std::string> ToNativePath(const std::string& path) {
    if (path.empty() || path.find('\0') != std::string::npos) {
        return std::nullopt;
    }
    std::size_t pos = 0;
    bool absolute = false;
    if (path.size() >= 2 && path[1] == ':') {
        if (path[0] != 'Z' && path[0] != 'z') {
            return std::nullopt;
        }
        absolute = true;
        pos = 2;
    } else if (IsSeparator(path[0])) {
        if (path.size() >= 2 && IsSeparator(path[1])) {
            return std::nullopt;  // a network path
        }
        absolute = true;
    }

    std::vector<std::string> names;
    while (pos < path.size()) {
        std::size_t end = sjis::FindFirstOf(path, "\\/", pos);
        if (end == std::string::npos) {
            end = path.size();
        }
        std::string name = path.substr(pos, end - pos);
        pos = end + 1;
        if (name.empty() || name == ".") {
            continue;
        }
        if (name == "..") {
            if (!names.empty() && names.back() != "..") {
                names.pop_back();
            } else if (!absolute) {
                names.push_back(name);
            }
            continue;
        }
        name = StripTrailingDotsAndSpaces(std::move(name));
        if (name.empty()) {
            return std::nullopt;
        }
        names.push_back(SjisToUtf8(name));
    }

    std::string native = absolute ? "/" : "";
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) {
            native += '/';
        }
        native += names[i];
    }
    if (native.empty()) {
        native = ".";
    }
    return native;
}

std::string ToCoreName(const std::string& nativeName) {
    return Utf8ToSjis(nativeName);
}

std::string ToCorePath(const std::string& nativePath) {
    std::string core;
    std::size_t pos = 0;
    if (!nativePath.empty() && nativePath[0] == '/') {
        core = "Z:\\";
        pos = 1;
    }
    bool first = true;
    while (pos <= nativePath.size()) {
        std::size_t end = nativePath.find('/', pos);
        if (end == std::string::npos) {
            end = nativePath.size();
        }
        if (end > pos) {
            if (!first) {
                core += '\\';
            }
            core += ToCoreName(nativePath.substr(pos, end - pos));
            first = false;
        }
        pos = end + 1;
    }
    return core;
}

}  // namespace platform::posix
