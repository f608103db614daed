#include "platform/File.h"

#include "platform/FileSystem.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

namespace {

using platform::File;
using test::ScratchFolder;

TEST(File, WritesReadsSeeksAndSizes) {
    ScratchFolder scratch;
    const std::string path = scratch / "予定表.bin";
    const std::string data("\0\x01\r\n\x1A\xFF", 6);  // binary: no line-end translation
    {
        File file;
        ASSERT_TRUE(file.Open(path, File::Mode::Write));
        EXPECT_TRUE(file.Write(data));
        EXPECT_EQ(file.Size(), 6u);
    }
    File file;
    ASSERT_TRUE(file.Open(path, File::Mode::Read));
    EXPECT_EQ(file.Size(), 6u);
    char buffer[16];
    EXPECT_EQ(file.Read(buffer, sizeof buffer), 6u);
    EXPECT_EQ(std::string(buffer, 6), data);
    EXPECT_EQ(file.Read(buffer, sizeof buffer), 0u);
    ASSERT_TRUE(file.Seek(4));
    EXPECT_EQ(file.Read(buffer, 1), 1u);
    EXPECT_EQ(buffer[0], '\x1A');
    EXPECT_FALSE(file.Write("x", 1));  // opened for reading
}

TEST(File, WriteTruncatesAnExistingFile) {
    ScratchFolder scratch;
    test::WriteFile(scratch / "f", "long contents");
    test::WriteFile(scratch / "f", "short");
    EXPECT_EQ(test::ReadFile(scratch / "f"), "short");
}

TEST(File, AccessIsExclusive) {
    ScratchFolder scratch;
    const std::string path = scratch / "held";
    test::WriteFile(path, "kept");
    File holder;
    ASSERT_TRUE(holder.Open(path, File::Mode::Read));
    File other;
    EXPECT_FALSE(other.Open(path, File::Mode::Read));
    // A writer that cannot get the file must not have truncated it either.
    EXPECT_FALSE(other.Open(path, File::Mode::Write));
    holder.Close();
    EXPECT_EQ(test::ReadFile(path), "kept");

    File moved(std::move(holder));
    EXPECT_FALSE(moved.IsOpen());
    ASSERT_TRUE(moved.Open(path, File::Mode::Read));
    File target;
    target = std::move(moved);
    EXPECT_TRUE(target.IsOpen());
    EXPECT_FALSE(other.Open(path, File::Mode::Read));
}

TEST(File, OpenFailsOnFoldersAndMissingFiles) {
    ScratchFolder scratch;
    File file;
    EXPECT_FALSE(file.Open(scratch / "missing", File::Mode::Read));
    EXPECT_FALSE(file.Open(scratch.Path(), File::Mode::Read));
    EXPECT_FALSE(file.Open(scratch / "no-folder\\f", File::Mode::Write));
    EXPECT_FALSE(file.IsOpen());
}

}  // namespace
