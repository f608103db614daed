#include "platform/Process.h"

#include "platform/win32/ScopedHandle.h"
#include "platform/win32/WideText.h"

#include <windows.h>

#include <shellapi.h>

namespace platform {

bool RunAndWait(const std::string& commandLine) {
    std::wstring command = win32::ToWide(commandLine);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return false;
    }
    win32::ScopedKernelHandle processHandle(process.hProcess);
    win32::ScopedKernelHandle threadHandle(process.hThread);
    WaitForSingleObject(processHandle.Get(), INFINITE);
    return true;
}

std::vector<std::string> ProgramArguments() {
    std::vector<std::string> arguments;
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
    if (argv == nullptr) {
        return arguments;
    }
    for (int i = 0; i < count; ++i) {
        arguments.push_back(win32::FromWide(argv[i]));
    }
    LocalFree(argv);
    return arguments;
}

std::string ProgramFilePath() {
    std::wstring path(MAX_PATH, L'\0');
    while (true) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return {};
        }
        if (length < path.size()) {
            path.resize(length);
            return win32::FromWide(path);
        }
        path.resize(path.size() * 2);
    }
}

}  // namespace platform
