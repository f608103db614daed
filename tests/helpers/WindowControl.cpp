// morvek_test_window: lets the end-to-end scripts reach the running program's windows.
//   morvek_test_window close   sends the list window a close request (it hides, the drop
//                              window comes back)
//   morvek_test_window open    sends it the open-list command
//   morvek_test_window exit    asks the program to exit
//   morvek_test_window settings opens the settings dialog (modal: the program then waits in
//                              the dialog's message loop)
//   morvek_test_window find    only looks for the running program
//   morvek_test_window modal   succeeds while a modal dialog of the program is open (its
//                              main window is disabled)
//   morvek_test_window drop    looks for its drop window: the visible borderless tool dialog
//                              of the program's process; prints its position and size
//   morvek_test_window list    prints the list window's client area on the screen (left,
//                              top, width, height) and its dots per inch
//   morvek_test_window accessible  reads the list as a screen reader does, from this process:
//                              the child count, each child's name (UTF-8) and the selected
//                              child, then presses the down-arrow key in the list and prints
//                              the selected child again
// Exits with 1 when no running program (or no visible drop window) was found.

#include <windows.h>

#include <oleacc.h>

#include <cstdio>
#include <string>
#include <cwchar>

namespace {

std::string Utf8(const wchar_t* text, int length) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), size, nullptr, nullptr);
    return out;
}

long SelectedChild(IAccessible* accessible) {
    VARIANT selection;
    VariantInit(&selection);
    accessible->get_accSelection(&selection);
    const long child = selection.vt == VT_I4 ? selection.lVal : -1;
    VariantClear(&selection);
    return child;
}

int ReadAccessibleList(HWND view) {
    CoInitialize(nullptr);
    IAccessible* accessible = nullptr;
    if (AccessibleObjectFromWindow(view, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                   reinterpret_cast<void**>(&accessible)) != S_OK ||
        accessible == nullptr) {
        return 1;
    }
    long count = 0;
    accessible->get_accChildCount(&count);
    std::printf("children %ld\n", count);
    for (long i = 1; i <= count; ++i) {
        VARIANT child;
        VariantInit(&child);
        child.vt = VT_I4;
        child.lVal = i;
        BSTR name = nullptr;
        if (accessible->get_accName(child, &name) == S_OK && name != nullptr) {
            std::printf("name %ld %s\n", i, Utf8(name, static_cast<int>(SysStringLen(name))).c_str());
            SysFreeString(name);
        }
    }
    std::printf("selected %ld\n", SelectedChild(accessible));
    SendMessageW(view, WM_KEYDOWN, VK_DOWN, 0);
    std::printf("selected %ld\n", SelectedChild(accessible));
    accessible->Release();
    CoUninitialize();
    return 0;
}

struct DropSearch {
    DWORD process = 0;
    HWND found = nullptr;
};

BOOL CALLBACK FindDropWindow(HWND window, LPARAM data) {
    auto& search = *reinterpret_cast<DropSearch*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t className[32] = {};
    GetClassNameW(window, className, 32);
    const LONG_PTR exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    if (process != search.process || !IsWindowVisible(window) ||
        std::wcscmp(className, L"#32770") != 0 || (exStyle & WS_EX_TOOLWINDOW) == 0 ||
        (style & WS_CAPTION) != 0) {
        return TRUE;
    }
    search.found = window;
    return FALSE;
}

}  // namespace

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
    } else if (std::wcscmp(argv[1], L"settings") == 0) {
        PostMessageW(frame, WM_COMMAND, 32778, 0);
    } else if (std::wcscmp(argv[1], L"find") == 0) {
        return 0;
    } else if (std::wcscmp(argv[1], L"modal") == 0) {
        return IsWindowEnabled(frame) ? 1 : 0;
    } else if (std::wcscmp(argv[1], L"drop") == 0) {
        DropSearch search;
        GetWindowThreadProcessId(frame, &search.process);
        EnumWindows(FindDropWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found == nullptr) {
            return 1;
        }
        RECT rect{};
        GetWindowRect(search.found, &rect);
        std::printf("%ld,%ld %ldx%ld\n", rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top);
    } else if (std::wcscmp(argv[1], L"accessible") == 0) {
        const HWND view = GetDlgItem(frame, 0xE900);
        return view != nullptr ? ReadAccessibleList(view) : 1;
    } else if (std::wcscmp(argv[1], L"list") == 0) {
        const HWND view = GetDlgItem(frame, 0xE900);
        if (view == nullptr || !IsWindowVisible(view)) {
            return 1;
        }
        RECT client{};
        GetClientRect(view, &client);
        MapWindowPoints(view, nullptr, reinterpret_cast<POINT*>(&client), 2);
        const HDC screen = GetDC(view);
        const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(view, screen);
        std::printf("%ld,%ld %ldx%ld %d\n", client.left, client.top, client.right - client.left,
                    client.bottom - client.top, dpi);
    } else {
        return 2;
    }
    return 0;
}
