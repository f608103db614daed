#include "policy/ExtensionPolicy.h"

#include "policy/DefaultExtensionLists.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Tokens(std::string_view text) {
    std::vector<std::string> tokens;
    std::size_t start = 0;
    for (std::size_t comma = text.find(','); comma != std::string_view::npos;
         comma = text.find(',', start)) {
        if (comma > start) {
            tokens.emplace_back(text.substr(start, comma - start));
        }
        start = comma + 1;
    }
    return tokens;
}

TEST(ExtensionPolicy, TheDangerousSetIsTheDefaultProhibitedList) {
    EXPECT_EQ(Tokens(DangerousExtensions), DefaultProhibitedList().GetExtensions());
    EXPECT_EQ(Tokens(NeverProhibitedExtensions),
              (std::vector<std::string>{"txt", "jpg", "jpeg", "gif", "png"}));
}

TEST(ExtensionPolicy, ProtectedSetsAreLookedUpAsWholeTokens) {
    struct Case {
        const char* ext;
        bool dangerous;
        bool neverProhibited;
    };
    const Case cases[] = {
        // The ",," between exe and hlp: the empty extension is dangerous, and so is "exe,".
        {"", true, false},     {"exe", true, false},  {"EXE", true, false},
        {"Html", true, false}, {"htm", true, false},  {"vb", true, false},
        {"ade", true, false},  {"wsf", true, false},  {"xe", false, false},
        {"ht", false, false},  {"v", false, false},   {"exe,", true, false},
        {"TXT", false, true},  {"jpeg", false, true}, {"png", false, true},
        {"jp", false, false},  {"zip", false, false}, {"ｅｘｅ", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ext);
        EXPECT_EQ(IsDangerousExtension(c.ext), c.dangerous);
        EXPECT_EQ(IsNeverProhibitedExtension(c.ext), c.neverProhibited);
    }
}

TEST(ExtensionPolicy, ProhibitedNames) {
    const CExtensionList list({"exe", "ｅｘｅ", "alert", "表"}, {});
    const std::pair<const char*, bool> cases[] = {
        {"C:\\scan\\m1\\a.EXE", true},
        {"C:\\scan\\m1\\a.exe.txt", false},
        {"C:\\scan\\m1\\report.pdf.alert", true},
        {"C:\\scan\\m1\\readme", false},
        {"C:\\scan\\a.exe\\file", false},  // the last period is in a folder name
        {"C:\\scan\\m1\\x.ｅｘｅ", true},
        {"C:\\scan\\m1\\x.ＥＸＥ", false},  // double-byte letters do not fold
        {"C:\\scan\\m1\\x.表", true},       // trail byte 0x5C
        {"C:\\scan\\m1\\x.exe ", false},
    };
    for (const auto& [path, prohibited] : cases) {
        SCOPED_TRACE(path);
        EXPECT_EQ(IsProhibitedName(path, list), prohibited);
    }
    EXPECT_FALSE(IsProhibitedName("C:\\a.exe", CExtensionList()));
}

TEST(ExtensionPolicy, OpenVerdicts) {
    const CExtensionList allowed({"jpg", "PDF", "exe", "表"}, {});
    const std::pair<const char*, OpenVerdict> cases[] = {
        {"", OpenVerdict::Dangerous},  // no period, or a folder
        {"exe", OpenVerdict::Dangerous},
        {"Exe", OpenVerdict::Dangerous},  // even when the allowed list holds it
        {" html\t", OpenVerdict::Dangerous},
        {"jpg", OpenVerdict::Openable},
        {"JPG", OpenVerdict::Openable},
        {" jpg\r\n", OpenVerdict::Openable},
        {"表", OpenVerdict::Openable},
        {"pdf", OpenVerdict::NotAllowed},  // entries are compared as stored
        {"zip", OpenVerdict::NotAllowed},
        {"ｊｐｇ", OpenVerdict::NotAllowed},
        {"　jpg", OpenVerdict::NotAllowed},  // a full-width space is not white space
    };
    for (const auto& [ext, verdict] : cases) {
        SCOPED_TRACE(ext);
        EXPECT_EQ(CheckOpen(ext, allowed), verdict);
    }
    // Before any load the list is empty: nothing opens.
    EXPECT_EQ(CheckOpen("jpg", CExtensionList()), OpenVerdict::NotAllowed);
}

}  // namespace
