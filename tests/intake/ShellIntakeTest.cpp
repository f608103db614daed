// Drops of message files from the shell, and the same intake without a window.

#include "intake/IntakeFixture.h"
#include "policy/ExtensionListFile.h"
#include "support/RecordingDownloadMarker.h"

namespace {

using test::FakeDroppedData;
using FileSet = std::set<std::string>;

class ShellIntakeTest : public test::IntakeFixture {
protected:
    // A file of the user's, outside the data folder.
    std::string Source(const std::string& name, const std::string& data) {
        const std::string path = m_source / name;
        test::WriteFile(path, data);
        return path;
    }

    bool DropFiles(const std::vector<std::string>& paths) {
        m_host.m_arrPosted.clear();
        auto data = FakeDroppedData::Shell(paths);
        return Drop(data);
    }

    test::ScratchFolder m_source;
};

TEST_F(ShellIntakeTest, MessageFilesAreCopiedInTheOrderOfTheList) {
    const std::vector<std::string> paths{Source("a.eml", "A"), Source("b.txt", "B"),
                                         Source("c.EML", "C")};
    EXPECT_TRUE(DropFiles(paths));
    EXPECT_EQ(m_host.m_arrPending, (PendingMessageList{InData("a.eml"), InData("c.eml")}));
    EXPECT_EQ(test::ReadFile(InData("a.eml")), "A");
    EXPECT_EQ(test::ReadFile(InData("c.eml")), "C");
    EXPECT_EQ(Files(), (FileSet{"a.eml", "c.eml"}));
    EXPECT_EQ(m_host.m_arrPosted, std::vector<std::string>{"extraction"});
    EXPECT_EQ(m_host.m_progress.nCreated, 0);
    // The user's files are only read.
    EXPECT_EQ(test::ReadFile(paths[0]), "A");
    EXPECT_EQ(test::ReadFile(paths[2]), "C");
}

TEST_F(ShellIntakeTest, NamesOfEarlierMessagesAreNotReused) {
    test::WriteFile(InData("a.att"), "record");
    const std::string a = Source("a.eml", "A");
    EXPECT_TRUE(DropFiles({a}));
    EXPECT_EQ(m_host.m_arrPending, PendingMessageList{InData("a(1).eml")});
    EXPECT_TRUE(DropFiles({a}));
    EXPECT_EQ(m_host.m_arrPending, PendingMessageList{InData("a(2).eml")});
    // A file named only ".eml" has an empty base, which names the data folder.
    EXPECT_TRUE(DropFiles({Source(".eml", "E")}));
    EXPECT_EQ(m_host.m_arrPending, PendingMessageList{InData("(1).eml")});
    EXPECT_EQ(test::ReadFile(InData("(1).eml")), "E");
    // Two names that the file system stores alike ("invoice." is made as "invoice") are two
    // copies, never one folder (the list is copied from its end).
    EXPECT_TRUE(DropFiles({Source("invoice.eml", "1"), Source("invoice..eml", "2")}));
    EXPECT_EQ(m_host.m_arrPending,
              (PendingMessageList{InData("invoice(1).eml"), InData("invoice.eml")}));
    EXPECT_EQ(test::ReadFile(InData("invoice.eml")), "2");
}

TEST_F(ShellIntakeTest, FilesThatCannotBeReadAreNamed) {
    ASSERT_EQ(platform::MakeFolder(m_source / "folder.eml"), platform::MakeFolderResult::Created);
    EXPECT_TRUE(
        DropFiles({m_source / "missing.eml", m_source / "folder.eml", Source("ok.eml", "O")}));
    EXPECT_EQ(m_host.m_arrPending, PendingMessageList{InData("ok.eml")});
    EXPECT_EQ(Files(), FileSet{"ok.eml"});
    EXPECT_EQ(m_host.m_arrWarnings,
              std::vector<std::string>{
                  "次のファイルを読み込めませんでした。\n\nmissing.eml\nfolder.eml"});
    EXPECT_EQ(m_host.m_arrPosted, std::vector<std::string>{"extraction"});

    // Nothing could be read: no success, nothing processed, and the user is told.
    m_host.m_arrWarnings.clear();
    EXPECT_FALSE(DropFiles({Source("b.txt", "B"), m_source / "missing.eml"}));
    EXPECT_TRUE(m_host.m_arrPending.empty());
    EXPECT_TRUE(m_host.m_arrPosted.empty());
    EXPECT_EQ(m_host.m_arrWarnings.size(), 1u);

    // Nothing to save at all: the drop succeeds, silently.
    m_host.m_arrWarnings.clear();
    EXPECT_TRUE(DropFiles({Source("b.txt", "B")}));
    EXPECT_TRUE(m_host.m_arrWarnings.empty());
}

// Names code page 932 cannot hold come from the adaptor with "?" in place of each such
// character (never a look-alike): the file is read through the data object all the same,
// and its copy is named by the name rules.
TEST_F(ShellIntakeTest, NamesShiftJisCannotHoldAreReadThroughTheDataObject) {
    auto data = FakeDroppedData::Shell({m_source / "r?sum?.eml", m_source / "価格?1000.eml",
                                        m_source / "報告書.eml"});
    data.m_arrListed = {std::string("R"), std::string("P"), std::string("H")};
    EXPECT_TRUE(Drop(data));
    EXPECT_EQ(m_host.m_arrPending, (PendingMessageList{InData("r_sum_.eml"),
                                                       InData("価格_1000.eml"), InData("報告書.eml")}));
    EXPECT_EQ(test::ReadFile(InData("r_sum_.eml")), "R");
    EXPECT_EQ(test::ReadFile(InData("価格_1000.eml")), "P");
    EXPECT_EQ(test::ReadFile(InData("報告書.eml")), "H");
    EXPECT_TRUE(m_host.m_arrWarnings.empty());
}

TEST_F(ShellIntakeTest, WhenNoNameIsLeftTheDropLeavesNothingBehind) {
    test::WriteFile(InData("M.eml"), "earlier");
    for (int number = 1; number <= kMaxCopyNumber; ++number) {
        test::WriteFile(InData("M(" + std::to_string(number) + ").att"), "record");
    }
    const FileSet before = Files();
    // The last file of the list is saved first, then the search for "M" fails.
    const std::vector<std::string> paths{Source("M.eml", "new M"), Source("ok.eml", "O")};
    EXPECT_FALSE(DropFiles(paths));
    EXPECT_EQ(Files(), before);
    EXPECT_TRUE(m_host.m_arrPending.empty());
    EXPECT_TRUE(m_host.m_arrPosted.empty());
    EXPECT_EQ(test::ReadFile(paths[0]), "new M");
    EXPECT_EQ(test::ReadFile(paths[1]), "O");
    EXPECT_EQ(m_intake.IntakeFiles(paths), std::nullopt);
    EXPECT_EQ(Files(), before);
}

TEST_F(ShellIntakeTest, FilesCanBeTakenInWithoutAWindow) {
    ASSERT_TRUE(SaveExtensionList(InData(kProhibitedListFileName), CExtensionList({"zip"}, {""})));
    const auto pending = m_intake.IntakeFiles(
        {Source("x.eml", "X"), Source("notes.txt", "N"), Source("y.eml", "Y")});
    EXPECT_EQ(pending, (PendingMessageList{InData("x.eml"), InData("y.eml")}));
    EXPECT_EQ(m_intake.GetProhibitedList().GetExtensions(),
              (std::vector<std::string>{"zip", "alert"}));
    EXPECT_TRUE(m_host.m_arrPosted.empty());
}

TEST_F(ShellIntakeTest, EachCopyKeepsTheMarkOfItsMessageFile) {
    for (const bool failingMarks : {false, true}) {
        SCOPED_TRACE(failingMarks ? "failing marks" : "marks");
        test::RecordingDownloadMarker marker(failingMarks);
        const std::vector<std::string> paths{Source("a.eml", "A"), Source("b.txt", "B"),
                                             m_source / "missing.eml", Source("c.eml", "C")};
        EXPECT_TRUE(DropFiles(paths));
        // Asked of every copy made, from its own original; whether there was a mark to keep
        // is the platform's to find out.
        using Copy = std::pair<std::string, std::string>;
        EXPECT_EQ(marker.m_arrCopied,
                  (std::vector<Copy>{{paths[3], InData("c.eml")}, {paths[0], InData("a.eml")}}));
        EXPECT_TRUE(marker.m_arrMarked.empty());
        EXPECT_EQ(m_host.m_arrPending, (PendingMessageList{InData("a.eml"), InData("c.eml")}));
        EXPECT_EQ(test::ReadFile(InData("c.eml")), "C");
        EXPECT_EQ(m_host.m_arrPosted, std::vector<std::string>{"extraction"});
        for (const std::string& copy : m_host.m_arrPending) {
            platform::RemoveFile(copy);
        }
    }
}

}  // namespace
