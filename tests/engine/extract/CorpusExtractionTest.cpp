// Every real message of the corpus through the whole extraction, with the default
// prohibited list: no failure, no crash, nothing outside the data folder.

#include "engine/extract/Progress.h"
#include "engine/mime/MailParser.h"
#include "platform/FileSystem.h"
#include "policy/DefaultExtensionLists.h"
#include "policy/ExtensionListFile.h"
#include "support/Corpus.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

TEST(CorpusExtraction, EveryMessageExtractsInsideItsStagingFolder) {
    const std::vector<std::string> messages = test::CorpusMessages();
    if (messages.empty()) {
        GTEST_SKIP() << "no corpus at " << test::CorpusFolder();
    }
    CExtensionList prohibited = DefaultProhibitedList();
    prohibited.Add(kAlertExtension);
    test::ScratchFolder data;
    const std::string dataFolder = data.Path() + "\\";
    CNoProgress progress;
    int records = 0, files = 0, alerts = 0;
    for (const std::string& path : messages) {
        SCOPED_TRACE(path);
        ASSERT_TRUE(platform::CopyFileTo(path, dataFolder + "M.eml", true));
        CMailParser parser(dataFolder);
        const std::string staging =
            parser.ExtractAttachments(dataFolder + "M.eml", prohibited, progress, 0, 100);
        EXPECT_FALSE(platform::QueryAttributes(dataFolder + "M.eml")) << "message not consumed";

        std::vector<platform::FoundEntry> entries;
        ASSERT_TRUE(platform::FindEntries(dataFolder + "*.*", entries));
        if (staging.empty()) {
            EXPECT_EQ(entries.size(), 1u);  // the scan folder alone
            EXPECT_FALSE(platform::QueryAttributes(dataFolder + "scanvirus\\M"));
            continue;
        }
        ++records;
        EXPECT_EQ(staging, dataFolder + "scanvirus\\M");
        EXPECT_EQ(entries.size(), 2u);  // the record file and the scan folder
        EXPECT_TRUE(platform::QueryAttributes(dataFolder + "M.att"));
        std::vector<platform::FoundEntry> written;
        ASSERT_TRUE(platform::FindEntries(staging + "\\*.*", written));
        EXPECT_FALSE(written.empty());
        for (const platform::FoundEntry& entry : written) {
            EXPECT_FALSE(entry.isFolder) << entry.name;
            const bool alert = entry.name.size() > 6 &&
                               entry.name.compare(entry.name.size() - 6, 6, ".alert") == 0;
            ++(alert ? alerts : files);
        }
        test::DeleteTree(staging);
        platform::RemoveFile(dataFolder + "M.att");
    }
    std::printf("corpus extraction: %zu messages, %d records, %d attachments, %d alert files\n",
                messages.size(), records, files, alerts);
    EXPECT_GT(records, 0);
}

}  // namespace
