#include "platform/Shell.h"

#include "platform/win32/WideText.h"

#include <windows.h>

#include <shellapi.h>

namespace platform {

bool ShellOpen(const std::string& path) {
    const HINSTANCE result = ShellExecuteW(nullptr, L"open", win32::ToWide(path).c_str(), nullptr,
                                           nullptr, SW_SHOWNORMAL);
    // Values above 32 mean success.
    return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace platform
