#include "policy/FileTypeDescriptions.h"

#include "policy/DefaultExtensionLists.h"
#include "policy/ExtensionListFile.h"
#include "policy/ExtensionPolicy.h"

#include <gtest/gtest.h>

#include <set>

namespace {

std::vector<std::string> ExtensionsOf(std::span<const FileTypeDescription> table) {
    std::vector<std::string> extensions;
    for (const FileTypeDescription& row : table) {
        extensions.emplace_back(row.extension);
    }
    return extensions;
}

TEST(FileTypeDescriptions, TablesAndDefaultListsHoldTheSameRows) {
    const auto allowed = AllowedDescriptionTable();
    const auto prohibited = ProhibitedDescriptionTable();
    ASSERT_EQ(allowed.size(), 23u);
    ASSERT_EQ(prohibited.size(), 112u);
    EXPECT_EQ(ExtensionsOf(allowed),
              (std::vector<std::string>{"avi", "bmp", "csv",  "doc", "eml",  "gif", "jpeg", "jpg",
                                        "lzh", "mid", "midi", "mov", "mpeg", "mpg", "pdf",  "png",
                                        "ppt", "tif", "txt",  "wav", "wmv",  "xls", "zip"}));

    const CExtensionList defaultAllowed = DefaultAllowedList();
    const CExtensionList defaultProhibited = DefaultProhibitedList();
    ASSERT_EQ(defaultAllowed.GetCount(), 22u);
    ASSERT_EQ(defaultProhibited.GetCount(), 89u);
    // The allowed table is the default allowed list with eml after doc; the prohibited
    // table adds the default prohibited list.
    CExtensionList expected;
    for (std::size_t i = 0; i < defaultAllowed.GetCount(); ++i) {
        expected.Add(defaultAllowed.GetExtensions()[i], defaultAllowed.GetDescriptions()[i]);
        if (defaultAllowed.GetExtensions()[i] == "doc") {
            expected.Add("eml", "E-Mailファイル");
        }
    }
    for (std::size_t i = 0; i < defaultProhibited.GetCount(); ++i) {
        expected.Add(defaultProhibited.GetExtensions()[i], defaultProhibited.GetDescriptions()[i]);
    }
    CExtensionList table;
    for (const FileTypeDescription& row : prohibited) {
        table.Add(row.extension, row.description);
    }
    EXPECT_EQ(table, expected);
    EXPECT_EQ(defaultProhibited.GetExtensions().front(), "ade");
    EXPECT_EQ(defaultProhibited.GetExtensions()[44], "html");

    // Extensions are lower-case ASCII (with digits and a hyphen in the newer ones) and
    // unique; every row has a description.
    const std::vector<std::string> extensions = ExtensionsOf(prohibited);
    EXPECT_EQ(std::set<std::string>(extensions.begin(), extensions.end()).size(), 112u);
    for (const FileTypeDescription& row : prohibited) {
        const std::string ext = row.extension;
        EXPECT_EQ(ext.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789-"), std::string::npos)
            << ext;
        EXPECT_STRNE(row.description, "") << ext;
    }
}

TEST(FileTypeDescriptions, NewCarriersFollowTheOriginalDefaultProhibitedList) {
    const CExtensionList prohibited = DefaultProhibitedList();
    const std::vector<std::string>& extensions = prohibited.GetExtensions();
    ASSERT_EQ(extensions.size(), 89u);
    EXPECT_EQ(std::vector<std::string>(extensions.begin() + 45, extensions.end()),
              (std::vector<std::string>{
                  "iso",          "img",         "vhd",        "vhdx",
                  "ps1",          "psm1",        "psd1",       "ps1xml",
                  "psc1",         "jar",         "jnlp",       "appx",
                  "appxbundle",   "msix",        "msixbundle", "appinstaller",
                  "application",  "appref-ms",   "msu",        "settingcontent-ms",
                  "library-ms",   "search-ms",   "scf",        "website",
                  "wsb",          "one",         "xll",        "diagcab",
                  "gadget",       "ws",          "msh",        "msh1",
                  "msh2",         "mshxml",      "msh1xml",    "msh2xml",
                  "svg",          "mht",         "mhtml",      "xhtml",
                  "rdp",          "searchconnector-ms",        "theme",
                  "themepack"}));
    // Each carrier is dangerous, so it can never be allowed to open, and an attachment named
    // for it is held back.
    for (auto it = extensions.begin() + 45; it != extensions.end(); ++it) {
        EXPECT_TRUE(IsDangerousExtension(*it)) << *it;
        EXPECT_TRUE(IsProhibitedName("C:\\d\\invoice." + *it, prohibited)) << *it;
    }
    EXPECT_EQ(LookupFileTypeDescription(ProhibitedDescriptionTable(), "ISO"),
              "ディスクイメージファイル");
    EXPECT_EQ(LookupFileTypeDescription(ProhibitedDescriptionTable(), "appref-ms"),
              "ClickOnce アプリケーション参照");
}

TEST(FileTypeDescriptions, DefaultListFilesHaveTheirKnownLengths) {
    // Lengths of the Shift_JIS encodings of the default tables, counted independently.
    EXPECT_EQ(EncodeExtensionList(DefaultAllowedList())->size(), 488u);
    // The original 45 entries keep their bytes: alone they still encode to the old length.
    const CExtensionList prohibited = DefaultProhibitedList();
    const CExtensionList original(
        std::vector<std::string>(prohibited.GetExtensions().begin(),
                                 prohibited.GetExtensions().begin() + 45),
        std::vector<std::string>(prohibited.GetDescriptions().begin(),
                                 prohibited.GetDescriptions().begin() + 45));
    EXPECT_EQ(EncodeExtensionList(original)->size(), 1225u);
    EXPECT_EQ(EncodeExtensionList(prohibited)->size(), 2579u);
}

TEST(FileTypeDescriptions, Lookup) {
    const auto allowed = AllowedDescriptionTable();
    const auto prohibited = ProhibitedDescriptionTable();
    const struct {
        std::span<const FileTypeDescription> table;
        const char* ext;
        const char* description;
    } cases[] = {
        {allowed, "DOC", "Microsoft Word文書"},
        {allowed, "eml", "E-Mailファイル"},
        {prohibited, "eml", "E-Mailファイル"},
        {prohibited, "exe", "アプリケーション"},
        {allowed, "exe", ""},
        {prohibited, "Jpeg", "JPEGイメージ"},
        {prohibited, "jpg", "JPEGイメージ"},
        {prohibited, "midi", "MIDIシーケンス"},
        {prohibited, "mpg", "MPEGムービーファイル"},
        {prohibited, "adp", "Microsoft Access プロジェクト"},
        {prohibited, "isp", "インターネット通信設定"},
        {prohibited, "HTML", "HTMLファイル"},
        {prohibited, "xls", "Microsoft Office Excelワークブック"},
        {allowed, "txt ", ""},
        {allowed, " txt", ""},
        {prohibited, "xyz", ""},
        {prohibited, "", ""},
        {prohibited, "ｅｘｅ", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ext);
        EXPECT_EQ(LookupFileTypeDescription(c.table, c.ext), c.description);
    }
    // The texts are Shift_JIS: アプリケーション.
    EXPECT_EQ(LookupFileTypeDescription(prohibited, "exe"),
              "\x83\x41\x83\x76\x83\x8A\x83\x50\x81\x5B\x83\x56\x83\x87\x83\x93");
}

}  // namespace
