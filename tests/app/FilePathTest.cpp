#include "app/FilePath.h"

#include "platform/File.h"
#include "platform/FileSystem.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

namespace {

TEST(FilePath, OneTrailingBackslashIsRemoved) {
    EXPECT_EQ(CFilePath("C:\\data\\").GetPath(), "C:\\data");
    EXPECT_EQ(CFilePath("C:\\data\\\\").GetPath(), "C:\\data\\");
    // The trail byte of a final 表 is not a backslash.
    EXPECT_EQ(CFilePath("C:\\表").GetPath(), "C:\\表");
}

struct PartsCase {
    const char* path;
    bool hasExtension;
    const char* extension;
    const char* fileName;
    bool hasFolder;
    const char* folder;
};

TEST(FilePath, PartsOfThePath) {
    const PartsCase cases[] = {
        {"C:\\data\\report.pdf", true, "pdf", "report.pdf", true, "C:\\data\\"},
        {"C:\\a.b\\file", true, "", "file", true, "C:\\a.b\\"},
        {"C:\\data\\file", false, "", "file", true, "C:\\data\\"},
        {"file.tar.gz", true, "gz", "file.tar.gz", false, ""},
        {"C:\\data\\name.", true, "", "name.", true, "C:\\data\\"},
        {"C:name.txt", true, "txt", "name.txt", false, ""},
        {"C:\\x\\a:stream", false, "", "stream", true, "C:\\x\\"},
        // 表 (95 5C) and ソ (83 5C): their trail bytes are not backslashes.
        {"C:\\データ\\予定表", false, "", "予定表", true, "C:\\データ\\"},
        {"C:\\表.d\\ソ", true, "", "ソ", true, "C:\\表.d\\"},
        {"C:\\ソフト\\表.ＴＸＴ.txt", true, "txt", "表.ＴＸＴ.txt", true, "C:\\ソフト\\"},
    };
    for (const PartsCase& c : cases) {
        SCOPED_TRACE(c.path);
        const CFilePath path(c.path);
        std::string out = "stale";
        EXPECT_EQ(path.GetExtension(out), c.hasExtension);
        EXPECT_EQ(out, c.extension);
        out = "stale";
        EXPECT_TRUE(path.GetFileName(out));
        EXPECT_EQ(out, c.fileName);
        out = "stale";
        EXPECT_EQ(path.GetFolder(out), c.hasFolder);
        EXPECT_EQ(out, c.folder);
    }
}

TEST(FilePath, SizeText) {
    const std::pair<std::uint64_t, const char*> cases[] = {
        {0, "0 bytes"},
        {1023, "1023 bytes"},
        {1024, "1.0 KB"},
        {1536, "1.5 KB"},
        {1048575, "1024.0 KB"},
        {1048576, "1.0 MB"},
        {1073741823, "1024.0 MB"},
        {1073741824, "1.0 GB"},
        {0xFFFFFFFE, "4.0 GB"},
        {0xFFFFFFFF, "4.0 GB"},
        {0x100000000, "4.0 GB"},
        {5368709120, "5.0 GB"},  // not 1.0 GB, the size cut to 32 bits
        {1099511627776, "1024.0 GB"},
        {CFilePath::kSizeUnavailable, ""},
    };
    for (const auto& [size, text] : cases) {
        EXPECT_EQ(CFilePath::FormatSize(size), text) << size;
    }
}

TEST(FilePath, QueriesOnTheDisk) {
    test::ScratchFolder scratch;
    test::WriteFile(scratch / "表.txt", std::string(1536, 'x'));
    const CFilePath file(scratch / "表.txt");
    EXPECT_TRUE(file.Exists());
    EXPECT_FALSE(file.IsFolder());
    EXPECT_EQ(file.GetSize(), 1536u);
    EXPECT_EQ(file.GetSizeText(), "1.5 KB");

    const CFilePath folder(scratch.Path() + "\\");
    EXPECT_TRUE(folder.Exists());
    EXPECT_TRUE(folder.IsFolder());
    EXPECT_EQ(folder.GetSize(), CFilePath::kSizeUnavailable);

    const CFilePath missing(scratch / "missing");
    EXPECT_FALSE(missing.Exists());
    EXPECT_FALSE(missing.IsFolder());
    EXPECT_EQ(missing.GetSizeText(), "");

    // A file that another opener holds cannot be measured.
    platform::File holder;
    ASSERT_TRUE(holder.Open(file.GetPath(), platform::File::Mode::Read));
    EXPECT_EQ(file.GetSize(), CFilePath::kSizeUnavailable);
    EXPECT_TRUE(file.Exists());
}

TEST(FilePath, AFileOf5GiBIsMeasuredWhole) {
    // A sparse file: one byte written at the end takes no room on the disk.
    test::ScratchFolder scratch;
    const std::string path = scratch / "large.iso";
    constexpr std::uint64_t kSize = 5ull << 30;
    {
        platform::File output;
        ASSERT_TRUE(output.Open(path, platform::File::Mode::Write));
        ASSERT_TRUE(output.Seek(kSize - 1));
        ASSERT_TRUE(output.Write("x", 1));
    }
    const CFilePath file(path);
    EXPECT_EQ(file.GetSize(), kSize);
    EXPECT_EQ(file.GetSizeText(), "5.0 GB");
}

}  // namespace
