#include "intake/MessageCopyName.h"

#include "platform/FileSystem.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

namespace {

TEST(MessageCopyName, BaseNamesOfDroppedMessages) {
    struct Case {
        const char* dropped;
        std::optional<std::string> base;
    };
    const Case cases[] = {
        {"a.eml", "a"},
        {"C:\\mail\\c.EML", "c"},
        {"C:\\mail\\b.txt", std::nullopt},
        {"C:\\mail\\noextension", std::nullopt},
        {"C:\\x.eml\\inside", std::nullopt},  // the dot belongs to a folder
        {"x.eml.", std::nullopt},
        {"a.emlx", std::nullopt},
        {" \t a b \t.eml", "a b"},
        // Trailing dots and spaces go, as the file system drops them from the folder.
        {"invoice..eml", "invoice"},
        {"invoice. . .eml", "invoice"},
        {"...eml", ""},
        {".eml", ""},
        {"C:\\mail\\.eml", ""},
        {"D:\\予定表.eml", "予定表"},  // 表 ends in the byte of "\"
        {"ソ\\表.eml", "表"},          // ソ too; the second "\" separates
        // Names from another program may carry path parts; the copy stays in the data folder.
        {"..\\..\\evil.eml", "evil"},
        {"C:\\Windows\\win.eml", "win"},
        {"a/../b.eml", "b"},
        {"C:stream.eml", "stream"},
        // Names Windows would refuse or take for a device.
        {"a<b>|c?*\".eml", "a_b__c___"},
        {"tab\tin.eml", "tab_in"},
        {"CON.eml", "_CON"},
        {" nul .eml", "_nul"},
        {"com1.backup.eml", "_com1.backup"},
        {"console.eml", "console"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dropped);
        EXPECT_EQ(MessageCopyBaseName(c.dropped), c.base);
    }
}

class FreeCopyNameTest : public ::testing::Test {
protected:
    std::string DataFolder() const { return m_scratch.Path() + "\\"; }
    void Make(const std::string& name) const { test::WriteFile(DataFolder() + name, "x"); }

    test::ScratchFolder m_scratch;
};

TEST_F(FreeCopyNameTest, ANameIsTakenByItsRecordFileFolderOrCopy) {
    EXPECT_EQ(FindFreeCopyName(DataFolder(), "B"), DataFolder() + "B");
    Make("B.att");
    EXPECT_EQ(FindFreeCopyName(DataFolder(), "B"), DataFolder() + "B(1)");
    ASSERT_EQ(platform::MakeFolder(DataFolder() + "B(1)"), platform::MakeFolderResult::Created);
    Make("B(2).eml");
    Make("B(4).att");
    EXPECT_EQ(FindFreeCopyName(DataFolder(), "B"), DataFolder() + "B(3)");
    // Other extensions take nothing.
    Make("C.txt");
    Make("C(1)");
    EXPECT_EQ(FindFreeCopyName(DataFolder(), "C"), DataFolder() + "C");
}

TEST_F(FreeCopyNameTest, TheEmptyNameIsTheDataFolderItself) {
    EXPECT_EQ(FindFreeCopyName(DataFolder(), ""), DataFolder() + "(1)");
}

TEST_F(FreeCopyNameTest, TheSearchEndsAfterTwoHundredFiftySevenNames) {
    Make("M.eml");
    for (int number = 1; number < kMaxCopyNumber; ++number) {
        Make("M(" + std::to_string(number) + ").att");
    }
    EXPECT_EQ(FindFreeCopyName(DataFolder(), "M"), DataFolder() + "M(256)");
    Make("M(256)");
    EXPECT_EQ(FindFreeCopyName(DataFolder(), "M"), std::nullopt);
}

}  // namespace
