#pragma once

#include <string>

namespace platform::detail {

// The scratch folder of the sandbox, or empty outside one.
const std::string& SandboxFolder();

// A name unique to this process's sandbox, for stores that do not live in the folder.
std::string SandboxStoreName();

// Deletes the backend's scratch profile store (the backend implements it).
void DeleteSandboxProfileStore();

}  // namespace platform::detail
