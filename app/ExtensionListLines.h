#pragma once

// The settings dialog shows each extension list as list-box lines "extension<TAB>description"
// (the description may be empty). These are the rules for those lines, kept apart from the
// list box so that they can be checked without one.

#include "policy/ExtensionList.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One line of an extension list box.
std::string FormatExtensionLine(std::string_view extension, std::string_view description);

struct ExtensionLine {
    std::string strExtension;
    std::string strDescription;
};

// Splits a line at its first tab; nothing for a line without a tab or with the tab first
// (such a line is not written to the list file).
std::optional<ExtensionLine> SplitExtensionLine(std::string_view line);

// Whether some line begins with extension followed by a tab, byte for byte.
bool IsExtensionListed(const std::vector<std::string>& lines, std::string_view extension);

// The line to add for what an entry dialog returned: the extension trimmed of single-byte
// white space, then the tab and the description. Nothing when the extension is empty or is
// listed already (the dialog then adds nothing and says nothing).
std::optional<std::string> MakeNewExtensionLine(const std::vector<std::string>& lines,
                                                std::string_view extension,
                                                std::string_view description);

// The lines of a list, one per entry, in stored order.
std::vector<std::string> ExtensionListToLines(const CExtensionList& list);

// The list the lines stand for, in line order; lines SplitExtensionLine refuses are skipped.
CExtensionList LinesToExtensionList(const std::vector<std::string>& lines);
