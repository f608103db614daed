#include "gui/CommandRouter.h"

#include <commctrl.h>

bool CCommandRouter::Route(UINT id) const {
    for (const TargetSource& source : m_arrTargets) {
        ui::ICommandTarget* target = source();
        if (target != nullptr && target->OnCommand(id)) {
            return true;
        }
    }
    return false;
}

bool CCommandRouter::IsEnabled(UINT id) const {
    for (const TargetSource& source : m_arrTargets) {
        ui::ICommandTarget* target = source();
        if (target == nullptr) {
            continue;
        }
        if (const std::optional<bool> enabled = target->QueryCommandEnabled(id)) {
            return *enabled;
        }
    }
    return false;
}

void CCommandRouter::UpdateMenu(HMENU menu) const {
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE;
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) {
            continue;
        }
        if (info.hSubMenu != nullptr) {
            UpdateMenu(info.hSubMenu);
        } else if ((info.fType & MFT_SEPARATOR) == 0 && info.wID != 0) {
            EnableMenuItem(menu, static_cast<UINT>(i),
                           MF_BYPOSITION | (IsEnabled(info.wID) ? MF_ENABLED : MF_GRAYED));
        }
    }
}

void CCommandRouter::UpdateToolbar(HWND toolbar) const {
    const int count = static_cast<int>(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        TBBUTTON button{};
        if (!SendMessageW(toolbar, TB_GETBUTTON, static_cast<WPARAM>(i),
                          reinterpret_cast<LPARAM>(&button)) ||
            (button.fsStyle & BTNS_SEP) != 0) {
            continue;
        }
        const bool enabled = IsEnabled(static_cast<UINT>(button.idCommand));
        const bool wasEnabled = (button.fsState & TBSTATE_ENABLED) != 0;
        if (enabled != wasEnabled) {
            SendMessageW(toolbar, TB_ENABLEBUTTON, static_cast<WPARAM>(button.idCommand),
                         MAKELPARAM(enabled ? TRUE : FALSE, 0));
        }
    }
}
