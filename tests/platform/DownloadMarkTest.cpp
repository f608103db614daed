// The backend's mark of the web: written only where the volume keeps named streams, and never
// as a file of its own beside the marked one.

#include "platform/DownloadMark.h"

#include "platform/File.h"
#include "platform/FileSystem.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr char kInternetZoneMark[] = "[ZoneTransfer]\r\nZoneId=3\r\n";

std::vector<std::string> Names(const std::string& folder) {
    std::vector<platform::FoundEntry> entries;
    EXPECT_TRUE(platform::FindEntries(folder + "\\*.*", entries));
    std::vector<std::string> names;
    for (const platform::FoundEntry& entry : entries) {
        names.push_back(entry.name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(DownloadMark, TheBackendMarksInAStreamOrNotAtAllAndLeavesTheFileAsItWas) {
    test::ScratchFolder source;
    test::ScratchFolder target;
    // A dropped message with a mark: a stream where there are streams, and elsewhere (under
    // Wine) a file of that name, which must not be taken for a mark.
    const std::string dropped = source / "dropped.eml";
    test::WriteFile(dropped, "message");
    test::WriteFile(dropped + ":Zone.Identifier", "[ZoneTransfer]\r\nZoneId=3\r\nHostUrl=x\r\n");
    const std::string document = target / "報告.docx";
    const std::string copy = target / "copy.eml";
    test::WriteFile(document, "PK document");
    test::WriteFile(copy, "message");

    const bool marked = platform::MarkAsDownloaded(document);
    const bool copied = platform::CopyDownloadMark(dropped, copy);

    EXPECT_EQ(Names(target.Path()), (std::vector<std::string>{"copy.eml", "報告.docx"}));
    EXPECT_EQ(test::ReadFile(document), "PK document");
    EXPECT_EQ(test::ReadFile(copy), "message");
    // Both files lie on one volume: it keeps streams for both or for neither.
    EXPECT_EQ(marked, copied);
    if (marked) {
        EXPECT_EQ(test::ReadFile(document + ":Zone.Identifier"), kInternetZoneMark);
        EXPECT_EQ(test::ReadFile(copy + ":Zone.Identifier"),
                  "[ZoneTransfer]\r\nZoneId=3\r\nHostUrl=x\r\n");
    }
}

TEST(DownloadMark, NothingIsMarkedOrCopiedFromFilesThatAreNotThere) {
    test::ScratchFolder scratch;
    EXPECT_FALSE(platform::MarkAsDownloaded(scratch / "missing.txt"));
    EXPECT_FALSE(platform::MarkAsDownloaded(""));
    test::WriteFile(scratch / "unmarked.eml", "m");
    test::WriteFile(scratch / "copy.eml", "m");
    EXPECT_FALSE(platform::CopyDownloadMark(scratch / "unmarked.eml", scratch / "copy.eml"));
    EXPECT_FALSE(platform::CopyDownloadMark(scratch / "missing.eml", scratch / "copy.eml"));
    EXPECT_EQ(Names(scratch.Path()), (std::vector<std::string>{"copy.eml", "unmarked.eml"}));
}

}  // namespace
