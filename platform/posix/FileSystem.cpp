#include "platform/FileSystem.h"

#include "platform/ShiftJis.h"
#include "platform/detail/Wildcard.h"
#include "platform/posix/NativePath.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <utility>

namespace platform {

using posix::ToNativePath;

namespace {

std::string UpperAscii(const std::string& name) {
    std::string upper = name;
    for (std::size_t pos = 0; pos < upper.size(); pos += sjis::CharLength(upper, pos)) {
        if (sjis::CharLength(upper, pos) == 1 && upper[pos] >= 'a' && upper[pos] <= 'z') {
            upper[pos] = static_cast<char>(upper[pos] - 'a' + 'A');
        }
    }
    return upper;
}

}  // namespace

std::optional<FileAttributes> QueryAttributes(const std::string& path) {
    const auto native = ToNativePath(path);
    struct stat st;
    if (!native || lstat(native->c_str(), &st) != 0) {
        return std::nullopt;
    }
    if (!S_ISLNK(st.st_mode)) {
        return FileAttributes{S_ISDIR(st.st_mode), false,
                              S_ISREG(st.st_mode) ? static_cast<std::uint64_t>(st.st_size) : 0};
    }
    struct stat target;
    return FileAttributes{stat(native->c_str(), &target) == 0 && S_ISDIR(target.st_mode), true, 0};
}

std::string FullPath(const std::string& path) {
    const auto native = ToNativePath(path);
    if (!native || native->empty()) {
        return path;
    }
    if ((*native)[0] == '/') {
        return posix::ToCorePath(*native);
    }
    char* current = getcwd(nullptr, 0);
    if (current == nullptr) {
        return path;
    }
    const std::string folder = current;
    free(current);
    // The joined path goes through the mapping again, which resolves "." and "..".
    const auto joined = ToNativePath(posix::ToCorePath(folder) + "\\" + path);
    return joined ? posix::ToCorePath(*joined) : path;
}

MakeFolderResult MakeFolder(const std::string& path) {
    const auto native = ToNativePath(path);
    if (!native) {
        return MakeFolderResult::Failed;
    }
    if (mkdir(native->c_str(), 0777) == 0) {
        return MakeFolderResult::Created;
    }
    return errno == EEXIST ? MakeFolderResult::AlreadyExists : MakeFolderResult::Failed;
}

bool RemoveEmptyFolder(const std::string& path) {
    const auto native = ToNativePath(path);
    return native && rmdir(native->c_str()) == 0;
}

bool RemoveFile(const std::string& path) {
    const auto native = ToNativePath(path);
    return native && unlink(native->c_str()) == 0;
}

bool RemoveLink(const std::string& path) {
    const auto native = ToNativePath(path);
    struct stat st;
    return native && lstat(native->c_str(), &st) == 0 && S_ISLNK(st.st_mode) &&
           unlink(native->c_str()) == 0;
}

bool MakeSymbolicLink(const std::string& link, const std::string& target, bool) {
    const auto nativeLink = ToNativePath(link);
    const auto nativeTarget = ToNativePath(target);
    return nativeLink && nativeTarget && symlink(nativeTarget->c_str(), nativeLink->c_str()) == 0;
}

bool MovePath(const std::string& from, const std::string& to) {
    const auto nativeFrom = ToNativePath(from);
    const auto nativeTo = ToNativePath(to);
    if (!nativeFrom || !nativeTo) {
        return false;
    }
    if (renameat2(AT_FDCWD, nativeFrom->c_str(), AT_FDCWD, nativeTo->c_str(), RENAME_NOREPLACE) ==
        0) {
        return true;
    }
    // Like Windows, a file (not a folder) moves to another volume by copy and delete.
    const auto attributes = QueryAttributes(from);
    if (errno != EXDEV || !attributes || attributes->isFolder) {
        return false;
    }
    if (!CopyFileTo(from, to, true)) {
        return false;
    }
    return RemoveFile(from);
}

namespace {

constexpr std::size_t kKernelCopyChunk = std::size_t{1} << 30;

std::string_view FolderPart(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string_view() : std::string_view(path).substr(0, slash);
}

// Copies between file systems are refused by copy_file_range; the last pair refused (the
// source's device, the target's folder) is remembered so that a run of copies from one
// place into the data folder asks once.
struct CrossDevicePair {
    dev_t device = 0;
    std::string folder;
    bool known = false;
};
CrossDevicePair g_lastCrossDevice;

bool IsKnownCrossDevice(dev_t device, std::string_view folder) {
    return g_lastCrossDevice.known && g_lastCrossDevice.device == device &&
           g_lastCrossDevice.folder == folder;
}

void RememberCrossDevice(dev_t device, std::string_view folder) {
    g_lastCrossDevice = {device, std::string(folder), true};
}

}  // namespace

bool CopyFileTo(const std::string& from, const std::string& to, bool failIfExists) {
    const auto nativeFrom = ToNativePath(from);
    const auto nativeTo = ToNativePath(to);
    if (!nativeFrom || !nativeTo) {
        return false;
    }
    const int in = open(nativeFrom->c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        return false;
    }
    struct stat st;
    if (fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(in);
        return false;
    }
    const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (failIfExists ? O_EXCL : O_TRUNC);
    const int out = open(nativeTo->c_str(), flags, 0666);
    if (out < 0) {
        close(in);
        return false;
    }
    // The kernel copies without a round trip through this process where it can: within one
    // file system (where it may share the blocks), else from file to file; the loop below
    // does the rest (or all, where neither can). A short count from a regular file is its
    // end, so a file copied whole takes one call.
    const auto wanted = static_cast<std::uint64_t>(st.st_size);
    const std::string_view toFolder = FolderPart(*nativeTo);
    std::uint64_t copied = 0;
    bool atEnd = false;
    const auto kernelCopy = [&](auto&& call) {
        ssize_t got;
        while ((got = call()) > 0) {
            copied += static_cast<std::uint64_t>(got);
            if (static_cast<std::size_t>(got) < kKernelCopyChunk && copied >= wanted) {
                atEnd = true;
                return got;
            }
        }
        atEnd = got == 0;
        return got;
    };
    if (!IsKnownCrossDevice(st.st_dev, toFolder)) {
        const ssize_t got = kernelCopy(
            [&] { return copy_file_range(in, nullptr, out, nullptr, kKernelCopyChunk, 0); });
        if (got < 0 && errno == EXDEV && copied == 0) {
            RememberCrossDevice(st.st_dev, toFolder);
        }
    }
    if (!atEnd) {
        kernelCopy([&] { return sendfile(out, in, nullptr, kKernelCopyChunk); });
    }
    bool ok = true;
    char buffer[65536];
    while (ok && !atEnd) {
        const ssize_t got = read(in, buffer, sizeof buffer);
        if (got <= 0) {
            ok = got == 0;
            break;
        }
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = write(out, buffer + done, static_cast<size_t>(got - done));
            if (put <= 0) {
                ok = false;
                break;
            }
            done += put;
        }
    }
    close(in);
    if (close(out) != 0) {
        ok = false;
    }
    if (!ok) {
        unlink(nativeTo->c_str());
    }
    return ok;
}

