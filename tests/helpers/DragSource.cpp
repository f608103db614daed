// A drag source for testing the program's drop targets through the window system: a small
// visible window that starts a drag when the left button is pressed in it and reports how
// the drag ended.
//
//   morvek_test_dragsource --x X --y Y --result RESULT [--width W] [--height H]
//                          [--ready READY] [--timeout SECONDS] [--mail | --outlook] FILE...
//
// The window (topmost, W by H pixels, default 120 by 80) opens with its top-left corner at
// screen point X, Y. Pressing the left button in it starts the drag of FILE...:
//   - by default as a shell file list (CF_HDROP) of the files' full paths;
//   - with --mail as a mail client's virtual files: "FileGroupDescriptor" naming each file
//     by its name without folder, "FileContents" with its bytes, and "Outlook Express
//     Messages";
//   - with --outlook as Outlook drags its items: "FileGroupDescriptorW" and
//     "FileGroupDescriptor" without "Outlook Express Messages", each compound file (.msg)
//     handed out as an open storage, any other file as a stream.
// When the drag has ended, RESULT holds two lines: the effect ("copy", "move", "link" or
// "none") and the result of DoDragDrop in hex (00040100 is a drop, 00040101 a cancel); the
// program then ends with 0. READY, when given, is written ("ready") once the window shows.
// When no drag has started within SECONDS (default 60), RESULT reads "timeout" and the
// program ends with 1. Bad arguments end it with 2.
//
// Example (xdotool under Xvfb, Wine on the same display; screen points are X points):
//   wine morvek_test_dragsource.exe --x 800 --y 600 --result 'Z:\tmp\r.txt'
//        --ready 'Z:\tmp\ready.txt' --mail a.eml b.eml &
//   (wait for ready.txt)
//   xdotool mousemove 840 630 mousedown 1; xdotool mousemove 700 500
//   xdotool mousemove 300 300; xdotool mousemove 310 305; xdotool mouseup 1
//   (wait for r.txt: the drop target copies the messages before the drag ends)
// Each step of the drag needs its own motion event; a short pause between them helps.

#include <windows.h>

#include <ole2.h>

#include "platform/win32/WideText.h"
#include "ui/ComObject.h"
#include "ui/ScopedGdi.h"
#include "ui/support/TestDataObject.h"

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr UINT_PTR kTimeoutTimer = 1;

struct Options {
    int x = -1;
    int y = -1;
    int width = 120;
    int height = 80;
    int timeoutSeconds = 60;
    std::wstring result;
    std::wstring ready;
    bool mail = false;
    bool outlook = false;
    std::vector<std::wstring> files;
};

Options g_options;
int g_nExitCode = 0;

class CDropSource final : public ui::CComObject<IDropSource> {
public:
    static ui::ComPtr<CDropSource> Create() {
        return ui::ComPtr<CDropSource>::Adopt(new CDropSource());
    }

    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keys) override {
        if (escape) {
            return DRAGDROP_S_CANCEL;
        }
        return (keys & MK_LBUTTON) == 0 ? DRAGDROP_S_DROP : S_OK;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

private:
    CDropSource() = default;
    ~CDropSource() override = default;
};

bool WriteText(const std::wstring& path, const std::string& text) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const BOOL ok =
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    return ok != FALSE && written == text.size();
}

bool ReadWholeFile(const std::wstring& path, std::string& data) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    data.clear();
    char buffer[65536];
    DWORD count = 0;
    while (ReadFile(file, buffer, sizeof buffer, &count, nullptr) && count > 0) {
        data.append(buffer, count);
    }
    CloseHandle(file);
    return true;
}

std::wstring FullPath(const std::wstring& path) {
    wchar_t full[32768];
    const DWORD length = GetFullPathNameW(path.c_str(), 32768, full, nullptr);
    return length > 0 && length < 32768 ? std::wstring(full, length) : path;
}

