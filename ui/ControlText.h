#pragma once

// Shift_JIS texts in and out of the program's windows. The core keeps its texts in Shift_JIS;
// the windows are driven through the wide-character API, so every text is converted here
// with code page 932 whatever the system's own code page is.

#include <windows.h>

#include <string>

namespace ui {

std::string GetWindowTextSjis(HWND hwnd);
void SetWindowTextSjis(HWND hwnd, const std::string& text);

std::string GetItemTextSjis(HWND dialog, int id);
void SetItemTextSjis(HWND dialog, int id, const std::string& text);

}  // namespace ui
