#include "platform/Process.h"

#include "platform/win32/ScopedHandle.h"
#include "platform/win32/WideText.h"

#include <windows.h>

#include <shellapi.h>

#include <cstdio>

namespace platform {

namespace {

// The system's text for error, in the user's language, without its line end; the number
// alone when the system has no text for it.
std::string SystemErrorText(DWORD error) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
    std::wstring text = length != 0 && buffer != nullptr ? std::wstring(buffer, length) : L"";
    if (buffer != nullptr) {
        LocalFree(buffer);
    }
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) {
        text.pop_back();
    }
    char number[32];
    std::snprintf(number, sizeof number, "(%lu)", static_cast<unsigned long>(error));
    return text.empty() ? std::string(number) : win32::FromWide(text) + " " + number;
}

}  // namespace

ProcessRun RunAndWait(const std::string& commandLine) {
    ProcessRun run;
    std::wstring command = win32::ToWide(commandLine);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        run.strFailure = SystemErrorText(GetLastError());
        return run;
    }
    win32::ScopedKernelHandle processHandle(process.hProcess);
    win32::ScopedKernelHandle threadHandle(process.hThread);
    WaitForSingleObject(processHandle.Get(), INFINITE);
    DWORD exitCode = 0;
    GetExitCodeProcess(processHandle.Get(), &exitCode);
    run.bStarted = true;
    run.exitCode = exitCode;
    return run;
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
