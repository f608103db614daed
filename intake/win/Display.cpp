#include "intake/win/Display.h"

#include <algorithm>

namespace display {

namespace {

std::optional<bool> g_highContrastForTests;
std::optional<int> g_dpiForTests;

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);

GetDpiForWindowFunction DpiForWindow() {
    // Windows 10 (1607) and later; looked up once.
    static const auto function = reinterpret_cast<GetDpiForWindowFunction>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    return function;
}

Rgb RgbOf(int index) {
    const COLORREF colour = GetSysColor(index);
    return {GetRValue(colour), GetGValue(colour), GetBValue(colour)};
}

}  // namespace

int GetWindowDpi(HWND hwnd) {
    if (g_dpiForTests) {
        return *g_dpiForTests;
    }
    if (hwnd != nullptr) {
        if (const GetDpiForWindowFunction function = DpiForWindow()) {
            const UINT dpi = function(hwnd);
            if (dpi != 0) {
                return static_cast<int>(dpi);
            }
        }
    }
    const HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : dpi::kBaseDpi;
    if (screen != nullptr) {
        ReleaseDC(nullptr, screen);
    }
    return dpi;
}

void SetDpiForTests(std::optional<int> dpi) {
    g_dpiForTests = dpi;
}

dpi::CDpiScale GetWindowScale(HWND hwnd) {
    return dpi::CDpiScale(GetWindowDpi(hwnd));
}

HBITMAP LoadPicture(int baseId, const dpi::CDpiScale& scale, int width96, int height96) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const int id = dpi::PictureResourceId(baseId, scale.GetPictureScale());
    HANDLE picture = nullptr;
    if (id != 0 && id != baseId) {
        picture =
            LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    }
    if (picture == nullptr) {
        picture =
            LoadImageW(instance, MAKEINTRESOURCEW(baseId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    }
    auto bitmap = static_cast<HBITMAP>(picture);
    BITMAP info{};
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof info, &info) == 0) {
        return bitmap;
    }
    const int width = std::min<int>(scale.PictureExtent(width96), info.bmWidth);
    const int height = std::min<int>(scale.PictureExtent(height96), info.bmHeight);
    if (width == info.bmWidth && height == info.bmHeight) {
        return bitmap;
    }
    // Between the picture scales: the next larger picture, shrunk with averaging.
    const HDC screen = GetDC(nullptr);
    const HDC source = CreateCompatibleDC(screen);
    const HDC target = CreateCompatibleDC(screen);
    HBITMAP shrunk = CreateCompatibleBitmap(screen, width, height);
    if (source != nullptr && target != nullptr && shrunk != nullptr) {
        const HGDIOBJ oldSource = SelectObject(source, bitmap);
        const HGDIOBJ oldTarget = SelectObject(target, shrunk);
        SetStretchBltMode(target, HALFTONE);
        SetBrushOrgEx(target, 0, 0, nullptr);
        StretchBlt(target, 0, 0, width, height, source, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
        SelectObject(source, oldSource);
        SelectObject(target, oldTarget);
    }
    if (source != nullptr) {
        DeleteDC(source);
    }
    if (target != nullptr) {
        DeleteDC(target);
    }
    ReleaseDC(nullptr, screen);
    if (shrunk == nullptr) {
        return bitmap;
    }
    DeleteObject(bitmap);
    return shrunk;
}

HICON LoadIconAt(int id, int size) {
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                         IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

void DrawIconAt(HDC dc, int x, int y, HICON icon, int iconSize, int size) {
    if (icon == nullptr) {
        return;
    }
    if (size == iconSize && iconSize == 32) {
        DrawIcon(dc, x, y, icon);  // the system's own size, drawn as ever
    } else {
        DrawIconEx(dc, x, y, icon, size, size, 0, nullptr, DI_NORMAL);
    }
}

bool IsHighContrast() {
    if (g_highContrastForTests) {
        return *g_highContrastForTests;
    }
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof contrast;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) != 0 &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

void SetHighContrastForTests(std::optional<bool> on) {
    g_highContrastForTests = on;
}

CColourScheme CurrentColourScheme() {
    SystemColours system;
    system.window = RgbOf(COLOR_WINDOW);
    system.windowText = RgbOf(COLOR_WINDOWTEXT);
    system.highlight = RgbOf(COLOR_HIGHLIGHT);
    system.highlightText = RgbOf(COLOR_HIGHLIGHTTEXT);
    system.buttonFace = RgbOf(COLOR_BTNFACE);
    system.buttonText = RgbOf(COLOR_BTNTEXT);
    return CColourScheme::ForTheme(IsHighContrast(), system);
}

COLORREF ToColorRef(Rgb colour) {
    return RGB(colour.r, colour.g, colour.b);
}

void MoveToSuggestedRect(HWND hwnd, LPARAM lParam) {
    const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
    if (suggested == nullptr) {
        return;
    }
    SetWindowPos(hwnd, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                 suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace display
