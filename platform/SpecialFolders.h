#pragma once

// The per-user and system places the program keeps its files in.

#include <string>

namespace platform {

// The user's roaming application-data folder, without trailing backslash; empty when it
// cannot be found.
std::string AppDataFolder();

// The folder programs are installed in ("C:\\Program Files"), without trailing backslash;
// empty when it cannot be found.
std::string ProgramFilesFolder();

// The folder 32-bit programs are installed in on 64-bit Windows ("C:\\Program Files (x86)"),
// without trailing backslash; empty when the system has none.
std::string ProgramFilesX86Folder();

// The application data shared by all users ("C:\\ProgramData"), without trailing
// backslash; empty when it cannot be found.
std::string CommonAppDataFolder();

// The system temporary path, ending with a backslash; empty when it cannot be found.
std::string TempPath();

// Creates an empty file with a unique name in folder, named after up to three bytes of
// prefix, and returns its path; empty on failure.
std::string MakeUniqueTempFile(const std::string& folder, const std::string& prefix);

}  // namespace platform
