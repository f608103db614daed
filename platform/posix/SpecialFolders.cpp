#include "platform/SpecialFolders.h"

#include "platform/detail/SandboxState.h"
#include "platform/posix/NativePath.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <random>

namespace platform {

namespace {

std::string EnvironmentFolder(const char* variable, const char* homeRelative) {
    const char* value = std::getenv(variable);
    if (value != nullptr && value[0] == '/') {
        return value;
    }
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] != '/') {
        return {};
    }
    return std::string(home) + homeRelative;
}

std::string WithoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

}  // namespace

std::string AppDataFolder() {
    if (!detail::SandboxFolder().empty()) {
        return detail::SandboxFolder() + "\\AppData";
    }
    const std::string native = EnvironmentFolder("XDG_DATA_HOME", "/.local/share");
    return native.empty() ? std::string() : posix::ToCorePath(WithoutTrailingSlash(native));
}

std::string ProgramFilesFolder() {
    if (!detail::SandboxFolder().empty()) {
        return detail::SandboxFolder() + "\\Program Files";
    }
    return posix::ToCorePath("/opt");
}

// There are no Windows programs to look for here: both places exist only in the sandbox.
std::string ProgramFilesX86Folder() {
    if (!detail::SandboxFolder().empty()) {
        return detail::SandboxFolder() + "\\Program Files (x86)";
    }
    return {};
}

std::string CommonAppDataFolder() {
    if (!detail::SandboxFolder().empty()) {
        return detail::SandboxFolder() + "\\ProgramData";
    }
    return {};
}

std::string TempPath() {
    if (!detail::SandboxFolder().empty()) {
        return detail::SandboxFolder() + "\\Temp\\";
    }
    const char* value = std::getenv("TMPDIR");
    const std::string native = value != nullptr && value[0] == '/' ? value : "/tmp";
    return posix::ToCorePath(WithoutTrailingSlash(native)) + "\\";
}

// Names are made as Windows makes them: up to three bytes of the prefix, four hexadecimal
// digits and ".tmp"; the first number that names no existing file is taken.
std::string MakeUniqueTempFile(const std::string& folder, const std::string& prefix) {
    std::string base = folder;
    if (!base.empty() && base.back() != '\\') {
        base += '\\';
    }
    base += prefix.substr(0, 3);
    const unsigned seed = std::random_device{}();
    for (unsigned i = 0; i < 0xFFFF; ++i) {
        const unsigned number = (seed + i) % 0xFFFF + 1;
        char digits[8];
        std::snprintf(digits, sizeof digits, "%X", number);
        const std::string path = base + digits + ".tmp";
        const auto native = posix::ToNativePath(path);
        if (!native) {
            return {};
        }
        const int fd = open(native->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            close(fd);
            return path;
        }
        if (errno != EEXIST) {
            return {};
        }
    }
    return {};
}

}  // namespace platform
