#pragma once

// Names of message copies in the data folder. A dropped message named B.eml is saved as
// B.eml, or as B(1).eml ... B(256).eml when B is taken; an Outlook item B.msg likewise keeps
// its ".msg". A name is taken when the record file (B.att), the record folder (B) or a
// message copy (B.eml, B.msg) of that name exists, so that the extraction of the copy never
// meets the files of an earlier message.

#include <optional>
#include <string>

inline constexpr char kMessageExtension[] = "eml";
inline constexpr char kOutlookItemExtension[] = "msg";
inline constexpr int kMaxCopyNumber = 256;

// The base name for the copy of a dropped message, from its file name or full path; nothing
// when its extension (after the last ".", if that follows the last "\") is neither "eml"
// nor "msg", ASCII case ignored. The base is the file name without its extension and without leading and
// trailing single-byte white space and trailing dots (which the file system would drop). Whatever the name came with, the base names a plain
// file in the data folder: path parts before the last "\", "/" or ":" are dropped, the
// characters Windows refuses become "_", and a device name (CON, NUL, COM1...) gets a "_"
// in front. The base may be empty (a file named ".eml").
std::optional<std::string> MessageCopyBaseName(const std::string& droppedName);

// Whether a dropped name is an Outlook item's (extension "msg", ASCII case ignored).
bool IsOutlookItemName(const std::string& droppedName);

// The extension of the copy of a dropped message: "msg" for an Outlook item, else "eml".
inline std::string MessageCopyExtension(const std::string& droppedName) {
    return IsOutlookItemName(droppedName) ? kOutlookItemExtension : kMessageExtension;
}

// The first free candidate dataFolder + base, base(1), ... base(256), as a path without
// extension; nothing when all 257 are taken. dataFolder ends with a backslash.
std::optional<std::string> FindFreeCopyName(const std::string& dataFolder, const std::string& base);
