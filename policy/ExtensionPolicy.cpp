#include "policy/ExtensionPolicy.h"

#include "platform/ShiftJis.h"

#include <algorithm>

namespace {

bool IsTokenOf(std::string_view set, std::string_view ext) {
    const std::string key = "," + sjis::ToLowerAscii(ext) + ",";
    return set.find(key) != std::string_view::npos;
}

}  // namespace

bool IsDangerousExtension(std::string_view ext) {
    return IsTokenOf(DangerousExtensions, ext);
}

bool IsNeverProhibitedExtension(std::string_view ext) {
    return IsTokenOf(NeverProhibitedExtensions, ext);
}

bool IsProhibitedName(std::string_view outputPath, const CExtensionList& prohibitedList) {
    const std::size_t dot = sjis::FindLastOf(outputPath, ".");
    if (dot == std::string_view::npos) {
        return false;
    }
    const std::string_view candidate = outputPath.substr(dot + 1);
    const std::vector<std::string>& entries = prohibitedList.GetExtensions();
    return std::any_of(entries.begin(), entries.end(), [&](const std::string& entry) {
        return sjis::EqualsNoCase(candidate, entry);
    });
}

OpenVerdict CheckOpen(std::string_view ext, const CExtensionList& allowedList) {
    const std::string key = TrimSpace(sjis::ToLowerAscii(ext));
    if (IsDangerousExtension(key)) {
        return OpenVerdict::Dangerous;
    }
    const std::vector<std::string>& entries = allowedList.GetExtensions();
    if (std::find(entries.begin(), entries.end(), key) != entries.end()) {
        return OpenVerdict::Openable;
    }
    return OpenVerdict::NotAllowed;
}

std::string TrimSpace(std::string_view text) {
    // Trail bytes are 0x40 or above, so no byte of a double-byte character is white space.
    constexpr std::string_view kSpace = " \t\r\n\v\f";
    const std::size_t first = text.find_first_not_of(kSpace);
    if (first == std::string_view::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(kSpace);
    return std::string(text.substr(first, last - first + 1));
}
