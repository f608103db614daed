#include "app/ExtensionListLines.h"

#include "policy/ExtensionPolicy.h"

#include <algorithm>

std::string FormatExtensionLine(std::string_view extension, std::string_view description) {
    std::string line(extension);
    line += '\t';
    line += description;
    return line;
}

std::optional<ExtensionLine> SplitExtensionLine(std::string_view line) {
    // A tab is a single byte that no trail byte can equal, so a plain search is exact here.
    const std::size_t tab = line.find('\t');
    if (tab == std::string_view::npos || tab == 0) {
        return std::nullopt;
    }
    return ExtensionLine{std::string(line.substr(0, tab)), std::string(line.substr(tab + 1))};
}

bool IsExtensionListed(const std::vector<std::string>& lines, std::string_view extension) {
    const std::string prefix = FormatExtensionLine(extension, {});
    return std::any_of(lines.begin(), lines.end(), [&prefix](const std::string& line) {
        return line.compare(0, prefix.size(), prefix) == 0;
    });
}

std::optional<std::string> MakeNewExtensionLine(const std::vector<std::string>& lines,
                                                std::string_view extension,
                                                std::string_view description) {
    const std::string trimmed = TrimSpace(extension);
    if (trimmed.empty() || IsExtensionListed(lines, trimmed)) {
        return std::nullopt;
    }
    return FormatExtensionLine(trimmed, description);
}

std::vector<std::string> ExtensionListToLines(const CExtensionList& list) {
    std::vector<std::string> lines;
    lines.reserve(list.GetCount());
    for (std::size_t i = 0; i < list.GetCount(); ++i) {
        lines.push_back(FormatExtensionLine(list.GetExtensions()[i], list.GetDescriptions()[i]));
    }
    return lines;
}

CExtensionList LinesToExtensionList(const std::vector<std::string>& lines) {
    CExtensionList list;
    for (const std::string& line : lines) {
        if (std::optional<ExtensionLine> entry = SplitExtensionLine(line)) {
            list.Add(std::move(entry->strExtension), std::move(entry->strDescription));
        }
    }
    return list;
}
