#include "platform/Console.h"

#include "platform/win32/WideText.h"

#include <windows.h>

namespace platform {

namespace {

HANDLE StreamHandle(ConsoleStream stream) {
    return GetStdHandle(stream == ConsoleStream::Out ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
}

bool IsConsole(HANDLE handle) {
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && handle != nullptr && GetConsoleMode(handle, &mode);
}

// Text for a file or a pipe, in the console's code page (the system's when there is none).
std::string ToCodePage(const std::wstring& wide, UINT codePage) {
    if (wide.empty()) {
        return {};
    }
    const int size = static_cast<int>(wide.size());
    // A printed path is read back by scripts: no best-fit look-alikes (a yen sign printed as
    // a backslash). UTF-8 and UTF-7 take no such flag.
    const DWORD flags = codePage == CP_UTF8 || codePage == CP_UTF7 ? 0 : WC_NO_BEST_FIT_CHARS;
    const int length =
        WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    WideCharToMultiByte(codePage, flags, wide.data(), size, out.data(), length, nullptr, nullptr);
    return out;
}

UINT PipeCodePage(UINT consoleCodePage) {
    return consoleCodePage != 0 ? consoleCodePage : GetACP();
}

}  // namespace

void ConsoleWrite(ConsoleStream stream, const std::string& text) {
    const HANDLE handle = StreamHandle(stream);
    const std::wstring wide = win32::ToWide(text);
    DWORD written = 0;
    if (IsConsole(handle)) {
        WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    const std::string bytes = ToCodePage(wide, PipeCodePage(GetConsoleOutputCP()));
    WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

bool ConsoleReadLine(std::string& line) {
    const HANDLE handle = GetStdHandle(STD_INPUT_HANDLE);
    std::wstring wide;
    if (IsConsole(handle)) {
        wchar_t c = 0;
        DWORD got = 0;
        while (ReadConsoleW(handle, &c, 1, &got, nullptr) && got == 1 && c != L'\n') {
            wide += c;
        }
        if (got == 0 && wide.empty()) {
            return false;
        }
    } else {
        std::string bytes;
        char c = 0;
        DWORD got = 0;
        while (ReadFile(handle, &c, 1, &got, nullptr) && got == 1 && c != '\n') {
            bytes += c;
        }
        if (got == 0 && bytes.empty()) {
            return false;
        }
        const UINT codePage = PipeCodePage(GetConsoleCP());
        const int length = MultiByteToWideChar(codePage, 0, bytes.data(),
                                               static_cast<int>(bytes.size()), nullptr, 0);
        wide.resize(static_cast<std::size_t>(length > 0 ? length : 0));
        MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(),
                            length);
    }
    if (!wide.empty() && wide.back() == L'\r') {
        wide.pop_back();
    }
    line = win32::FromWide(wide);
    return true;
}

bool ConsoleIsTerminal(ConsoleStream stream) {
    return IsConsole(StreamHandle(stream));
}

}  // namespace platform
