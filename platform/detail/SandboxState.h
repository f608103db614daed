#pragma once

#include <string>

namespace platform::detail {

// The scratch folder of the sandbox, or empty outside one.
const std::string& SandboxFolder();

// A name unique to this process's sandbox, for stores that do not live in the folder.
std::string SandboxStoreName();

// name, or inside a sandbox name made unique to it: tests that run at the same time as
// each other, or as the program, never share a mutex.
std::string SandboxedName(const std::string& name);

// Deletes the backend's scratch profile store (the backend implements it).
void DeleteSandboxProfileStore();

}  // namespace platform::detail
