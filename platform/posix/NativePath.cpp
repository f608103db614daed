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
std::string_view StripTrailingDotsAndSpaces(std::string_view name) {
    while (!name.empty() && (name.back() == '.' || name.back() == ' ')) {
        // A trailing space or dot byte is never the trail byte of a double-byte character
        // (trail bytes start at 0x40).
        name.remove_suffix(1);
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

    // The names are converted straight into the result; each one's start is kept so that
    // ".." can take back the name before it.
    std::string native = absolute ? "/" : "";
    native.reserve(path.size() + path.size() / 2 + 2);
    struct Name {
        std::size_t start;  // where the name (with the "/" before it) begins in native
        bool dotDot;
    };
    std::vector<Name> names;
    const std::string_view text(path);
    while (pos < text.size()) {
        std::size_t end = sjis::FindFirstOf(text, "\\/", pos);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string_view name = text.substr(pos, end - pos);
        pos = end + 1;
        if (name.empty() || name == ".") {
            continue;
        }
        if (name == "..") {
            if (!names.empty() && !names.back().dotDot) {
                native.resize(names.back().start);
                names.pop_back();
                continue;
            }
            if (absolute) {
                continue;
            }
        } else {
            name = StripTrailingDotsAndSpaces(name);
            if (name.empty()) {
                return std::nullopt;
            }
        }
        names.push_back({native.size(), name == ".."});
        if (names.size() > 1) {
            native += '/';
        }
        posix::AppendSjisAsUtf8(native, name);
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
