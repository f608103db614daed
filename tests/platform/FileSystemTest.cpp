// The contract of the file services, the same for the Win32 and the POSIX backend.

#include "platform/FileSystem.h"

#include "platform/File.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

namespace {

using platform::FoundEntry;
using platform::MakeFolderResult;
using test::ScratchFolder;

std::vector<std::string> Names(const std::string& pattern) {
    std::vector<FoundEntry> entries;
    EXPECT_TRUE(platform::FindEntries(pattern, entries)) << pattern;
    std::vector<std::string> names;
    for (const FoundEntry& entry : entries) {
        names.push_back(entry.name + (entry.isFolder ? "\\" : ""));
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Names that break byte-wise path handling: trail byte 0x5C (表, ソ, 予), full-width
// letters, half-width katakana, a raw UTF-8 name and a lone lead byte.
const char* const kAwkwardNames[] = {
    "表",
    "ソフト予定.txt",
    "Ｍｏｒｖｅｋ",
    "ｱﾝﾁｳｲﾙｽ.exe",
    "\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88.exe",
    "a\x81 b",
};

TEST(FileSystem, AwkwardNamesRoundTripThroughEveryService) {
    ScratchFolder scratch;
    for (const char* name : kAwkwardNames) {
        SCOPED_TRACE(name);
        const std::string folder = scratch / name;
        ASSERT_EQ(platform::MakeFolder(folder), MakeFolderResult::Created);
        const std::string file = folder + "\\" + name;
        test::WriteFile(file, name);
        EXPECT_EQ(test::ReadFile(file), name);

        auto attributes = platform::QueryAttributes(folder);
        ASSERT_TRUE(attributes);
        EXPECT_TRUE(attributes->isFolder);
        attributes = platform::QueryAttributes(file);
        ASSERT_TRUE(attributes);
        EXPECT_FALSE(attributes->isFolder);
        EXPECT_EQ(attributes->size, std::string(name).size());
        EXPECT_EQ(Names(folder + "\\*.*"), std::vector<std::string>{name});

        const std::string copy = folder + "\\copy-" + name;
        EXPECT_TRUE(platform::CopyFileTo(file, copy, true));
        EXPECT_EQ(test::ReadFile(copy), name);
        const std::string moved = scratch / (std::string("moved-") + name);
        EXPECT_TRUE(platform::MovePath(folder, moved));
        EXPECT_FALSE(platform::QueryAttributes(folder));
        EXPECT_TRUE(platform::RemoveFile(moved + "\\" + name));
        EXPECT_TRUE(platform::RemoveFile(moved + "\\copy-" + name));
        EXPECT_TRUE(platform::RemoveEmptyFolder(moved));
    }
    EXPECT_EQ(Names(scratch.Path() + "\\*.*"), std::vector<std::string>{});
}

TEST(FileSystem, NoNameLeavesItsFolder) {
    ScratchFolder scratch;
    ASSERT_EQ(platform::MakeFolder(scratch / "inner"), MakeFolderResult::Created);
    // 0x81 0x5C is one character ("＼"), not a lead byte and a separator.
    test::WriteFile(scratch / "inner\\\x81\\evil.txt", "x");
    EXPECT_EQ(Names(scratch / "inner\\*.*"), std::vector<std::string>{"\x81\\evil.txt"});
    // A NUL would cut the name short on Windows; such a path names nothing.
    EXPECT_FALSE(platform::WriteWholeFile(scratch / std::string("a\0b", 3), "x"));
    EXPECT_EQ(Names(scratch.Path() + "\\*.*"), std::vector<std::string>{"inner\\"});
}

TEST(FileSystem, TrailingDotsAndSpacesAreDroppedAsWindowsDoes) {
    ScratchFolder scratch;
    test::WriteFile(scratch / "setup.exe. .", "x");
    EXPECT_EQ(Names(scratch.Path() + "\\*.*"), std::vector<std::string>{"setup.exe"});
    EXPECT_EQ(test::ReadFile(scratch / "setup.exe "), "x");
}

// A relative path and every spelling of one folder give one full path.
TEST(FileSystem, FullPathResolvesRelativePathsAndDots) {
    const std::string full = platform::FullPath("morvek-full-path-x");
    ASSERT_GT(full.size(), 3u);
    EXPECT_EQ(full.substr(1, 2), ":\\") << full;
    EXPECT_EQ(full.substr(full.size() - 19), "\\morvek-full-path-x") << full;
    EXPECT_EQ(platform::FullPath(".\\morvek-full-path-x"), full);
    EXPECT_EQ(platform::FullPath("sub\\..\\morvek-full-path-x"), full);
    EXPECT_EQ(platform::FullPath(full), full);
    EXPECT_EQ(platform::FullPath(full.substr(0, full.size() - 19) + "\\.\\morvek-full-path-x"), full);
}

TEST(FileSystem, MakeFolderTellsCreatedFromExistingFromFailed) {
    ScratchFolder scratch;
    EXPECT_EQ(platform::MakeFolder(scratch / "a"), MakeFolderResult::Created);
    EXPECT_EQ(platform::MakeFolder(scratch / "a"), MakeFolderResult::AlreadyExists);
    test::WriteFile(scratch / "file", "");
    EXPECT_EQ(platform::MakeFolder(scratch / "file"), MakeFolderResult::AlreadyExists);
    EXPECT_EQ(platform::MakeFolder(scratch / "missing\\b"), MakeFolderResult::Failed);
}

TEST(FileSystem, RemovalsTakeOnlyWhatTheyAreFor) {
    ScratchFolder scratch;
    ASSERT_EQ(platform::MakeFolder(scratch / "full"), MakeFolderResult::Created);
    test::WriteFile(scratch / "full\\f", "x");
    EXPECT_FALSE(platform::RemoveEmptyFolder(scratch / "full"));
    EXPECT_FALSE(platform::RemoveFile(scratch / "full"));
    EXPECT_FALSE(platform::RemoveFile(scratch / "missing"));
    EXPECT_TRUE(platform::RemoveFile(scratch / "full\\f"));
    EXPECT_TRUE(platform::RemoveEmptyFolder(scratch / "full"));
    EXPECT_FALSE(platform::QueryAttributes(scratch / "full"));
}

TEST(FileSystem, MoveAndCopyNeverOverwriteUnlessAsked) {
    ScratchFolder scratch;
    test::WriteFile(scratch / "a", "A");
    test::WriteFile(scratch / "b", "B");
    EXPECT_FALSE(platform::MovePath(scratch / "a", scratch / "b"));
    EXPECT_FALSE(platform::CopyFileTo(scratch / "a", scratch / "b", true));
    EXPECT_EQ(test::ReadFile(scratch / "b"), "B");
    EXPECT_TRUE(platform::CopyFileTo(scratch / "a", scratch / "b", false));
    EXPECT_EQ(test::ReadFile(scratch / "b"), "A");
    EXPECT_FALSE(platform::MovePath(scratch / "missing", scratch / "c"));
    EXPECT_FALSE(platform::CopyFileTo(scratch / "missing", scratch / "c", false));
    EXPECT_FALSE(platform::QueryAttributes(scratch / "c"));
}

TEST(FileSystem, CopiesAreWholeAtEverySize) {
    // Empty, one byte, around the 64 KB of a read, and large: the kernel's copy and the
    // read-and-write loop must both stop at the end and nowhere before it.
    ScratchFolder scratch;
    for (const std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{65535},
                                   std::size_t{65537}, std::size_t{3} << 20}) {
        SCOPED_TRACE(size);
        std::string data(size, '\0');
        for (std::size_t i = 0; i < size; ++i) {
            data[i] = static_cast<char>(i * 131 % 251);
        }
        ASSERT_TRUE(platform::WriteWholeFile(scratch / "source", data));
        EXPECT_TRUE(platform::CopyFileTo(scratch / "source", scratch / "copy", false));
        const auto attributes = platform::QueryAttributes(scratch / "copy");
        ASSERT_TRUE(attributes);
        EXPECT_EQ(attributes->size, size);
        std::string copied;
        ASSERT_TRUE(platform::ReadWholeFile(scratch / "copy", copied));
        EXPECT_TRUE(copied == data);
    }
}

TEST(FileSystem, FindEntriesFiltersByPatternAndSkipsDots) {
    ScratchFolder scratch;
    test::WriteFile(scratch / "one.att", "");
    test::WriteFile(scratch / "TWO.ATT", "");
    test::WriteFile(scratch / "three.attx", "");
    test::WriteFile(scratch / "noext", "");
    ASSERT_EQ(platform::MakeFolder(scratch / "rec.att"), MakeFolderResult::Created);
    EXPECT_EQ(Names(scratch / "*.att"),
              (std::vector<std::string>{"TWO.ATT", "one.att", "rec.att\\"}));
    EXPECT_EQ(Names(scratch / "*.*"),
              (std::vector<std::string>{"TWO.ATT", "noext", "one.att", "rec.att\\", "three.attx"}));
    std::vector<FoundEntry> entries;
    EXPECT_FALSE(platform::FindEntries(scratch / "missing\\*.*", entries));
    ASSERT_EQ(platform::MakeFolder(scratch / "empty"), MakeFolderResult::Created);
    EXPECT_TRUE(platform::FindEntries(scratch / "empty\\*.*", entries));
    EXPECT_TRUE(entries.empty());
}

}  // namespace
