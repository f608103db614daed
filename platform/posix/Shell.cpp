#include "platform/Shell.h"

#include "platform/FileSystem.h"
#include "platform/posix/NativePath.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;

namespace platform {

// The desktop's opener plays the shell. It is started in a process of its own that is not
// waited for, as the shell's open returns once the associated program is on its way.
bool ShellOpen(const std::string& path) {
    const auto native = posix::ToNativePath(path);
    if (!native || !QueryAttributes(path)) {
        return false;
    }
    const pid_t child = fork();
    if (child < 0) {
        return false;
    }
    if (child == 0) {
        // The intermediate process ends at once, so the opener is adopted and reaped by
        // the system instead of lingering as this program's child.
        setsid();
        std::string file = *native;
        char program[] = "xdg-open";
        char* argv[] = {program, file.data(), nullptr};
        pid_t opener = 0;
        _exit(posix_spawnp(&opener, "xdg-open", nullptr, nullptr, argv, environ) == 0 ? 0 : 1);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            return false;
        }
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace platform
