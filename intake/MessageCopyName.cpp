#include "intake/MessageCopyName.h"

#include "app/FilePath.h"
#include "engine/extract/AttachmentNamer.h"
#include "platform/ShiftJis.h"

#include <string_view>

namespace {

constexpr std::string_view kSingleByteWhiteSpace = " \t\r\n\v\f";

// No white-space byte is a trail byte, so trimming bytes never splits a character.
std::string TrimWhiteSpace(const std::string& text) {
    const std::size_t first = text.find_first_not_of(kSingleByteWhiteSpace);
    if (first == std::string::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(kSingleByteWhiteSpace);
    return text.substr(first, last - first + 1);
}

bool Exists(const std::string& path) {
    return CFilePath(path).Exists();
}

}  // namespace

bool IsOutlookItemName(const std::string& droppedName) {
    std::string extension;
    return CFilePath(droppedName).GetExtension(extension) &&
           sjis::EqualsNoCase(extension, kOutlookItemExtension);
}

std::optional<std::string> MessageCopyBaseName(const std::string& droppedName) {
    const CFilePath path(droppedName);
    std::string extension;
    if (!path.GetExtension(extension) || (!sjis::EqualsNoCase(extension, kMessageExtension) &&
                                          !sjis::EqualsNoCase(extension, kOutlookItemExtension))) {
        return std::nullopt;
    }
    // The path ends in ".eml" or ".msg", and no separator follows its last dot.
    const std::string& text = path.GetPath();
    const std::size_t separator = sjis::FindLastOf(text, "\\/:");
    const std::string fileName = separator == std::string::npos ? text : text.substr(separator + 1);
    const std::string base = TrimWhiteSpace(fileName.substr(0, fileName.size() - 4));
    // The copy's own name passes the rules for names written into the store; what they
    // change lies before the extension, which they keep (both are three letters).
    const std::string safe = CAttachmentNamer::MakeSafe(base + "." + kMessageExtension);
    return safe.substr(0, safe.size() - 4);
}

std::optional<std::string> FindFreeCopyName(const std::string& dataFolder,
                                            const std::string& base) {
    for (int number = 0; number <= kMaxCopyNumber; ++number) {
        const std::string candidate =
            dataFolder + base + (number == 0 ? std::string() : "(" + std::to_string(number) + ")");
        if (!Exists(candidate + ".att") && !Exists(candidate) &&
            !Exists(candidate + "." + kMessageExtension) &&
            !Exists(candidate + "." + kOutlookItemExtension)) {
            return candidate;
        }
    }
    return std::nullopt;
}
