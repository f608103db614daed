// What a drop is read as, where it is taken, and the prohibited list every drop loads.

#include "intake/IntakeFixture.h"
#include "policy/ExtensionListFile.h"

#include <algorithm>

namespace {

using test::FakeDroppedData;
using test::ItemContents;
using FileSet = std::set<std::string>;

class DropDispatchTest : public test::IntakeFixture {
protected:
    // The message file the shell drags in the tests below, outside the data folder.
    std::string ShellFile() {
        if (m_strShellFile.empty()) {
            m_strShellFile = m_source.Path() + "\\shell.eml";
            test::WriteFile(m_strShellFile, "shell");
        }
        return m_strShellFile;
    }

    test::ScratchFolder m_source;
    std::string m_strShellFile;
};

TEST_F(DropDispatchTest, DragsOutOfTheAttachmentListAreAcceptedAndIgnored) {
    for (const bool bData : {true, false}) {
        auto data = FakeDroppedData::MailClient({"a.eml"}, {ItemContents{"a"}});
        data.m_fileList = std::vector<std::string>{ShellFile()};
        data.m_bPrivateFormat = true;
        data.m_bPrivateData = bData;
        m_host.m_arrPending = {"left from the last drop"};
        EXPECT_EQ(Drop(data), bData);
        EXPECT_TRUE(m_host.m_arrPending.empty());
        EXPECT_TRUE(data.m_arrOpened.empty());
    }
    EXPECT_TRUE(Files().empty());
    EXPECT_TRUE(m_host.m_arrPosted.empty());
    EXPECT_EQ(m_host.m_progress.nCreated, 0);
}

TEST_F(DropDispatchTest, VirtualFilesAreReadWithTheMailClientsFormatOrWhenTheyAreMessages) {
    struct Case {
        const char* what;
        std::vector<std::string> formatNames;
        const char* itemName;
        bool bFileList;
        bool bResult;
        FileSet files;
    };
    const Case cases[] = {
        {"the name in another case",
         {"FileGroupDescriptor", "outlook express MESSAGES"},
         "a.eml",
         true,
         true,
         {"a.eml"}},
        {"descriptor and file list",
         {"FileGroupDescriptor", "FileContents"},
         "a.eml",
         true,
         true,
         {"shell.eml"}},
        // Outlook's drags: virtual files named as messages, no file list.
        {"descriptor alone", {"FileGroupDescriptor", "FileContents"}, "a.eml", false, true, {"a.eml"}},
        {"an Outlook item", {"FileGroupDescriptor", "FileContents"}, "a.MSG", false, true, {"a.msg"}},
        {"virtual files that are no messages",
         {"FileGroupDescriptor", "FileContents"},
         "a.txt",
         false,
         false,
         {}},
        {"a longer name", {"Outlook Express Messages2"}, "a.txt", false, false, {}},
        {"no formats", {}, "a.txt", false, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto data = FakeDroppedData::MailClient({c.itemName}, {ItemContents{"a"}});
        data.m_arrFormatNames = c.formatNames;
        if (c.bFileList) {
            data.m_fileList = std::vector<std::string>{ShellFile()};
        }
        EXPECT_EQ(Drop(data), c.bResult);
        EXPECT_EQ(Files(), c.files);
        for (const std::string& name : c.files) {
            platform::RemoveFile(InData(name));
        }
    }
}

TEST_F(DropDispatchTest, TheZoneDecidesWhetherAndHowTheDropIsProcessed) {
    const auto drop = [&](std::deque<DropZone> zones) {
        m_host.m_arrZones = std::move(zones);
        m_host.m_arrPosted.clear();
        auto data = FakeDroppedData::Shell({ShellFile()});
        const bool result = Drop(data, {5, 7});
        for (const std::string& name : Files()) {
            platform::RemoveFile(InData(name));
        }
        return result;
    };
    m_host.m_arrPending = {"kept"};
    EXPECT_FALSE(drop({DropZone::None}));
    EXPECT_EQ(m_host.m_arrPending, PendingMessageList{"kept"});
    EXPECT_TRUE(m_host.m_arrPosted.empty());

    EXPECT_TRUE(drop({DropZone::Unsent}));
    EXPECT_EQ(m_host.m_arrPosted, std::vector<std::string>{"unsent"});
    EXPECT_TRUE(drop({DropZone::Extraction}));
    EXPECT_EQ(m_host.m_arrPosted, std::vector<std::string>{"extraction"});
    // The zone of the drop holds even when the window would answer otherwise later.
    EXPECT_TRUE(drop({DropZone::Extraction, DropZone::None}));
    EXPECT_EQ(m_host.m_arrPosted, std::vector<std::string>{"extraction"});
    EXPECT_EQ(m_host.m_arrPoints.back().x, 5);
    EXPECT_EQ(m_host.m_arrPoints.back().y, 7);

    for (const DropZone zone : {DropZone::None, DropZone::Extraction, DropZone::Unsent}) {
        m_host.m_arrZones = {zone};
        EXPECT_EQ(m_intake.AcceptsDropAt(m_host, {9, 11}), zone != DropZone::None);
        EXPECT_EQ(m_host.m_arrPoints.back().x, 9);
        EXPECT_EQ(m_host.m_arrPoints.back().y, 11);
    }
}

TEST_F(DropDispatchTest, OutlookItemsAreRefusedInTheUnsentZone) {
    // An Outlook item cannot become an unsent MIME draft: the whole drop is refused there,
    // from Outlook as from the shell, and taken in the extraction zone.
    const std::string item = m_source.Path() + "\\item.msg";
    test::WriteFile(item, "item");
    for (const DropZone zone : {DropZone::Unsent, DropZone::Extraction}) {
        SCOPED_TRACE(zone == DropZone::Unsent ? "unsent" : "extraction");
        m_host.m_arrZones = {zone};
        auto outlook = FakeDroppedData::MailClient({"a.eml", "b.msg"}, {ItemContents{"a"}, ItemContents{"b"}});
        outlook.m_arrFormatNames = {"FileGroupDescriptorW", "FileContents"};
        auto shell = FakeDroppedData::Shell({ShellFile(), item});
        for (FakeDroppedData* data : {&outlook, &shell}) {
            m_host.m_arrPosted.clear();
            EXPECT_EQ(Drop(*data), zone == DropZone::Extraction);
            EXPECT_EQ(m_host.m_arrPosted.size(), zone == DropZone::Extraction ? 1u : 0u);
            EXPECT_EQ(Files().empty(), zone == DropZone::Unsent);
            for (const std::string& name : Files()) {
                platform::RemoveFile(InData(name));
            }
        }
        EXPECT_EQ(outlook.m_arrOpened.empty(), zone == DropZone::Unsent);
    }
}

TEST_F(DropDispatchTest, EveryDropReloadsTheProhibitedList) {
    // Before any list file was read the defaults are in force, "alert" with them.
    const auto& initial = m_intake.GetProhibitedList().GetExtensions();
    EXPECT_NE(std::find(initial.begin(), initial.end(), "exe"), initial.end());
    EXPECT_EQ(initial.back(), "alert");

    ASSERT_TRUE(SaveExtensionList(InData(kProhibitedListFileName), CExtensionList({"zip"}, {"z"})));
    FakeDroppedData ignored;
    ignored.m_bPrivateFormat = true;
    Drop(ignored);
    EXPECT_EQ(m_intake.GetProhibitedList().GetExtensions(),
              (std::vector<std::string>{"zip", "alert"}));

    // A list file that cannot be read leaves the list of the last drop.
    test::WriteFile(InData(kProhibitedListFileName), std::string("\xFF\xFF", 2));
    Drop(ignored);
    platform::RemoveFile(InData(kProhibitedListFileName));
    Drop(ignored);
    EXPECT_EQ(m_intake.GetProhibitedList().GetExtensions(),
              (std::vector<std::string>{"zip", "alert"}));
}

TEST_F(DropDispatchTest, WithoutADataFolderNothingIsSaved) {
    for (const std::string& folder : {std::string("\\"), InData("missing\\")}) {
        SCOPED_TRACE(folder);
        CMailIntake intake(folder);
        auto mail = FakeDroppedData::MailClient({"a.eml"}, {ItemContents{"a"}});
        EXPECT_FALSE(intake.OnDrop(m_host, mail, {1, 1}));
        auto shell = FakeDroppedData::Shell({ShellFile()});
        EXPECT_FALSE(intake.OnDrop(m_host, shell, {1, 1}));
        EXPECT_EQ(intake.IntakeFiles({ShellFile()}), std::nullopt);
    }
    EXPECT_TRUE(Files().empty());
    EXPECT_TRUE(m_host.m_arrPosted.empty());
}

}  // namespace
