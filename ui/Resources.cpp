#include "ui/Resources.h"

#include "platform/win32/WideText.h"
#include "res/resource.h"

namespace ui {

std::wstring LoadResourceString(UINT id) {
    const wchar_t* text = nullptr;
    // With a zero buffer size LoadStringW hands out a pointer into the resource itself.
    const int length =
        LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 && text != nullptr ? std::wstring(text, static_cast<std::size_t>(length))
                                         : std::wstring();
}

std::wstring ApplicationTitle() {
    return LoadResourceString(IDS_APP_TITLE);
}

int ShowMessageBox(HWND owner, const std::string& text, UINT flags) {
    return MessageBoxW(owner, platform::win32::ToWide(text).c_str(), ApplicationTitle().c_str(),
                       flags);
}

}  // namespace ui
