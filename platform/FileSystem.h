#pragma once

// Files and folders, named by Windows paths in Shift_JIS ("C:\\data\\表.txt").
//
// The Win32 backend hands the paths to the wide-character API after converting them with
// code page 932. The POSIX backend maps drive Z: onto the native root, as Wine does, and
// every name onto UTF-8. Both strip trailing dots and spaces from a name, as Windows does.
// Every call reports failure through its result and shows nothing.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

struct FileAttributes {
    bool isFolder = false;
    // A symbolic link, junction or other reparse point: isFolder tells whether it stands
    // for a folder. What it points to is never the program's to walk or delete.
    bool isLink = false;
    // A file's length in bytes (0 for a folder or a link), as the file system records it.
    std::uint64_t size = 0;
};

// The attributes of a file or folder, or nothing when the path names neither. A link is
// looked at itself, not followed (a link whose target is gone still exists).
std::optional<FileAttributes> QueryAttributes(const std::string& path);

enum class MakeFolderResult {
    Created,
    AlreadyExists,  // a file or folder of that name exists
    Failed,
};

// Creates one folder; its parent must exist.
MakeFolderResult MakeFolder(const std::string& path);

// The absolute form of a path as the system resolves it: against the current folder, with
// "." and ".." resolved by its text. The path as given when it cannot be resolved.
std::string FullPath(const std::string& path);

// Removes a folder that holds nothing.
bool RemoveEmptyFolder(const std::string& path);

// Deletes a file (never a folder).
bool RemoveFile(const std::string& path);

// Removes a link (see FileAttributes) itself, whether it stands for a file or a folder;
// what it points to is left as it is. Fails on anything that is not a link.
bool RemoveLink(const std::string& path);

// Makes link a symbolic link to target (a folder when isFolder). The program makes no
// links; tests use it to put links where the program walks.
bool MakeSymbolicLink(const std::string& link, const std::string& target, bool isFolder);

// Moves or renames a file or a folder. Fails when the target exists.
bool MovePath(const std::string& from, const std::string& to);

// Copies a file; with failIfExists an existing target makes the copy fail, otherwise the
// target is replaced. The copy can be written and deleted even when the original is
// read-only.
bool CopyFileTo(const std::string& from, const std::string& to, bool failIfExists);

struct FoundEntry {
    std::string name;  // the name alone, without its folder
    bool isFolder = false;
    bool isLink = false;  // as FileAttributes::isLink: a walk never descends into it
};

// Lists the entries of a folder that match the wildcard pattern in the last part of
// pattern ("C:\\data\\*.att", "C:\\data\\*.*"), in the order the file system keeps them,
// without "." and "..". Fails when the folder cannot be read. As on Windows, "*" and "?"
// match without regard to the case of ASCII letters and "*.*" matches every name.
bool FindEntries(const std::string& pattern, std::vector<FoundEntry>& entries);

}  // namespace platform
