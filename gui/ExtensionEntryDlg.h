#pragma once

// The design both extension entry dialogs share: an editable, sorted drop-down of the known
// extensions, the description box that the table fills each time the extension box loses
// the focus, and OK that checks the extension and stays open on a refusal.

#include "policy/ExtensionValidation.h"
#include "policy/FileTypeDescriptions.h"
#include "ui/DialogBase.h"

#include <span>
#include <string>

class CExtensionEntryDlg : public ui::CDialogBase {
public:
    // After OK: the extension trimmed and in lower case, and the description as typed or
    // filled in. Both are empty at construction.
    std::string m_strExtension;
    std::string m_strDescription;

protected:
    CExtensionEntryDlg(UINT templateId, ExtensionListKind kind,
                       std::span<const FileTypeDescription> table);

    BOOL OnInitDialog() override;
    bool OnCommand(UINT id, UINT code) override;
    void OnOK() override;

private:
    // save: controls into the fields; otherwise the fields into the controls.
    void UpdateData(bool save);
    void OnExtensionKillFocus();

    ExtensionListKind m_kind;
    std::span<const FileTypeDescription> m_table;
};
