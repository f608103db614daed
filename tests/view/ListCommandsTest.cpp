// Open decisions, deletes, the unsent target and the rows' contents of the attachment list.

#include "platform/FileSystem.h"
#include "policy/ExtensionList.h"
#include "support/OutlookItemBuilder.h"
#include "view/ListFixture.h"
#include "view/RowContent.h"

namespace {

using list::OpenAction;
using test::Exists;

CExtensionList Allowed(std::vector<std::string> extensions) {
    return CExtensionList(std::move(extensions), {});
}

TEST(ListOpenDecision, OnlyAllowedAndHarmlessExtensionsOpen) {
    const CExtensionList allowed = Allowed({"pdf", "exe", "alert"});
    EXPECT_EQ(CListCommands::DecideOpen("pdf", allowed), OpenAction::ShellOpen);
    EXPECT_EQ(CListCommands::DecideOpen("pdf", Allowed({"txt"})), OpenAction::NotAllowed);
    EXPECT_EQ(CListCommands::DecideOpen("exe", allowed), OpenAction::Dangerous);
    EXPECT_EQ(CListCommands::DecideOpen("", allowed), OpenAction::Dangerous);  // no period
}

class ListCommandsTest : public test::ListFixture {
protected:
    void SetUp() override {
        MakeStore({{"r0", {"a.pdf", "b.exe.alert", "c.EML", "noext"}},
                   {"r1", {"only.txt"}},
                   {"r2", {"x.txt", "y.txt"}}});
    }
};

TEST_F(ListCommandsTest, DoubleClickActsOnTheAttachmentUnderTheCursor) {
    const CExtensionList allowed = Allowed({"pdf"});
    std::string path;
    bool bPassOn = false;
    // Before any press on an attachment the double-click is ignored altogether.
    EXPECT_EQ(m_commands.OnDoubleClick(RowPoint(1), allowed, path, bPassOn), OpenAction::None);
    EXPECT_FALSE(bPassOn);

    struct Case {
        int row;
        OpenAction action;
    };
    const Case cases[] = {{1, OpenAction::ShellOpen},
                          {2, OpenAction::ShowAlert},
                          {3, OpenAction::NotAllowed},
                          {4, OpenAction::Dangerous}};
    for (const Case& c : cases) {
        m_selection.OnLeftPress(RowPoint(c.row), false);
        EXPECT_EQ(m_commands.OnDoubleClick(RowPoint(c.row), allowed, path, bPassOn), c.action)
            << c.row;
        EXPECT_EQ(path, m_store.m_arrAttachments[static_cast<std::size_t>(c.row - 1)]);
    }
    // On a record row: the default handling.
    m_selection.OnLeftPress(RowPoint(1), false);
    EXPECT_EQ(m_commands.OnDoubleClick(RowPoint(0), allowed, path, bPassOn), OpenAction::None);
    EXPECT_TRUE(bPassOn);
}

TEST_F(ListCommandsTest, EnterOpensOnlyASingleSelection) {
    const CExtensionList allowed = Allowed({"pdf"});
    std::string path;
    EXPECT_EQ(m_commands.OnOpenSelected(allowed, path), OpenAction::None);  // the record row
    Select({0, 1});
    EXPECT_EQ(m_commands.OnOpenSelected(allowed, path), OpenAction::None);
    Select({0});
    EXPECT_EQ(m_commands.OnOpenSelected(allowed, path), OpenAction::ShellOpen);
    // An alert file by Enter is judged by the allowed list, not shown.
    Select({1});
    EXPECT_EQ(m_commands.OnOpenSelected(allowed, path), OpenAction::NotAllowed);
}

TEST_F(ListCommandsTest, EnableStates) {
    EXPECT_TRUE(m_commands.IsDeleteEnabled());  // the record row
    Select({});
    EXPECT_FALSE(m_commands.IsDeleteEnabled());
    Select({3});
    EXPECT_TRUE(m_commands.IsDeleteEnabled());
    EXPECT_FALSE(m_commands.IsMakeUnsentEnabled(true));  // not a message
    Select({2});                                         // c.EML
    EXPECT_FALSE(m_commands.IsMakeUnsentEnabled(false));
    EXPECT_TRUE(m_commands.IsMakeUnsentEnabled(true));
    EXPECT_EQ(m_commands.GetUnsentTarget(), m_store.m_arrAttachments[2]);
    Select({2, 3});
    EXPECT_FALSE(m_commands.IsMakeUnsentEnabled(true));
}

TEST_F(ListCommandsTest, DeletingSelectedAttachmentsKeepsTheRecord) {
    Select({0, 3});
    const std::string a = m_store.m_arrAttachments[0];
    m_commands.DeleteSelection();
    EXPECT_FALSE(Exists(a));
    EXPECT_EQ(m_store.m_arrAttachments.size(), 2u);
    EXPECT_EQ(m_store.m_arrSelected, (std::vector<std::uint16_t>{0, 0}));
    EXPECT_EQ(m_store.m_strOpenRecord, Att("r0"));
    EXPECT_EQ(m_layout.GetTotalSize().cy, 5 * 38);
    EXPECT_TRUE(m_layout.TakeUpdate().bInvalidateAll);
}

TEST_F(ListCommandsTest, DeletingTheOnlyAttachmentRemovesTheRecordAndOpensTheNext) {
    Open(1);
    Select({0});
    m_commands.DeleteSelection();
    EXPECT_FALSE(Exists(D() + "r1"));
    EXPECT_FALSE(Exists(Att("r1")));
    EXPECT_EQ(m_store.m_arrRecords, (std::vector<std::string>{Att("r0"), Att("r2")}));
    EXPECT_EQ(test::ListFileOf(D()), m_store.m_arrRecords);
    EXPECT_EQ(m_store.m_strOpenRecord, Att("r2"));
    EXPECT_TRUE(m_store.m_bRecordRowSelected);
    EXPECT_EQ(m_layout.GetTotalSize().cy, 4 * 38);
}

TEST_F(ListCommandsTest, DeletingTheLastRecordOpensTheNewLastOne) {
    Open(2);
    m_commands.DeleteSelection();  // its row is selected
    EXPECT_FALSE(Exists(D() + "r2"));
    EXPECT_EQ(m_store.m_strOpenRecord, Att("r1"));
    EXPECT_TRUE(m_store.m_bRecordRowSelected);
    EXPECT_EQ(m_store.m_arrAttachments.size(), 1u);
}

TEST_F(ListCommandsTest, NothingSelectedDeletesNothing) {
    Open(1);
    Select({});
    m_commands.DeleteSelection();
    EXPECT_TRUE(Exists(Att("r1")));
    EXPECT_EQ(m_store.m_arrRecords.size(), 3u);
}

TEST_F(ListCommandsTest, DeleteAllEmptiesTheList) {
    // An unlisted record folder without record file stays, and so does a file that only
    // looks like a record file to the pattern.
    ASSERT_EQ(platform::MakeFolder(D() + "orphan"), platform::MakeFolderResult::Created);
    test::WriteFile(D() + "orphan\\keep.txt", "k");
    test::WriteFile(D() + "z.attx", "z");
    m_commands.DeleteAll();
    EXPECT_TRUE(m_store.m_arrRecords.empty());
    EXPECT_TRUE(test::ListFileOf(D()).empty());
    EXPECT_TRUE(m_store.m_strOpenRecord.empty());
    EXPECT_FALSE(m_store.m_bRecordRowSelected);
    EXPECT_TRUE(m_store.m_arrAttachments.empty());
    EXPECT_EQ(m_layout.GetTotalSize().cy, 0);
    EXPECT_FALSE(Exists(D() + "r0"));
    EXPECT_TRUE(Exists(D() + "orphan\\keep.txt"));
    EXPECT_TRUE(Exists(D() + "z.attx"));
}

TEST_F(ListCommandsTest, RowsShowTheirRecordAndFiles) {
    const list::RecordRowContent record = list::DescribeRecordRow(Att("r0"));
    EXPECT_TRUE(record.bDraw);
    EXPECT_EQ(record.strSubject, "subject\r");
    EXPECT_EQ(record.strDetails, "    2004年12月06日 10:20:30    from");
    EXPECT_FALSE(list::DescribeRecordRow(Att("gone")).bDraw);

    const CExtensionList allowed = Allowed({"pdf"});
    const std::vector<std::string>& files = m_store.m_arrAttachments;
    list::AttachmentRowContent row = list::DescribeAttachmentRow(files[0], allowed);  // a.pdf
    EXPECT_TRUE(row.bDraw);
    EXPECT_FALSE(row.bAlert);
    EXPECT_EQ(row.nOverlay, 0);
    EXPECT_EQ(row.strText, "a.pdf\r\n   13 bytes");
    EXPECT_EQ(list::DescribeAttachmentRow(files[0], Allowed({})).nOverlay, 154);
    EXPECT_EQ(list::DescribeAttachmentRow(files[3], allowed).nOverlay, 153);  // noext

    row = list::DescribeAttachmentRow(files[1], allowed);  // b.exe.alert
    EXPECT_TRUE(row.bAlert);
    EXPECT_EQ(row.strText, std::string("b.exe\r\n   ") + list::kAlertRowText);

    // A message shows its summary; one without a complete header shows as a file.
    EXPECT_EQ(list::DescribeAttachmentRow(files[2], allowed).strText, "c.EML\r\n   13 bytes");
    test::WriteFile(D() + "r0\\m.eml",
                    "From: a@example.jp\r\nSubject: hello\r\n"
                    "Date: Mon, 6 Dec 2004 10:20:30 +0900\r\n\r\nbody\r\n");
    EXPECT_EQ(list::DescribeAttachmentRow(D() + "r0\\m.eml", allowed).strText,
              "hello\r\n    2004年12月06日 10:20:30    a@example.jp");
    // So does an attached Outlook item; a damaged one shows as a file.
    test::MsgObject item;
    item.Text(0x001A, u"IPM.Note").Text(0x0037, u"転送").Text(0x5D01, u"b@example.jp");
    const std::string itemBytes = test::BuildItem(item);
    test::WriteFile(D() + "r0\\message.msg", itemBytes);
    EXPECT_EQ(list::DescribeAttachmentRow(D() + "r0\\message.msg", allowed).strText,
              "転送\r\n        b@example.jp");
    test::WriteFile(D() + "r0\\message.msg", itemBytes.substr(0, 600));
    EXPECT_EQ(list::DescribeAttachmentRow(D() + "r0\\message.msg", allowed).strText,
              "message.msg\r\n   600 bytes");

    EXPECT_FALSE(list::DescribeAttachmentRow(D() + "r0\\gone.txt", allowed).bDraw);
}

}  // namespace
