#include "engine/extract/AttachmentNamer.h"

#include <gtest/gtest.h>

namespace {

TEST(AttachmentNamer, HostileNamesBecomeSafeNames) {
    const std::pair<const char*, const char*> cases[] = {
        {"report.pdf", "report.pdf"},
        {"..\\..\\x.exe", "x.exe"},
        {"C:\\Windows\\x", "x"},
        {"a/b/../c.txt", "c.txt"},
        {"C:x.txt", "x.txt"},
        {"x.exe.", "x.exe"},
        {"x.exe . .", "x.exe"},
        {"..", ""},
        {"dir\\", ""},
        {" ", ""},
        {"a<b>c:d", "d"},
        {"a<b>\"c|d?e*f\x01g\x7f.txt", "a_b__c_d_e_f_g\x7f.txt"},
        {"CON.txt", "_CON.txt"},
        {"con", "_con"},
        {"Lpt9.tar.gz", "_Lpt9.tar.gz"},
        {"CONOUT$", "_CONOUT$"},
        {"CON .txt", "_CON .txt"},
        {"COM0.txt", "COM0.txt"},
        {"console.txt", "console.txt"},
        // 表 and ソ end in 0x5C, ｜ ("\x81\x62") holds 0x62 only; "\x83|" is a double-byte
        // character whose trail byte is "|": none of them is cut or replaced.
        {"予定表.doc", "予定表.doc"},
        {"C:\\ソフト\\表", "表"},
        {"\x83|.txt", "\x83|.txt"},
        // A raw UTF-8 name keeps its bytes; only its extension matters to the policy.
        {"\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88.exe", "\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88.exe"},
    };
    for (const auto& [name, safe] : cases) {
        EXPECT_EQ(CAttachmentNamer::MakeSafe(name), safe) << name;
    }
}

TEST(AttachmentNamer, LaterPartsWithATakenNameGetANumber) {
    CAttachmentNamer namer;
    EXPECT_EQ(namer.Take("message.eml"), "message.eml");
    EXPECT_EQ(namer.Take("MESSAGE.EML"), "MESSAGE(1).EML");
    EXPECT_EQ(namer.Take("message.eml"), "message(2).eml");
    EXPECT_EQ(namer.Take("readme"), "readme");
    EXPECT_EQ(namer.Take("dir\\readme"), "readme(1)");
    EXPECT_EQ(namer.Take("a.tar.gz"), "a.tar.gz");
    EXPECT_EQ(namer.Take("a.tar.gz"), "a.tar(1).gz");
    EXPECT_EQ(namer.Take(".."), "");
    // Further names to avoid, such as an alert file of the same name.
    EXPECT_EQ(namer.Take("x.exe", [](const std::string& n) { return n == "x.exe"; }), "x(1).exe");
}

}  // namespace
