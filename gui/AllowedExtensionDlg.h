#pragma once

// One extension for the allowed list (dialog 151). It refuses the dangerous extensions and
// the empty one, and describes the extensions of the allowed table.

#include "gui/ExtensionEntryDlg.h"
#include "res/resource.h"

class CAllowedExtensionDlg final : public CExtensionEntryDlg {
public:
    CAllowedExtensionDlg()
        : CExtensionEntryDlg(IDD_ALLOWEDEXT, ExtensionListKind::Allowed,
                             AllowedDescriptionTable()) {}
};
