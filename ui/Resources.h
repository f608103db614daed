#pragma once

// The program's own resources as the windows use them: strings of the string table and
// message boxes with the application title as caption.

#include <windows.h>

#include <string>

namespace ui {

// String id of the program's string table, or an empty string.
std::wstring LoadResourceString(UINT id);

// The application title (string 57344), the caption of message boxes without their own.
std::wstring ApplicationTitle();

// A message box over owner with a Shift_JIS text and the application title as caption.
int ShowMessageBox(HWND owner, const std::string& text, UINT flags);

}  // namespace ui
