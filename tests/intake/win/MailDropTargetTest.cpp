// The drop site on a real window with its OLE drop target, fed by a test data object: what
// each kind of drag saves, what it has the window run, and what is refused.

#include "engine/outlook/OutlookItem.h"
#include "intake/win/DropSite.h"
#include "platform/File.h"
#include "platform/FileSystem.h"
#include "platform/win32/WideText.h"
#include "support/OutlookItemBuilder.h"
#include "support/ScratchFolder.h"
#include "ui/WindowBase.h"
#include "ui/support/TestDataObject.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

using test::CTestDataObject;
using test::VirtualFile;

// Asks the window to start a drop of its own while another is being handled, or to revoke
// its drop site.
constexpr UINT kNestedDrop = WM_APP + 40;
constexpr UINT kRevokeSite = WM_APP + 41;

// The window a drop site is registered on: it only takes the tests' own requests.
class CDropTestWindow : public ui::CWindowBase {
public:
    CDropSite* m_pSite = nullptr;
    IDataObject* m_pNestedData = nullptr;
    DWORD m_nNestedEnter = 0xFF;
    DWORD m_nNestedDrop = 0xFF;

protected:
    bool OnMessage(UINT message, WPARAM, LPARAM, LRESULT& result) override {
        switch (message) {
            case kNestedDrop: {
                IDropTarget* target = m_pSite->GetDropTarget();
                POINTL point{0, 0};
                m_nNestedEnter = DROPEFFECT_COPY;
                target->DragEnter(m_pNestedData, MK_LBUTTON, point, &m_nNestedEnter);
                m_nNestedDrop = DROPEFFECT_COPY;
                target->Drop(m_pNestedData, MK_LBUTTON, point, &m_nNestedDrop);
                result = 0;
                return true;
            }
            case kRevokeSite:
                m_pSite->Revoke();
                result = 0;
                return true;
            default:
                return false;
        }
    }
};

// What the drop site asks of its window: the zone as set, the processing recorded.
class CRecordingSiteWindow : public IDropSiteWindow {
public:
    DropZone m_zone = DropZone::Extraction;
    std::vector<DropPoint> m_arrZoneTests;
    std::vector<DropZone> m_arrRuns;
    std::function<void()> m_fnDuringRun;

