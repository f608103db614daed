#include "platform/Process.h"

#include "platform/posix/Cp932.h"
#include "platform/posix/NativePath.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <fstream>
#include <iterator>

extern char** environ;

namespace platform {

namespace {

bool IsAbsoluteCorePath(const std::string& argument) {
    return argument.size() >= 3 && argument[1] == ':' &&
           (argument[2] == '\\' || argument[2] == '/');
}

// A Windows path argument becomes the native path of the same place; any other argument
// is only converted to UTF-8.
std::string ToNativeArgument(const std::string& argument) {
    if (IsAbsoluteCorePath(argument)) {
        if (const auto native = posix::ToNativePath(argument)) {
            return *native;
        }
    }
    return posix::SjisToUtf8(argument);
}

std::string ToCoreArgument(const std::string& argument) {
    if (!argument.empty() && argument[0] == '/') {
        return posix::ToCorePath(argument);
    }
    return posix::Utf8ToSjis(argument);
}

}  // namespace

ProcessRun RunAndWait(const std::string& commandLine) {
    ProcessRun run;
    const std::vector<std::string> arguments = SplitCommandLine(commandLine);
    if (arguments.empty()) {
        run.strFailure = std::strerror(ENOENT);
        return run;
    }
    const auto program = posix::ToNativePath(arguments[0]);
    if (!program) {
        run.strFailure = std::strerror(ENOENT);
        return run;
    }
    std::vector<std::string> native{*program};
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        native.push_back(ToNativeArgument(arguments[i]));
    }
    std::vector<char*> argv;
    for (std::string& argument : native) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    // The C library reports a program that cannot be executed (missing, not executable,
    // not a program) as the spawn's own error.
    pid_t pid = 0;
    const int error = posix_spawn(&pid, native[0].c_str(), nullptr, nullptr, argv.data(), environ);
    if (error != 0) {
        run.strFailure = std::strerror(error);
        return run;
    }
    run.bStarted = true;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            run.exitCode = 0xFFFFFFFF;  // the child's end cannot be known
            return run;
        }
    }
    // A program ended by a signal gets the shell's status for it.
    run.exitCode = static_cast<std::uint32_t>(WIFEXITED(status) ? WEXITSTATUS(status)
                                                                : 128 + WTERMSIG(status));
    return run;
}

std::vector<std::string> ProgramArguments() {
    std::ifstream stream("/proc/self/cmdline", std::ios::binary);
    const std::string data{std::istreambuf_iterator<char>(stream),
                           std::istreambuf_iterator<char>()};
    std::vector<std::string> arguments;
    std::size_t pos = 0;
    while (pos < data.size()) {
        const std::size_t end = data.find('\0', pos);
        const std::string argument =
            data.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
        // The program name as started keeps its folder part, in Windows form.
        std::string core = ToCoreArgument(argument);
        if (arguments.empty() && (argument.empty() || argument[0] != '/')) {
            for (char& c : core) {
                c = c == '/' ? '\\' : c;
            }
        }
        arguments.push_back(core);
        if (end == std::string::npos) {
            break;
        }
        pos = end + 1;
    }
    return arguments;
}

std::string ProgramFilePath() {
    char buffer[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof buffer) {
        return {};
    }
    return posix::ToCorePath(std::string(buffer, static_cast<std::size_t>(length)));
}

}  // namespace platform
