#include "platform/File.h"

#include "platform/posix/NativePath.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

bool File::Open(const std::string& path, Mode mode) {
    Close();
    const auto native = posix::ToNativePath(path);
    if (!native) {
        return false;
    }
    if (mode == Mode::Write || mode == Mode::CreateNew) {
        // Most files written are new: one that this call creates is a regular file and
        // empty, so it needs no check and no truncation, only the lock.
        const int fd = open(native->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
                close(fd);
                return false;
            }
            m_handle = fd;
            return true;
        }
        if (errno != EEXIST || mode == Mode::CreateNew) {
            return false;
        }
    }
    // The file is not truncated before the lock is held, so that a failed open of a file
    // that another opener holds leaves its contents alone.
    // Opened without waiting (a pipe with nobody at the other end would block for ever);
    // only a plain file is kept, and O_NONBLOCK means nothing for one.
    const int flags = mode == Mode::Read ? O_RDONLY : O_WRONLY | O_CREAT;
    const int fd = open(native->c_str(), flags | O_CLOEXEC | O_NONBLOCK, 0666);
    if (fd < 0) {
        return false;
    }
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || flock(fd, LOCK_EX | LOCK_NB) != 0 ||
        (mode == Mode::Write && ftruncate(fd, 0) != 0)) {
        close(fd);
        return false;
    }
    m_handle = fd;
    return true;
}

void File::Close() {
    if (IsOpen()) {
        close(static_cast<int>(m_handle));
        m_handle = kInvalid;
    }
}

std::optional<std::size_t> File::Read(void* buffer, std::size_t size) {
    if (!IsOpen()) {
        return std::nullopt;
    }
    while (true) {
        const ssize_t got = read(static_cast<int>(m_handle), buffer, size);
        if (got >= 0) {
            return static_cast<std::size_t>(got);
        }
        if (errno != EINTR) {
            return std::nullopt;
        }
    }
}

bool File::Write(const void* data, std::size_t size) {
    if (!IsOpen()) {
        return false;
    }
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t put = write(static_cast<int>(m_handle), bytes, size);
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            return false;
        }
        bytes += put;
        size -= static_cast<std::size_t>(put);
    }
    return true;
}

bool File::Seek(std::uint64_t offset) {
    return IsOpen() && lseek(static_cast<int>(m_handle), static_cast<off_t>(offset), SEEK_SET) >= 0;
}

std::optional<std::uint64_t> File::Size() const {
    struct stat st;
    if (!IsOpen() || fstat(static_cast<int>(m_handle), &st) != 0) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(st.st_size);
}

}  // namespace platform
