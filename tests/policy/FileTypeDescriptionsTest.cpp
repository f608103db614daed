#include "policy/FileTypeDescriptions.h"

#include "policy/DefaultExtensionLists.h"
#include "policy/ExtensionListFile.h"

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
    ASSERT_EQ(prohibited.size(), 68u);
    EXPECT_EQ(ExtensionsOf(allowed),
              (std::vector<std::string>{"avi", "bmp", "csv",  "doc", "eml",  "gif", "jpeg", "jpg",
                                        "lzh", "mid", "midi", "mov", "mpeg", "mpg", "pdf",  "png",
                                        "ppt", "tif", "txt",  "wav", "wmv",  "xls", "zip"}));

    const CExtensionList defaultAllowed = DefaultAllowedList();
    const CExtensionList defaultProhibited = DefaultProhibitedList();
    ASSERT_EQ(defaultAllowed.GetCount(), 22u);
    ASSERT_EQ(defaultProhibited.GetCount(), 45u);
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
    EXPECT_EQ(defaultProhibited.GetExtensions().back(), "html");

    // Extensions are lower-case ASCII and unique.
    const std::vector<std::string> extensions = ExtensionsOf(prohibited);
    EXPECT_EQ(std::set<std::string>(extensions.begin(), extensions.end()).size(), 68u);
    for (const std::string& ext : extensions) {
        EXPECT_EQ(ext.find_first_not_of("abcdefghijklmnopqrstuvwxyz"), std::string::npos) << ext;
    }
}

TEST(FileTypeDescriptions, DefaultListFilesHaveTheirKnownLengths) {
    // Lengths of the Shift_JIS encodings of the default tables, counted independently.
    EXPECT_EQ(EncodeExtensionList(DefaultAllowedList())->size(), 488u);
    EXPECT_EQ(EncodeExtensionList(DefaultProhibitedList())->size(), 1225u);
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
