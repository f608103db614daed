#pragma once

// Windows paths in Shift_JIS onto native UTF-8 paths and back.
//
// Drive Z: is the native root, as in Wine ("Z:\\home\\a\\表" is "/home/a/表"); a path rooted
// without a drive ("\\tmp") is on Z: too, and a relative path stays relative. Other drives
// and network paths have no native place and do not map. As on Windows, "\\" and "/" both
// separate names, "." and ".." are resolved by the path's text (never above the root), and
// trailing dots and spaces are stripped from every name. Each name is converted on its own,
// so no byte of a name can become a separator: a file always lands in the folder the path
// names.

#include <optional>
#include <string>

namespace platform::posix {

std::optional<std::string> ToNativePath(const std::string& path);

std::string ToCorePath(const std::string& nativePath);

// The core form of a native name without folder.
std::string ToCoreName(const std::string& nativeName);

}  // namespace platform::posix