    DropZone ZoneAt(DropPoint point) override {
        m_arrZoneTests.push_back(point);
        return m_zone;
    }
    void ExtractPending(const PendingMessageList&, const CExtensionList&) override {
        Ran(DropZone::Extraction);
    }
    void ConvertPendingToUnsent(PendingMessageList&) override { Ran(DropZone::Unsent); }

private:
    void Ran(DropZone zone) {
        m_arrRuns.push_back(zone);
        if (m_fnDuringRun) {
            m_fnDuringRun();
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
        m_pSite = std::make_unique<CDropSite>(m_data.Path() + "\\", m_siteWindow);
        ASSERT_TRUE(m_pSite->Register(m_window.GetHwnd()));
        m_pTarget = m_pSite->GetDropTarget();
        m_window.m_pSite = m_pSite.get();
        m_pData = CTestDataObject::Create();
    }

    void TearDown() override {
        m_pData->Release();
        m_pSite.reset();
        DestroyWindow(m_window.GetHwnd());
        OleUninitialize();
    }

    // The screen point of client point (30, 40).
    POINTL ScreenPoint() const {
        POINT point{30, 40};
        ClientToScreen(m_window.GetHwnd(), &point);
        return POINTL{point.x, point.y};
    }

    // Enter, move and drop at the drop point: the three effects, after the window has
    // received what was posted to it.
    std::vector<DWORD> DragAndDrop(IDataObject* data) {
        std::vector<DWORD> effects(3, DROPEFFECT_COPY);
        EXPECT_EQ(m_pTarget->DragEnter(data, MK_LBUTTON, ScreenPoint(), &effects[0]), S_OK);
        EXPECT_EQ(m_pTarget->DragOver(MK_LBUTTON, ScreenPoint(), &effects[1]), S_OK);
        EXPECT_EQ(m_pTarget->Drop(data, 0, ScreenPoint(), &effects[2]), S_OK);
        PumpWaitingMessages();
        return effects;
    }

    std::string InData(const std::string& name) const { return m_data / name; }
    PendingMessageList& Pending() { return m_pSite->GetPendingList(); }

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
    const std::vector<DropZone> kExtracted{DropZone::Extraction};

    test::ScratchFolder m_data;
    test::ScratchFolder m_source;
    CDropTestWindow m_window;
    CRecordingSiteWindow m_siteWindow;
    std::unique_ptr<CDropSite> m_pSite;
    IDropTarget* m_pTarget = nullptr;
    CTestDataObject* m_pData = nullptr;
};

TEST_F(MailDropTargetTest, ShellFilesAreCopiedInListOrderAndSentToExtraction) {
    m_pData->OfferFileList(
        {Source("a.eml", "A"), Source("b.txt", "B"), Source("c.EML", Message('c'))});
    EXPECT_EQ(DragAndDrop(m_pData), kCopied);
    EXPECT_EQ(Pending(), (PendingMessageList{InData("a.eml"), InData("c.eml")}));
    EXPECT_EQ(test::ReadFile(InData("a.eml")), "A");
    EXPECT_EQ(test::ReadFile(InData("c.eml")), Message('c'));
    EXPECT_EQ(DataFiles(), (std::vector<std::string>{"a.eml", "c.eml"}));
    EXPECT_EQ(m_siteWindow.m_arrRuns, kExtracted);
    // Every zone test asked about the client point under the cursor.
    ASSERT_FALSE(m_siteWindow.m_arrZoneTests.empty());
    for (const DropPoint& point : m_siteWindow.m_arrZoneTests) {
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
    EXPECT_EQ(Pending(),
              (PendingMessageList{InData("r_sum_.eml"), InData("価格_1000.eml"),
                                  InData("報告書.eml")}));
    for (const auto& [name, copy] : files) {
        EXPECT_EQ(test::ReadFile(InData(copy)), copy);
    }
    EXPECT_EQ(m_siteWindow.m_arrRuns, kExtracted);
}

TEST_F(MailDropTargetTest, MailClientMessagesAreCopiedWholeNewestFirst) {
    // The contents come as a stream or as global memory.
    const std::string second = Message('2', 3 * 262144 + 17);
    m_pData->OfferVirtualFiles(
        {{"予定表.eml", Message('1'), TYMED_HGLOBAL}, {"second.eml", second, TYMED_ISTREAM}});
    EXPECT_EQ(DragAndDrop(m_pData), kCopied);
    EXPECT_EQ(Pending(),
              (PendingMessageList{InData("second.eml"), InData("予定表.eml")}));
    EXPECT_EQ(test::ReadFile(InData("予定表.eml")), Message('1'));
    EXPECT_EQ(test::ReadFile(InData("second.eml")), second);
    EXPECT_EQ(m_siteWindow.m_arrRuns, kExtracted);
    // The progress dialog has gone and given the window back.
    EXPECT_TRUE(IsWindowEnabled(m_window.GetHwnd()));
}

TEST_F(MailDropTargetTest, VirtualFilesOfOtherProgramsAreReadByTheirFileList) {
    m_pData->OfferVirtualFiles({{"virtual.eml", "V"}}, false);
    m_pData->OfferFileList({Source("listed.eml", "L")});
    EXPECT_EQ(DragAndDrop(m_pData), kCopied);
    EXPECT_EQ(Pending(), PendingMessageList{InData("listed.eml")});
    EXPECT_EQ(m_pData->GetContentsCalls(), 0);

    // Without a file list, virtual files that are no messages do nothing.
    m_siteWindow.m_arrRuns.clear();
    CTestDataObject* alone = CTestDataObject::Create();
    alone->OfferVirtualFiles({{"virtual.txt", "V"}}, false);
    const std::vector<DWORD> effects = DragAndDrop(alone);
    EXPECT_EQ(effects[2], static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(alone->GetContentsCalls(), 0);
    alone->Release();
    EXPECT_TRUE(m_siteWindow.m_arrRuns.empty());
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
    EXPECT_EQ(Pending(), (PendingMessageList{InData("メール.eml"), InData("見積_.msg")}));
    EXPECT_EQ(test::ReadFile(InData("メール.eml")), Message('m'));
    EXPECT_EQ(m_siteWindow.m_arrRuns, kExtracted);
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
    m_siteWindow.m_arrRuns.clear();
    m_siteWindow.m_zone = DropZone::Unsent;
    CTestDataObject* unsent = CTestDataObject::Create();
    unsent->OfferVirtualFiles({{"u.msg", item, TYMED_ISTORAGE}}, false, true);
    EXPECT_EQ(DragAndDrop(unsent)[2], static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(unsent->GetContentsCalls(), 0);
    unsent->Release();
    EXPECT_TRUE(m_siteWindow.m_arrRuns.empty());
}

TEST_F(MailDropTargetTest, DragsOutOfTheListAreTakenAndIgnored) {
    m_pData->OfferPrivateFormat();
    m_pData->OfferFileList({Source("x.eml", "X")});
    EXPECT_EQ(DragAndDrop(m_pData), kCopied);
    EXPECT_TRUE(Pending().empty());
    EXPECT_TRUE(m_siteWindow.m_arrRuns.empty());
    EXPECT_TRUE(DataFiles().empty());
}

TEST_F(MailDropTargetTest, TheZoneDecidesTheEffectAndTheProcessing) {
    m_siteWindow.m_zone = DropZone::Unsent;
    m_pData->OfferFileList({Source("a.eml", "A")});
    EXPECT_EQ(DragAndDrop(m_pData), kCopied);
    EXPECT_EQ(m_siteWindow.m_arrRuns, std::vector<DropZone>{DropZone::Unsent});

    m_siteWindow.m_arrRuns.clear();
    m_siteWindow.m_zone = DropZone::None;
    const int nCalls = m_pData->GetDataCalls();
    EXPECT_EQ(DragAndDrop(m_pData), kRefused);
    EXPECT_EQ(m_pData->GetDataCalls(), nCalls);
    EXPECT_TRUE(m_siteWindow.m_arrRuns.empty());
    EXPECT_EQ(DataFiles(), std::vector<std::string>{"a.eml"});
}

TEST_F(MailDropTargetTest, NoDropIsTakenWhileTheWindowsRunIsInProgress) {
    const PendingMessageList running{InData("running.eml")};
    Pending() = running;
    m_pData->OfferVirtualFiles({{"m.eml", "M"}});
    m_pData->OfferFileList({Source("a.eml", "A")});
    std::vector<DWORD> effects;
    bool bSecondRun = true;
    m_siteWindow.m_fnDuringRun = [&] {
        effects = DragAndDrop(m_pData);
        bSecondRun = m_pSite->RunExtraction();
    };
    ASSERT_TRUE(m_pSite->RunExtraction());
    EXPECT_EQ(effects, kRefused);
    EXPECT_FALSE(bSecondRun);
    // Nothing read, copied, emptied or run.
    EXPECT_EQ(m_pData->GetDataCalls(), 0);
    EXPECT_EQ(Pending(), running);
    EXPECT_TRUE(DataFiles().empty());
    EXPECT_EQ(m_siteWindow.m_arrRuns, kExtracted);
    // Once the run is over, drops are taken again.
    m_siteWindow.m_fnDuringRun = nullptr;
    EXPECT_EQ(DragAndDrop(m_pData), kCopied);
}

TEST_F(MailDropTargetTest, ASiteRevokedBeforeItsRequestRunsOrDuringADropRunsNothing) {
    // Revoked with the request posted: it never runs.
    m_pData->OfferFileList({Source("a.eml", "A")});
    std::vector<DWORD> effects(1, DROPEFFECT_COPY);
    EXPECT_EQ(m_pTarget->Drop(m_pData, 0, ScreenPoint(), &effects[0]), S_OK);
    EXPECT_EQ(effects[0], static_cast<DWORD>(DROPEFFECT_COPY));
    m_pSite->Revoke();
    PumpWaitingMessages();
    EXPECT_TRUE(m_siteWindow.m_arrRuns.empty());

    // Revoked while a mail client's drop is copied (its progress dialog lets the window's
    // messages run): the drop ends without reaching the site.
    ASSERT_TRUE(m_pSite->Register(m_window.GetHwnd()));
    Pending().clear();
    CTestDataObject* mail = CTestDataObject::Create();
    mail->OfferVirtualFiles({{"one.eml", "1"}, {"two.eml", "2"}});
    PostMessageW(m_window.GetHwnd(), kRevokeSite, 0, 0);
    IDropTarget* target = m_pSite->GetDropTarget();
    target->AddRef();
    DWORD effect = DROPEFFECT_COPY;
    EXPECT_EQ(target->Drop(mail, 0, ScreenPoint(), &effect), S_OK);
    target->Release();
    mail->Release();
    PumpWaitingMessages();
    EXPECT_TRUE(Pending().empty());
    EXPECT_TRUE(m_siteWindow.m_arrRuns.empty());
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
    EXPECT_EQ(Pending(), (PendingMessageList{InData("two.eml"), InData("one.eml")}));
    EXPECT_EQ(DataFiles(), (std::vector<std::string>{"one.eml", "two.eml"}));
    EXPECT_EQ(m_siteWindow.m_arrRuns, kExtracted);
}

}  // namespace
