#pragma once

// One extension for the prohibited list (dialog 152). It refuses the extensions that are
// never prohibited, and describes the extensions of the prohibited table.

#include "gui/ExtensionEntryDlg.h"
#include "res/resource.h"

class CProhibitedExtensionDlg final : public CExtensionEntryDlg {
public:
    CProhibitedExtensionDlg()
        : CExtensionEntryDlg(IDD_PROHIBITEDEXT, ExtensionListKind::Prohibited,
                             ProhibitedDescriptionTable()) {}
};
