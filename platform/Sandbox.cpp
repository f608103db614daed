#include "platform/Sandbox.h"

#include "platform/FileSystem.h"
#include "platform/detail/SandboxState.h"

#include <random>

namespace platform {

namespace {

std::string& SandboxFolderStorage() {
    static std::string folder;
    return folder;
}

std::string& SandboxStoreNameStorage() {
    static std::string name;
    return name;
}

}  // namespace

void EnterSandbox(const std::string& folder) {
    SandboxFolderStorage() = folder;
    std::random_device random;
    SandboxStoreNameStorage() =
        "Morvek Sandbox " + std::to_string(random()) + "-" + std::to_string(random());
    MakeFolder(folder + "\\AppData");
    MakeFolder(folder + "\\Program Files");
    MakeFolder(folder + "\\Program Files (x86)");
    MakeFolder(folder + "\\ProgramData");
    MakeFolder(folder + "\\Temp");
}

void LeaveSandbox() {
    if (!SandboxFolderStorage().empty()) {
        detail::DeleteSandboxProfileStore();
    }
    SandboxFolderStorage().clear();
    SandboxStoreNameStorage().clear();
}

namespace detail {

const std::string& SandboxFolder() {
    return SandboxFolderStorage();
}

std::string SandboxStoreName() {
    return SandboxStoreNameStorage();
}

std::string SandboxedName(const std::string& name) {
    return SandboxStoreNameStorage().empty() ? name : name + " " + SandboxStoreNameStorage();
}

}  // namespace detail

}  // namespace platform
