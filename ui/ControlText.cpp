#include "ui/ControlText.h"

#include "platform/win32/WideText.h"

namespace ui {

std::string GetWindowTextSjis(HWND hwnd) {
    const int length = GetWindowTextLengthW(hwnd);
    if (length <= 0) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(hwnd, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return platform::win32::FromWide(text);
}

void SetWindowTextSjis(HWND hwnd, const std::string& text) {
    SetWindowTextW(hwnd, platform::win32::ToWide(text).c_str());
}

std::string GetItemTextSjis(HWND dialog, int id) {
    return GetWindowTextSjis(GetDlgItem(dialog, id));
}

void SetItemTextSjis(HWND dialog, int id, const std::string& text) {
    SetWindowTextSjis(GetDlgItem(dialog, id), text);
}

}  // namespace ui
