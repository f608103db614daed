#pragma once

// The list files "allowedext.dat" and "prohibitedext.dat": the extension array, then the
// description array, each an archived string array, with no header and no trailer. The
// program always writes as many descriptions as extensions.

#include "policy/ExtensionList.h"
#include "policy/StringArchive.h"

#include <optional>
#include <string>
#include <string_view>

inline constexpr char kAllowedListFileName[] = "allowedext.dat";
inline constexpr char kProhibitedListFileName[] = "prohibitedext.dat";

// The entry added to the prohibited list after every load, so that an attachment whose name
// already ends in ".alert" is treated as prohibited too. It is never written to the file.
inline constexpr char kAlertExtension[] = "alert";

// The bytes of a list file holding list; nothing when a text is too long to be archived.
std::optional<std::string> EncodeExtensionList(const CExtensionList& list);

// Reads the bytes of a list file into list, replacing it; with keepDescriptions false every
// description is left empty. A description array shorter than the extension array leaves
// the missing descriptions empty; extra descriptions are dropped; bytes after the two arrays
// are ignored. Damaged leaves list as it was.
ListLoadResult DecodeExtensionList(std::string_view data, CExtensionList& list,
                                   bool keepDescriptions);

// Opens path with exclusive access and reads it into list as DecodeExtensionList does. A
// file that cannot be read, or is damaged, leaves list as it was; the caller decides whether
// to tell the user.
ListLoadResult LoadExtensionList(const std::string& path, CExtensionList& list,
                                 bool keepDescriptions);

// Loads the prohibited list in force during an extraction: the extensions of the file, then
// "alert". A file that cannot be loaded leaves list as it was, "alert" included.
ListLoadResult LoadProhibitedList(const std::string& path, CExtensionList& list);

// Creates or truncates path with exclusive access and writes list into it. False when the
// file cannot be created (nothing is written then) or not all of it could be written.
bool SaveExtensionList(const std::string& path, const CExtensionList& list);
