#pragma once

// The colours the program's own drawing uses: the design's fixed colours, or under a
// high-contrast theme the system colours the user chose (window, window text, highlight,
// highlight text, button face, button text), so that the list and the drop window read as
// the rest of the desktop does.

#include <cstdint>

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    bool operator==(const Rgb&) const = default;
};

// The system colours as the platform reports them at the moment.
struct SystemColours {
    Rgb window{255, 255, 255};
    Rgb windowText{0, 0, 0};
    Rgb highlight{0, 120, 215};
    Rgb highlightText{255, 255, 255};
    Rgb buttonFace{240, 240, 240};
    Rgb buttonText{0, 0, 0};
    bool operator==(const SystemColours&) const = default;
};

class CColourScheme {
public:
    // The design's colours.
    static constexpr Rgb kSelectionBlue{49, 106, 197};
    static constexpr Rgb kOpenGrey{210, 210, 210};
    static constexpr Rgb kWhite{255, 255, 255};
    static constexpr Rgb kBlack{0, 0, 0};

    // The design's scheme.
    CColourScheme() = default;
    // The scheme for the theme of the moment: the system's colours when a high-contrast
    // theme is on, the design's otherwise.
    static CColourScheme ForTheme(bool bHighContrast, const SystemColours& system);

    bool IsHighContrast() const { return m_bHighContrast; }

    // The list's rows: a selected row, the open record (and the attachments of a selected
    // record row), every other row; each fill with the text drawn on it.
    Rgb SelectedFill() const { return m_bHighContrast ? m_system.highlight : kSelectionBlue; }
    Rgb SelectedText() const { return m_bHighContrast ? m_system.highlightText : kWhite; }
    Rgb OpenFill() const { return m_bHighContrast ? m_system.buttonFace : kOpenGrey; }
    Rgb OpenText() const { return m_bHighContrast ? m_system.buttonText : kBlack; }
    Rgb PlainFill() const { return m_bHighContrast ? m_system.window : kWhite; }
    Rgb PlainText() const { return m_bHighContrast ? m_system.windowText : kBlack; }

    // The drop window drawn without its picture (high contrast only): the capsule's face and
    // outline, the marks inside the zones, and the close mark (a cross on the accent).
    Rgb Face() const { return m_system.window; }
    Rgb Ink() const { return m_system.windowText; }
    Rgb Accent() const { return m_system.highlight; }
    Rgb AccentText() const { return m_system.highlightText; }

    bool operator==(const CColourScheme&) const = default;

private:
    bool m_bHighContrast = false;
    SystemColours m_system;
};
