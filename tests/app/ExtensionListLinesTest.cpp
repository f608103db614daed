#include "app/ExtensionListLines.h"

#include <gtest/gtest.h>

namespace {

TEST(ExtensionListLines, SplitAtTheFirstTabAndSkipLinesWithoutAnExtension) {
    struct Case {
        std::string line;
        bool valid;
        std::string extension;
        std::string description;
    };
    const Case cases[] = {
        {"zip\tZIP書庫ファイル", true, "zip", "ZIP書庫ファイル"},
        {"eml\t", true, "eml", ""},
        {"a\tb\tc", true, "a", "b\tc"},
        // The trail byte of "表" is 0x5C, never a tab; the first tab is after it.
        {"表\t説明", true, "表", "説明"},
        {"\tdescription", false, "", ""},
        {"zip", false, "", ""},
        {"", false, "", ""},
    };
    for (const Case& c : cases) {
        const std::optional<ExtensionLine> split = SplitExtensionLine(c.line);
        ASSERT_EQ(split.has_value(), c.valid) << c.line;
        if (split) {
            EXPECT_EQ(split->strExtension, c.extension);
            EXPECT_EQ(split->strDescription, c.description);
        }
    }
}

TEST(ExtensionListLines, ANewLineIsTrimmedAndAddedOnlyOnce) {
    const std::vector<std::string> lines = {"zip\tanything", "zipx\t", "doc\tMicrosoft Word文書"};
    EXPECT_EQ(MakeNewExtensionLine(lines, " lzh\t", "LHA書庫ファイル"),
              std::optional<std::string>("lzh\tLHA書庫ファイル"));
    // Listed already, whatever its description: nothing, and no message either.
    EXPECT_EQ(MakeNewExtensionLine(lines, "zip", "ZIP書庫ファイル"), std::nullopt);
    EXPECT_EQ(MakeNewExtensionLine(lines, "zip ", ""), std::nullopt);
    // The extension must be followed by the tab: "zi" is not listed by "zip".
    EXPECT_EQ(MakeNewExtensionLine(lines, "zi", ""), std::optional<std::string>("zi\t"));
    // Byte for byte: another letter case is another extension.
    EXPECT_EQ(MakeNewExtensionLine(lines, "ZIP", ""), std::optional<std::string>("ZIP\t"));
    EXPECT_EQ(MakeNewExtensionLine(lines, " \t ", "x"), std::nullopt);
}

TEST(ExtensionListLines, ListsBecomeLinesAndBack) {
    CExtensionList list;
    list.Add("htm", "HTMLファイル");
    list.Add("eml");
    const std::vector<std::string> lines = ExtensionListToLines(list);
    EXPECT_EQ(lines, (std::vector<std::string>{"htm\tHTMLファイル", "eml\t"}));
    EXPECT_EQ(LinesToExtensionList(lines), list);

    std::vector<std::string> withBadLines = {"\tno extension", "htm\tHTMLファイル", "no tab",
                                             "eml\t"};
    EXPECT_EQ(LinesToExtensionList(withBadLines), list);
}

}  // namespace
