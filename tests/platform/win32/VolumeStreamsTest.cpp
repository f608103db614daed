// The named-stream question behind the mark of the web: the volume's own answer decides.

#include "platform/DownloadMark.h"
#include "platform/win32/VolumeStreams.h"
#include "platform/win32/WideText.h"
#include "support/ScratchFolder.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

TEST(VolumeStreams, TheVolumeAnswersAndItsAnswerDecidesWhetherAFileIsMarked) {
    test::ScratchFolder scratch;
    const std::string file = scratch / "a.docx";
    test::WriteFile(file, "PK");
    const std::wstring wide = platform::win32::ToWide(file);

    std::wstring root;
    unsigned long flags = 0;
    ASSERT_TRUE(platform::win32::QueryVolumeFlags(wide, root, flags));
    EXPECT_EQ(wide.compare(0, root.size(), root), 0) << "root of the file's own path";
    const bool keepsStreams = (flags & FILE_NAMED_STREAMS) != 0;
    EXPECT_EQ(platform::win32::VolumeKeepsNamedStreams(wide), keepsStreams);
    EXPECT_EQ(platform::MarkAsDownloaded(file), keepsStreams);
    EXPECT_EQ(GetFileAttributesW((wide + L":Zone.Identifier").c_str()) != INVALID_FILE_ATTRIBUTES,
              keepsStreams);

    EXPECT_FALSE(platform::win32::VolumeKeepsNamedStreams(L"Q:\\no\\such\\drive.txt"));
}

}  // namespace
