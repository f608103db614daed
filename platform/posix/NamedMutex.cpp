#include "platform/NamedMutex.h"

#include "platform/detail/SandboxState.h"
#include "platform/posix/Cp932.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace platform {

// A lock file in the user's runtime folder stands for the mutex: the first holder keeps an
// exclusive lock on it for as long as it lives.
NamedMutex::NamedMutex(const std::string& name) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string folder = runtime != nullptr && runtime[0] == '/' ? runtime : "/tmp";
    std::string file;
    for (unsigned char c : posix::SjisToUtf8(detail::SandboxedName(name))) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02x", c);
        file += hex;
    }
    const std::string path =
        folder + "/morvek-mutex-" + std::to_string(getuid()) + "-" + file + ".lock";
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        return;
    }
    m_handle = fd;
    m_bAlreadyExisted = flock(fd, LOCK_EX | LOCK_NB) != 0;
}

NamedMutex::~NamedMutex() {
    if (IsValid()) {
        close(static_cast<int>(m_handle));
    }
}

}  // namespace platform