bool FindEntries(const std::string& pattern, std::vector<FoundEntry>& entries) {
    entries.clear();
    const std::size_t slash = sjis::FindLastOf(pattern, "\\/");
    const std::string folder = slash == std::string::npos ? "." : pattern.substr(0, slash + 1);
    const std::string wildcard = slash == std::string::npos ? pattern : pattern.substr(slash + 1);
    const auto native = ToNativePath(folder);
    if (!native) {
        return false;
    }
    DIR* dir = opendir(native->c_str());
    if (dir == nullptr) {
        return false;
    }
    while (const dirent* entry = readdir(dir)) {
        const std::string nativeName = entry->d_name;
        if (nativeName == "." || nativeName == "..") {
            continue;
        }
        const std::string name = posix::ToCoreName(nativeName);
        if (!detail::MatchesWildcard(name, wildcard)) {
            continue;
        }
        // The entry itself, not what a link points to. The entry's type comes with it on
        // most file systems; a link or an unknown type is looked up.
        bool isFolder = entry->d_type == DT_DIR;
        bool isLink = entry->d_type == DT_LNK;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat st;
            if (fstatat(dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
                continue;
            }
            isLink = S_ISLNK(st.st_mode);
            isFolder = isLink ? fstatat(dirfd(dir), entry->d_name, &st, 0) == 0 &&
                                    S_ISDIR(st.st_mode)
                              : S_ISDIR(st.st_mode);
        }
        entries.push_back({name, isFolder, isLink});
    }
    closedir(dir);
    // Native directories keep no order; list by name as the Windows file system does, its
    // letters compared in upper case. Each name's upper-case form is made once.
    std::vector<std::pair<std::string, FoundEntry>> keyed;
    keyed.reserve(entries.size());
    for (FoundEntry& entry : entries) {
        keyed.emplace_back(UpperAscii(entry.name), std::move(entry));
    }
    std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first < b.first : a.second.name < b.second.name;
    });
    for (std::size_t i = 0; i < keyed.size(); ++i) {
        entries[i] = std::move(keyed[i].second);
    }
    return true;
}

}  // namespace platform
