#pragma once

// The file-type descriptions that the extension entry dialogs fill in for a known
// extension, and that the default list files carry beside their extensions. The
// description of an extension is the same text wherever it appears.

#include <span>
#include <string>
#include <string_view>

struct FileTypeDescription {
    const char* extension;    // lower-case ASCII, unique within a table
    const char* description;  // Shift_JIS
};

// The table of the allowed-extension dialog: the 22 entries of the default allowed list in
// their order, with eml after doc.
std::span<const FileTypeDescription> AllowedDescriptionTable();

// The table of the prohibited-extension dialog: the allowed table, then the 89 entries of
// the default prohibited list in their order.
std::span<const FileTypeDescription> ProhibitedDescriptionTable();

// The description of ext in table (ext is lower-cased, nothing else), or an empty text when
// the table has no row for it.
std::string LookupFileTypeDescription(std::span<const FileTypeDescription> table,
                                      std::string_view ext);
