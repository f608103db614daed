// The OLE drop target on a real window that answers the drop target's messages, fed by a
// test data object: what each kind of drag saves, what is posted, and what is refused.

#include "engine/outlook/OutlookItem.h"
#include "intake/win/MailDropTarget.h"
#include "platform/File.h"
#include "platform/FileSystem.h"
#include "platform/win32/WideText.h"
#include "support/OutlookItemBuilder.h"
#include "support/ScratchFolder.h"
#include "ui/AppMessages.h"
#include "ui/WindowBase.h"
#include "ui/support/TestDataObject.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace {

using test::CTestDataObject;
using test::VirtualFile;

// Asks the window to start a drop of its own while another is being handled.
constexpr UINT kNestedDrop = WM_APP + 40;

// A window as the drop window and the list view are to the drop target.
class CDropTestWindow : public ui::CWindowBase {
public:
    PendingMessageList m_arrPending;
    LRESULT m_nZone = 1;
    bool m_bRunInProgress = false;
    std::vector<POINT> m_arrZoneTests;
    std::vector<UINT> m_arrPosted;
    IDropTarget* m_pTarget = nullptr;
    IDataObject* m_pNestedData = nullptr;
    DWORD m_nNestedEnter = 0xFF;
    DWORD m_nNestedDrop = 0xFF;

protected:
    bool OnMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) override {
        switch (message) {
            case ui::WM_GET_PENDING_LIST:
                result = reinterpret_cast<LRESULT>(&m_arrPending);
                return true;
            case ui::WM_DROP_ZONE_TEST:
                m_arrZoneTests.push_back(
                    POINT{static_cast<short>(LOWORD(wParam)), static_cast<short>(HIWORD(wParam))});
                // A run still walks the pending list: no drop may refill it.
                result = m_bRunInProgress ? 0 : m_nZone;
                return true;
            case ui::WM_EXTRACT_PENDING:
            case ui::WM_UNSENT_PENDING:
                m_arrPosted.push_back(message);
                result = 0;
                return true;
            case kNestedDrop: {
                POINTL point{0, 0};
                m_nNestedEnter = DROPEFFECT_COPY;
                m_pTarget->DragEnter(m_pNestedData, MK_LBUTTON, point, &m_nNestedEnter);
                m_nNestedDrop = DROPEFFECT_COPY;
                m_pTarget->Drop(m_pNestedData, MK_LBUTTON, point, &m_nNestedDrop);
                result = 0;
                return true;
            }
            default:
                return false;
        }
    }
};

void PumpWaitingMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

std::wstring Wide(const std::string& path) {
    return platform::win32::ToWide(path);
}

// Bytes a copy must keep: CR LF, a bare LF, a zero, 8-bit bytes, and more than one chunk.
std::string Message(char tag, std::size_t size = 0) {
    std::string message = std::string("Subject: ") + tag + "\r\n\r\nline\nzero " +
                          std::string(1, '\0') + " \xFF\x81\r\n";
    message.resize(std::max(size, message.size()), tag);
    return message;
}

class MailDropTargetTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        ASSERT_TRUE(m_window.Create(L"MorvekDropTestWindow", 0, WS_POPUP, L"drop",
                                    RECT{100, 120, 300, 220}, nullptr));
        m_pTarget = CMailDropTarget::CreateInstance(m_data.Path() + "\\");
        ASSERT_TRUE(m_pTarget->Register(m_window.GetHwnd()));
        m_window.m_pTarget = m_pTarget;
        m_pData = CTestDataObject::Create();
    }

    void TearDown() override {
        m_pData->Release();
        m_pTarget->Revoke();
        m_pTarget->Release();
        DestroyWindow(m_window.GetHwnd());
        OleUninitialize();
    }

    // The screen point of client point (30, 40).
    POINTL DropPoint() const {
        POINT point{30, 40};
        ClientToScreen(m_window.GetHwnd(), &point);
        return POINTL{point.x, point.y};
    }

    // Enter, move and drop at the drop point: the three effects, after the window has
    // received what was posted to it.
    std::vector<DWORD> DragAndDrop(IDataObject* data) {
        std::vector<DWORD> effects(3, DROPEFFECT_COPY);
        EXPECT_EQ(m_pTarget->DragEnter(data, MK_LBUTTON, DropPoint(), &effects[0]), S_OK);
        EXPECT_EQ(m_pTarget->DragOver(MK_LBUTTON, DropPoint(), &effects[1]), S_OK);
        EXPECT_EQ(m_pTarget->Drop(data, 0, DropPoint(), &effects[2]), S_OK);
        PumpWaitingMessages();
        return effects;
    }

    std::string InData(const std::string& name) const { return m_data / name; }

    std::vector<std::string> DataFiles() const {
        std::vector<platform::FoundEntry> entries;
        platform::FindEntries(m_data / "*.*", entries);
        std::vector<std::string> names;
        for (const platform::FoundEntry& entry : entries) {
            names.push_back(entry.name);
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    std::wstring Source(const std::string& name, const std::string& data) {
        test::WriteFile(m_source / name, data);
        return Wide(m_source / name);
    }

    const std::vector<DWORD> kCopied{DROPEFFECT_COPY, DROPEFFECT_COPY, DROPEFFECT_COPY};
    const std::vector<DWORD> kRefused{DROPEFFECT_NONE, DROPEFFECT_NONE, DROPEFFECT_NONE};

    test::ScratchFolder m_data;
    test::ScratchFolder m_source;
    CDropTestWindow m_window;
    CMailDropTarget* m_pTarget = nullptr;
    CTestDataObject* m_pData = nullptr;
};

TEST_F(MailDropTargetTest, ShellFilesAreCopiedInListOrderAndSentToExtraction) {
    m_pData->OfferFileList(
        {Source("a.eml", "A"), Source("b.txt", "B"), Source("c.EML", Message('c'))});
    EXPECT_EQ(DragAndDrop(m_pData), kCopied);
    EXPECT_EQ(m_window.m_arrPending, (PendingMessageList{InData("a.eml"), InData("c.eml")}));
    EXPECT_EQ(test::ReadFile(InData("a.eml")), "A");
    EXPECT_EQ(test::ReadFile(InData("c.eml")), Message('c'));
    EXPECT_EQ(DataFiles(), (std::vector<std::string>{"a.eml", "c.eml"}));
    EXPECT_EQ(m_window.m_arrPosted, std::vector<UINT>{ui::WM_EXTRACT_PENDING});
    // Every zone test asked about the client point under the cursor.
    ASSERT_FALSE(m_window.m_arrZoneTests.empty());
    for (const POINT& point : m_window.m_arrZoneTests) {
        EXPECT_EQ(point.x, 30);
        EXPECT_EQ(point.y, 40);
    }
    EXPECT_EQ(m_pData->GetContentsCalls(), 0);
}

// Names code page 932 cannot hold: "é", and "¥" (U+00A5), which a best-fit conversion turns
// into a backslash. Each file is read through the path the shell gave, and its copy is named
// with "_" for what Shift_JIS has not.
TEST_F(MailDropTargetTest, ShellFilesWhoseNamesShiftJisCannotHoldAreCopied) {
    const std::vector<std::pair<std::wstring, std::string>> files = {
        {L"r\u00E9sum\u00E9.eml", "r_sum_.eml"},
        {L"\u4FA1\u683C\u00A51000.eml", "価格_1000.eml"},
        {L"\u5831\u544A\u66F8.eml", "報告書.eml"},
    };
    std::vector<std::wstring> paths;
    for (const auto& [name, copy] : files) {
        const std::wstring path = Wide(m_source.Path()) + L"\\" + name;
        const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(file, copy.data(), static_cast<DWORD>(copy.size()), &written, nullptr);
        CloseHandle(file);
        paths.push_back(path);
    }
    m_pData->OfferFileList(paths);
    EXPECT_EQ(DragAndDrop(m_pData), kCopied);
    EXPECT_EQ(m_window.m_arrPending,
              (PendingMessageList{InData("r_sum_.eml"), InData("価格_1000.eml"),
                                  InData("報告書.eml")}));
    for (const auto& [name, copy] : files) {
        EXPECT_EQ(test::ReadFile(InData(copy)), copy);
    }
    EXPECT_EQ(m_window.m_arrPosted, std::vector<UINT>{ui::WM_EXTRACT_PENDING});
}

TEST_F(MailDropTargetTest, MailClientMessagesAreCopiedWholeNewestFirst) {
    // The contents come as a stream or as global memory.
    const std::string second = Message('2', 3 * 262144 + 17);
    m_pData->OfferVirtualFiles(
        {{"予定表.eml", Message('1'), TYMED_HGLOBAL}, {"second.eml", second, TYMED_ISTREAM}});
    EXPECT_EQ(DragAndDrop(m_pData), kCopied);
    EXPECT_EQ(m_window.m_arrPending,
              (PendingMessageList{InData("second.eml"), InData("予定表.eml")}));
    EXPECT_EQ(test::ReadFile(InData("予定表.eml")), Message('1'));
    EXPECT_EQ(test::ReadFile(InData("second.eml")), second);
    EXPECT_EQ(m_window.m_arrPosted, std::vector<UINT>{ui::WM_EXTRACT_PENDING});
    // The progress dialog has gone and given the window back.
    EXPECT_TRUE(IsWindowEnabled(m_window.GetHwnd()));
}

TEST_F(MailDropTargetTest, VirtualFilesOfOtherProgramsAreReadByTheirFileList) {
    m_pData->OfferVirtualFiles({{"virtual.eml", "V"}}, false);
    m_pData->OfferFileList({Source("listed.eml", "L")});
    EXPECT_EQ(DragAndDrop(m_pData), kCopied);
    EXPECT_EQ(m_window.m_arrPending, PendingMessageList{InData("listed.eml")});
    EXPECT_EQ(m_pData->GetContentsCalls(), 0);

    // Without a file list, virtual files that are no messages do nothing.
    m_window.m_arrPosted.clear();
    CTestDataObject* alone = CTestDataObject::Create();
    alone->OfferVirtualFiles({{"virtual.txt", "V"}}, false);
    const std::vector<DWORD> effects = DragAndDrop(alone);
    EXPECT_EQ(effects[2], static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(alone->GetContentsCalls(), 0);
    alone->Release();
    EXPECT_TRUE(m_window.m_arrPosted.empty());
    EXPECT_EQ(DataFiles(), std::vector<std::string>{"listed.eml"});
}

TEST_F(MailDropTargetTest, AnOutlookDragIsReadByItsUnicodeDescriptorAndItsStorages) {
    // As Outlook drags: both descriptors, no mail client's format, each item's contents
    // as a storage; a message saved as .eml comes as a stream.
    test::MsgObject message;
    message.Text(0x001A, u"IPM.Note").Text(0x0037, u"見積もり");
    message.attachments.emplace_back();
    message.attachments.back().Binary(0x3701, std::string(5000, 'q')).Text(0x3707, u"見積書.xlsx");
    const std::string item = test::BuildItem(message);
    m_pData->OfferVirtualFiles({{"??.msg", item, TYMED_ISTORAGE, L"見積é.msg"},
                                {"mime.eml", Message('m'), TYMED_ISTREAM, L"メール.eml"}},
                               false, true);
    EXPECT_EQ(DragAndDrop(m_pData), kCopied);
    EXPECT_EQ(m_window.m_arrPending, (PendingMessageList{InData("メール.eml"), InData("見積_.msg")}));
    EXPECT_EQ(test::ReadFile(InData("メール.eml")), Message('m'));
    EXPECT_EQ(m_window.m_arrPosted, std::vector<UINT>{ui::WM_EXTRACT_PENDING});
    // The storage was copied whole: the copy is the same item.
    std::string copy;
    ASSERT_TRUE(platform::ReadWholeFile(InData("見積_.msg"), copy));
    OutlookItem read;
    ASSERT_EQ(engine::ReadOutlookItem(copy, read), OutlookReadResult::Message);
    EXPECT_EQ(read.subject, "見積もり");
    ASSERT_EQ(read.attachments.size(), 1u);
    EXPECT_EQ(read.attachments[0].name, "見積書.xlsx");
    EXPECT_EQ(read.attachments[0].data, std::string(5000, 'q'));

    // On the unsent zone an Outlook item is refused, and nothing is copied.
    m_window.m_arrPosted.clear();
    m_window.m_nZone = 2;
    CTestDataObject* unsent = CTestDataObject::Create();
    unsent->OfferVirtualFiles({{"u.msg", item, TYMED_ISTORAGE}}, false, true);
    EXPECT_EQ(DragAndDrop(unsent)[2], static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(unsent->GetContentsCalls(), 0);
    unsent->Release();
    EXPECT_TRUE(m_window.m_arrPosted.empty());
}

TEST_F(MailDropTargetTest, DragsOutOfTheListAreTakenAndIgnored) {
    m_pData->OfferPrivateFormat();
    m_pData->OfferFileList({Source("x.eml", "X")});
    EXPECT_EQ(DragAndDrop(m_pData), kCopied);
    EXPECT_TRUE(m_window.m_arrPending.empty());
    EXPECT_TRUE(m_window.m_arrPosted.empty());
    EXPECT_TRUE(DataFiles().empty());
}

TEST_F(MailDropTargetTest, TheZoneDecidesTheEffectAndTheProcessing) {
    m_window.m_nZone = 2;
    m_pData->OfferFileList({Source("a.eml", "A")});
    EXPECT_EQ(DragAndDrop(m_pData), kCopied);
    EXPECT_EQ(m_window.m_arrPosted, std::vector<UINT>{ui::WM_UNSENT_PENDING});

    m_window.m_arrPosted.clear();
    m_window.m_nZone = 0;
    const int nCalls = m_pData->GetDataCalls();
    EXPECT_EQ(DragAndDrop(m_pData), kRefused);
    EXPECT_EQ(m_pData->GetDataCalls(), nCalls);
    EXPECT_TRUE(m_window.m_arrPosted.empty());
    EXPECT_EQ(DataFiles(), std::vector<std::string>{"a.eml"});
}

TEST_F(MailDropTargetTest, NoDropIsTakenWhileTheWindowsRunIsInProgress) {
    const PendingMessageList running{InData("running.eml")};
    m_window.m_arrPending = running;
    m_window.m_bRunInProgress = true;
    m_pData->OfferVirtualFiles({{"m.eml", "M"}});
    m_pData->OfferFileList({Source("a.eml", "A")});
    EXPECT_EQ(DragAndDrop(m_pData), kRefused);
    // Nothing read, copied, emptied or posted.
    EXPECT_EQ(m_pData->GetDataCalls(), 0);
    EXPECT_EQ(m_window.m_arrPending, running);
    EXPECT_TRUE(DataFiles().empty());
    EXPECT_TRUE(m_window.m_arrPosted.empty());
}

TEST_F(MailDropTargetTest, ADropArrivingWhileAnotherIsReadIsRefused) {
    // The progress dialog of the mail-client drop lets the nested drop run.
    CTestDataObject* nested = CTestDataObject::Create();
    nested->OfferFileList({Source("nested.eml", "N")});
    m_window.m_pNestedData = nested;
    PostMessageW(m_window.GetHwnd(), kNestedDrop, 0, 0);
    m_pData->OfferVirtualFiles({{"one.eml", "1"}, {"two.eml", "2"}});
    EXPECT_EQ(DragAndDrop(m_pData), kCopied);
    EXPECT_EQ(m_window.m_nNestedEnter, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(m_window.m_nNestedDrop, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(nested->GetDataCalls(), 0);
    nested->Release();
    EXPECT_EQ(m_window.m_arrPending, (PendingMessageList{InData("two.eml"), InData("one.eml")}));
    EXPECT_EQ(DataFiles(), (std::vector<std::string>{"one.eml", "two.eml"}));
    EXPECT_EQ(m_window.m_arrPosted, std::vector<UINT>{ui::WM_EXTRACT_PENDING});
}

}  // namespace
