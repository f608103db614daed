#include "app/ColourScheme.h"

CColourScheme CColourScheme::ForTheme(bool bHighContrast, const SystemColours& system) {
    CColourScheme scheme;
    scheme.m_bHighContrast = bHighContrast;
    scheme.m_system = system;
    return scheme;
}
