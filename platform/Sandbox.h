#pragma once

// Redirects the per-user places (application data, program files, temporary path and the
// profile) under one scratch folder, so that tests never touch the user's own folders or
// settings. The program itself never calls these.

#include <string>

namespace platform {

// folder must exist. Afterwards AppDataFolder() is folder + "\\AppData",
// ProgramFilesFolder() is folder + "\\Program Files", ProgramFilesX86Folder() is
// folder + "\\Program Files (x86)", CommonAppDataFolder() is folder + "\\ProgramData" and
// TempPath() is folder + "\\Temp\\" (all five are created), every Profile lives in a
// scratch store of its own, and every NamedMutex has a name of the sandbox's own.
void EnterSandbox(const std::string& folder);

// Deletes the scratch profile store and returns to the user's own places.
void LeaveSandbox();

}  // namespace platform
