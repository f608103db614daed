#pragma once

// The open-file dialog for picking the antivirus program.

#include <windows.h>

#include <optional>
#include <string>

// Shows the dialog owned by owner, in the Program Files folder, proposing initialName (cut
// to what the name buffer holds). The chosen program and its folder must exist. Returns
// its full path, or nothing when the user cancels.
std::optional<std::string> BrowseScannerProgram(HWND owner, const std::string& initialName);
