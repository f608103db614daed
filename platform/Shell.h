#pragma once

#include <string>

namespace platform {

// Asks the shell to open a file with the program associated with it ("open" verb). Returns
// false when the shell reports that it could not.
bool ShellOpen(const std::string& path);

}  // namespace platform