std::wstring FileName(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/:");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

const char* EffectName(DWORD effect) {
    if ((effect & DROPEFFECT_MOVE) != 0) {
        return "move";
    }
    if ((effect & DROPEFFECT_COPY) != 0) {
        return "copy";
    }
    if ((effect & DROPEFFECT_LINK) != 0) {
        return "link";
    }
    return "none";
}

test::CTestDataObject* BuildDataObject() {
    test::CTestDataObject* data = test::CTestDataObject::Create();
    if (g_options.mail || g_options.outlook) {
        std::vector<test::VirtualFile> files;
        for (const std::wstring& path : g_options.files) {
            test::VirtualFile file;
            file.wideName = FileName(path);
            file.name = platform::win32::FromWide(file.wideName);
            if (!ReadWholeFile(path, file.contents)) {
                std::fwprintf(stderr, L"cannot read %ls\n", path.c_str());
            }
            if (g_options.outlook && file.contents.compare(0, 8, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1") == 0) {
                file.medium = TYMED_ISTORAGE;
            }
            files.push_back(std::move(file));
        }
        data->OfferVirtualFiles(files, g_options.mail, g_options.outlook);
    } else {
        std::vector<std::wstring> paths;
        for (const std::wstring& path : g_options.files) {
            paths.push_back(FullPath(path));
        }
        data->OfferFileList(paths);
    }
    return data;
}

void RunDrag(HWND hwnd) {
    KillTimer(hwnd, kTimeoutTimer);
    test::CTestDataObject* data = BuildDataObject();
    const ui::ComPtr<CDropSource> source = CDropSource::Create();
    DWORD effect = DROPEFFECT_NONE;
    const HRESULT hr = DoDragDrop(data, source.Get(), DROPEFFECT_COPY, &effect);
    data->Release();
    char text[64];
    std::snprintf(text, sizeof text, "%s\n%08lX\n", EffectName(effect),
                  static_cast<unsigned long>(hr));
    WriteText(g_options.result, text);
    DestroyWindow(hwnd);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_LBUTTONDOWN:
            RunDrag(hwnd);
            return 0;
        case WM_TIMER:
            if (wParam == kTimeoutTimer) {
                KillTimer(hwnd, kTimeoutTimer);
                WriteText(g_options.result, "timeout\n");
                g_nExitCode = 1;
                DestroyWindow(hwnd);
            }
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            const HDC dc = BeginPaint(hwnd, &paint);
            RECT rect;
            GetClientRect(hwnd, &rect);
            DrawTextW(dc, g_options.outlook ? L"drag (Outlook)" : g_options.mail ? L"drag (mail)" : L"drag (files)", -1, &rect,
                      DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            EndPaint(hwnd, &paint);
            return 0;
        }
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

bool ParseNumber(const wchar_t* text, int& value) {
    wchar_t* end = nullptr;
    const long number = std::wcstol(text, &end, 10);
    if (end == text || *end != L'\0') {
        return false;
    }
    value = static_cast<int>(number);
    return true;
}

bool ParseArguments(int argc, wchar_t** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::wstring argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (argument == L"--mail") {
            g_options.mail = true;
        } else if (argument == L"--outlook") {
            g_options.outlook = true;
        } else if (argument == L"--x" && hasValue) {
            if (!ParseNumber(argv[++i], g_options.x)) {
                return false;
            }
        } else if (argument == L"--y" && hasValue) {
            if (!ParseNumber(argv[++i], g_options.y)) {
                return false;
            }
        } else if (argument == L"--width" && hasValue) {
            if (!ParseNumber(argv[++i], g_options.width)) {
                return false;
            }
        } else if (argument == L"--height" && hasValue) {
            if (!ParseNumber(argv[++i], g_options.height)) {
                return false;
            }
        } else if (argument == L"--timeout" && hasValue) {
            if (!ParseNumber(argv[++i], g_options.timeoutSeconds)) {
                return false;
            }
        } else if (argument == L"--result" && hasValue) {
            g_options.result = argv[++i];
        } else if (argument == L"--ready" && hasValue) {
            g_options.ready = argv[++i];
        } else if (argument.rfind(L"--", 0) == 0) {
            return false;
        } else {
            g_options.files.push_back(argument);
        }
    }
    return g_options.x >= 0 && g_options.y >= 0 && !g_options.result.empty() &&
           !g_options.files.empty() && g_options.width > 0 && g_options.height > 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (!ParseArguments(argc, argv)) {
        std::fputs(
            "usage: morvek_test_dragsource --x X --y Y --result RESULT [--width W] "
            "[--height H] [--ready READY] [--timeout SECONDS] [--mail | --outlook] FILE...\n",
            stderr);
        return 2;
    }
    if (FAILED(OleInitialize(nullptr))) {
        return 2;
    }
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = L"MorvekTestDragSource";
    RegisterClassW(&windowClass);
    const HWND hwnd =
        CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, windowClass.lpszClassName, L"drag source",
                        WS_POPUP | WS_BORDER | WS_VISIBLE, g_options.x, g_options.y,
                        g_options.width, g_options.height, nullptr, nullptr, instance, nullptr);
    if (hwnd == nullptr) {
        OleUninitialize();
        return 2;
    }
    UpdateWindow(hwnd);
    SetTimer(hwnd, kTimeoutTimer, static_cast<UINT>(g_options.timeoutSeconds) * 1000, nullptr);
    if (!g_options.ready.empty()) {
        WriteText(g_options.ready, "ready\n");
    }
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    OleUninitialize();
    return g_nExitCode;
}
