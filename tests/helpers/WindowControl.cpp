// morvek_test_window: lets the end-to-end script reach the running program's list window.
//   morvek_test_window close   sends the list window a close request (it hides, the drop
//                              window comes back)
//   morvek_test_window open    sends it the open-list command
//   morvek_test_window exit    asks the program to exit
// Exits with 1 when no running program was found.

#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv) {
    const HWND frame = FindWindowW(nullptr, L"Morvek Attachment Extractor");
    if (frame == nullptr || argc < 2) {
        return 1;
    }
    if (std::wcscmp(argv[1], L"close") == 0) {
        SendMessageW(frame, WM_CLOSE, 0, 0);
    } else if (std::wcscmp(argv[1], L"open") == 0) {
        SendMessageW(frame, WM_COMMAND, 32777, 0);
    } else if (std::wcscmp(argv[1], L"exit") == 0) {
        PostMessageW(frame, WM_APP + 3, 0, 0);
    } else {
        return 2;
    }
    return 0;
}
