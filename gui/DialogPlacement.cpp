#include "gui/DialogPlacement.h"

#include <algorithm>

namespace ui {

void CenterOverOwner(HWND dialog) {
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    const HWND owner = GetWindow(dialog, GW_OWNER);
    RECT around = area;
    if (owner != nullptr && IsWindowVisible(owner)) {
        GetWindowRect(owner, &around);
    }
    RECT rect{};
    GetWindowRect(dialog, &rect);
    const LONG width = rect.right - rect.left;
    const LONG height = rect.bottom - rect.top;
    LONG x = around.left + (around.right - around.left - width) / 2;
    LONG y = around.top + (around.bottom - around.top - height) / 2;
    x = std::max(area.left, std::min(x, area.right - width));
    y = std::max(area.top, std::min(y, area.bottom - height));
    SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace ui
