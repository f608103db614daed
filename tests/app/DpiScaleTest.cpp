// Geometry at any display scale, the pictures the program picks for it, and the colours it
// draws with under a high-contrast theme.

#include "app/ColourScheme.h"
#include "app/DpiScale.h"

#include <gtest/gtest.h>

namespace {

using dpi::CDpiScale;

TEST(DpiScale, LengthsScaleAndRoundHalvesAwayFromZero) {
    struct Case {
        int dpi;
        int value;
        int scaled;
    };
    const Case cases[] = {
        {96, 120, 120},  {96, 38, 38},    {120, 120, 150}, {120, 150, 188},                 // 187.5
        {144, 120, 180}, {144, 150, 225}, {144, 15, 23},                                    // 22.5
        {144, 3, 5},     {144, -3, -5},   {192, 120, 240}, {192, 150, 300}, {240, 21, 53},  // 52.5
        {0, 40, 40},  // a failed query counts as 96
        {-5, 40, 40},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CDpiScale(c.dpi).Scale(c.value), c.scaled) << c.dpi << " " << c.value;
    }
    EXPECT_EQ(CDpiScale(144).Unscale(180), 120);
    EXPECT_EQ(CDpiScale(144).Unscale(32), 21);  // 21.33
    EXPECT_TRUE(CDpiScale(0).IsBase());
}

TEST(DpiScale, PicturesAreTheNearestAtOrAboveAndNeverStretchedUp) {
    struct Case {
        int dpi;
        int percent;
        int extentOf120;  // the size a 120-pixel picture is shown at
    };
    const Case cases[] = {
        {96, 100, 120},  {97, 125, 121},  // a touch above 100 %: the 125 % picture, shrunk
        {120, 125, 150}, {121, 150, 151}, {144, 150, 180}, {168, 200, 210}, {192, 200, 240},
        {216, 250, 270}, {240, 250, 300}, {288, 250, 300},  // above 250 %: the largest picture at
                                                            // its own size
        {480, 250, 300},
    };
    for (const Case& c : cases) {
        const CDpiScale scale(c.dpi);
        EXPECT_EQ(scale.GetPictureScale(), c.percent) << c.dpi;
        EXPECT_EQ(scale.PictureExtent(120), c.extentOf120) << c.dpi;
        EXPECT_LE(scale.PictureExtent(120), dpi::ScaleToPercent(120, c.percent)) << c.dpi;
    }
    EXPECT_EQ(CDpiScale(288).ForPictures().GetDpi(), 240);
    EXPECT_EQ(CDpiScale(144).ForPictures().GetDpi(), 144);
}

TEST(DpiScale, ScaledPicturesHaveTheirOwnResourceIds) {
    EXPECT_EQ(dpi::PictureResourceId(138, 100), 138);
    EXPECT_EQ(dpi::PictureResourceId(138, 125), 21381);
    EXPECT_EQ(dpi::PictureResourceId(138, 150), 21382);
    EXPECT_EQ(dpi::PictureResourceId(128, 200), 21283);
    EXPECT_EQ(dpi::PictureResourceId(141, 250), 21414);
    EXPECT_EQ(dpi::PictureResourceId(138, 175), 0);  // no picture is drawn at 175 %
    EXPECT_EQ(dpi::ScaleToPercent(15, 150), 23);
    EXPECT_EQ(dpi::ScaleToPercent(16, 125), 20);
}

TEST(ColourScheme, HighContrastTakesTheSystemColoursAndTheDesignOtherwise) {
    SystemColours system;
    system.window = {0, 0, 0};
    system.windowText = {255, 255, 255};
    system.highlight = {26, 235, 255};
    system.highlightText = {0, 0, 0};
    system.buttonFace = {10, 10, 10};
    system.buttonText = {255, 255, 0};

    const CColourScheme design = CColourScheme::ForTheme(false, system);
    EXPECT_EQ(design.SelectedFill(), (Rgb{49, 106, 197}));
    EXPECT_EQ(design.SelectedText(), (Rgb{255, 255, 255}));
    EXPECT_EQ(design.OpenFill(), (Rgb{210, 210, 210}));
    EXPECT_EQ(design.PlainFill(), (Rgb{255, 255, 255}));
    EXPECT_EQ(design.PlainText(), (Rgb{0, 0, 0}));

    const CColourScheme high = CColourScheme::ForTheme(true, system);
    EXPECT_TRUE(high.IsHighContrast());
    EXPECT_EQ(high.SelectedFill(), system.highlight);
    EXPECT_EQ(high.SelectedText(), system.highlightText);
    EXPECT_EQ(high.OpenFill(), system.buttonFace);
    EXPECT_EQ(high.OpenText(), system.buttonText);
    EXPECT_EQ(high.PlainFill(), system.window);
    EXPECT_EQ(high.PlainText(), system.windowText);
    // A change of the system's colours makes another scheme (the windows repaint).
    SystemColours changed = system;
    changed.window = {1, 1, 1};
    EXPECT_NE(CColourScheme::ForTheme(true, changed), high);
}

}  // namespace
