// Drops of virtual message files from the mail client.

#include "intake/IntakeFixture.h"
#include "support/RecordingDownloadMarker.h"

namespace {

using test::FakeDroppedData;
using test::ItemContents;
using Contents = std::vector<std::optional<ItemContents>>;
using FileSet = std::set<std::string>;

constexpr std::size_t kChunk = CMailIntake::kCopyChunkSize;
const std::string kStatusText = "text:メールを読み込んでいます。\nしばらくお待ちください。";

// A message whose bytes must arrive unchanged: CR LF, a bare LF, a zero and 8-bit bytes.
std::string Message(const std::string& subject) {
    return "Subject: " + subject + "\r\n\r\nline\nzero " + std::string(1, '\0') + " \xFF\x81\r\n";
}

std::vector<std::string> Repeat(std::vector<std::string> calls, int times) {
    std::vector<std::string> all;
    for (int i = 0; i < times; ++i) {
        all.insert(all.end(), calls.begin(), calls.end());
    }
    return all;
}

class MailClientIntakeTest : public test::IntakeFixture {};

TEST_F(MailClientIntakeTest, MessagesAreSavedNewestFirstAndSentToExtraction) {
    auto data = FakeDroppedData::MailClient(
        {"first.eml", "second.eml"}, {ItemContents{Message("1")}, ItemContents{Message("2")}});
    EXPECT_TRUE(Drop(data));
    EXPECT_EQ(m_host.m_arrPending, (PendingMessageList{InData("second.eml"), InData("first.eml")}));
    EXPECT_EQ(Files(), (FileSet{"first.eml", "second.eml"}));
    EXPECT_EQ(test::ReadFile(InData("first.eml")), Message("1"));
    EXPECT_EQ(test::ReadFile(InData("second.eml")), Message("2"));
    EXPECT_EQ(m_host.m_arrPosted, std::vector<std::string>{"extraction"});
    // One step and check after the dialog opens, then one per read: the data and the end.
    std::vector<std::string> calls{kStatusText, "step", "check"};
    for (const std::string& call : Repeat({"step", "check"}, 4)) {
        calls.push_back(call);
    }
    EXPECT_EQ(m_host.m_progress.calls, calls);
    EXPECT_EQ(m_host.m_progress.nCreated, 1);
    EXPECT_EQ(m_host.m_progress.nOpen, 0);
}

TEST_F(MailClientIntakeTest, OnlyItemsNamedEmlAreRead) {
    const ItemContents any{"x"};
    auto data = FakeDroppedData::MailClient({"note.txt", "a.eml", "folder", "b.EML", "c.eml.txt"},
                                            {any, any, any, any, any});
    EXPECT_TRUE(Drop(data));
    EXPECT_EQ(data.m_arrOpened, (std::vector<std::size_t>{1, 3}));
    EXPECT_EQ(m_host.m_arrPending, (PendingMessageList{InData("b.eml"), InData("a.eml")}));

    // Nothing to save: the drop succeeds and nothing is processed.
    m_host.m_arrPosted.clear();
    auto none = FakeDroppedData::MailClient({"note.txt"}, {any});
    EXPECT_TRUE(Drop(none));
    EXPECT_TRUE(m_host.m_arrPending.empty());
    EXPECT_TRUE(m_host.m_arrPosted.empty());
    EXPECT_EQ(Files(), (FileSet{"a.eml", "b.eml"}));
}

TEST_F(MailClientIntakeTest, WhateverTheNamesEveryCopyIsAPlainFileOfTheDataFolder) {
    const std::vector<std::string> names{
        "..\\..\\evil.eml", "C:\\Windows\\win.eml", "sub/dir/x.eml", "CON.eml",
        "a<b>.eml",         "予定表.eml",           "  .eml",        "stream:y.eml"};
    auto data = FakeDroppedData::MailClient(names, Contents(names.size(), ItemContents{"m"}));
    EXPECT_TRUE(Drop(data));
    EXPECT_EQ(Files(), (FileSet{"evil.eml", "win.eml", "x.eml", "_CON.eml", "a_b_.eml",
                                "予定表.eml", "(1).eml", "y.eml"}));
    EXPECT_EQ(m_host.m_arrPending.size(), names.size());
    EXPECT_FALSE(platform::QueryAttributes(m_scratch.Path() + "\\..\\evil.eml"));
}

TEST_F(MailClientIntakeTest, TakenNamesAreNumbered) {
    test::WriteFile(InData("a.att"), "record");
    auto data =
        FakeDroppedData::MailClient({"a.eml", "a.eml"}, {ItemContents{"1"}, ItemContents{"2"}});
    EXPECT_TRUE(Drop(data));
    EXPECT_EQ(m_host.m_arrPending, (PendingMessageList{InData("a(2).eml"), InData("a(1).eml")}));
    EXPECT_EQ(test::ReadFile(InData("a(1).eml")), "1");
    EXPECT_EQ(test::ReadFile(InData("a(2).eml")), "2");
}

TEST_F(MailClientIntakeTest, ContentsAreCopiedInChunksWithAStepAndACheckEach) {
    std::string big(2 * kChunk + 5, '\0');
    for (std::size_t i = 0; i < big.size(); ++i) {
        big[i] = static_cast<char>(i * 7 + i / 251);
    }
    struct Case {
        const char* what;
        ItemContents contents;
        int nReads;  // the last one gives 0
    };
    const Case cases[] = {
        {"two full chunks and a bit", ItemContents{big}, 4},
        {"short reads", ItemContents{big.substr(0, 2500), 1000}, 4},
        {"empty message", ItemContents{""}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        m_host.m_progress = {};
        auto data = FakeDroppedData::MailClient({"big.eml"}, {c.contents});
        EXPECT_TRUE(Drop(data));
        ASSERT_EQ(m_host.m_arrPending.size(), 1u);
        EXPECT_EQ(test::ReadFile(m_host.m_arrPending[0]), c.contents.data);
        EXPECT_EQ(data.m_arrReadRequests, std::vector<std::size_t>(c.nReads, kChunk));
        EXPECT_EQ(m_host.m_progress.nChecks, 1 + c.nReads);
        platform::RemoveFile(m_host.m_arrPending[0]);
    }
}

TEST_F(MailClientIntakeTest, ACancelKeepsWhatWasSavedBeforeIt) {
    struct Case {
        const char* what;
        int nCancelAtCheck;
        bool bResult;
        PendingMessageList pending;
    };
    const Case cases[] = {
        {"as the dialog opens", 1, false, {}},
        {"before the first item's end", 3, true, {}},
        {"before the second item's first chunk", 4, true, {"first.eml"}},
        {"before the second item's end", 5, true, {"first.eml"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::FakeDropHost host;
        host.m_progress.nCancelAtCheck = c.nCancelAtCheck;
        auto data = FakeDroppedData::MailClient(
            {"first.eml", "second.eml"}, {ItemContents{Message("1")}, ItemContents{Message("2")}});
        EXPECT_EQ(m_intake.OnDrop(host, data, {1, 1}), c.bResult);
        PendingMessageList expected;
        for (const std::string& name : c.pending) {
            expected.push_back(InData(name));
        }
        EXPECT_EQ(host.m_arrPending, expected);
        EXPECT_EQ(Files(), FileSet(c.pending.begin(), c.pending.end()));
        EXPECT_EQ(host.m_arrPosted, c.pending.empty() ? std::vector<std::string>{}
                                                      : std::vector<std::string>{"extraction"});
        EXPECT_EQ(host.m_progress.nOpen, 0);
        for (const std::string& name : c.pending) {
            platform::RemoveFile(InData(name));
        }
    }
}

TEST_F(MailClientIntakeTest, ContentsWithoutEndAreCopiedUntilTheUserCancels) {
    m_host.m_progress.nCancelAtCheck = 6;
    ItemContents endless;
    endless.bEndless = true;
    auto data =
        FakeDroppedData::MailClient({"saved.eml", "endless.eml"}, {ItemContents{"saved"}, endless});
    EXPECT_TRUE(Drop(data));
    // Checks 2 and 3 read the first item, 4 and 5 two chunks of the second.
    EXPECT_EQ(data.m_arrReadRequests.size(), 4u);
    EXPECT_EQ(Files(), FileSet{"saved.eml"});
    EXPECT_EQ(m_host.m_arrPending, PendingMessageList{InData("saved.eml")});
    EXPECT_EQ(m_host.m_arrPosted, std::vector<std::string>{"extraction"});
}

TEST_F(MailClientIntakeTest, AnItemThatCannotBeSavedUndoesTheWholeDrop) {
    // The first item is saved each time; the second fails, and with it the drop.
    const std::string tooLong(kFileDescriptorNameSize - 4, 'n');
    struct Case {
        const char* what;
        std::string name;
        std::optional<ItemContents> contents;
        bool bTakeAllNames = false;
    };
    ItemContents readError{std::string(3 * kChunk, 'r')};
    readError.nFailAtRead = 2;
    ItemContents overrun{"x"};
    overrun.nExcess = 1;
    const Case cases[] = {
        {"no contents", "b.eml", std::nullopt},
        {"read error after a chunk", "b.eml", readError},
        {"a read claims more than the buffer", "b.eml", overrun},
        {"no free name", "b.eml", ItemContents{"b"}, true},
        {"the copy cannot be created", tooLong + ".eml", ItemContents{"b"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.bTakeAllNames) {
            test::WriteFile(InData("b"), "taken");
            for (int number = 1; number <= kMaxCopyNumber; ++number) {
                test::WriteFile(InData("b(" + std::to_string(number) + ").att"), "taken");
            }
        }
        const FileSet before = Files();
        test::FakeDropHost host;
        auto data = FakeDroppedData::MailClient({"a.eml", c.name, "c.eml"},
                                                {ItemContents{"a"}, c.contents, ItemContents{"c"}});
        EXPECT_FALSE(m_intake.OnDrop(host, data, {1, 1}));
        EXPECT_EQ(Files(), before);
        EXPECT_TRUE(host.m_arrPending.empty());
        EXPECT_TRUE(host.m_arrPosted.empty());
        EXPECT_EQ(host.m_progress.nOpen, 0);
        EXPECT_EQ(data.m_arrOpened.back(), c.bTakeAllNames ? 0u : 1u);  // c.eml never read
    }
}

TEST_F(MailClientIntakeTest, ADescriptorThatCannotBeReadTakesNothing) {
    auto missing = FakeDroppedData::MailClient({"a.eml"}, {ItemContents{"a"}});
    missing.m_descriptor.reset();
    auto lying = FakeDroppedData::MailClient({"a.eml"}, {ItemContents{"a"}});
    lying.m_descriptor = test::DescriptorBlock({"a.eml"}, 2);
    for (FakeDroppedData* data : {&missing, &lying}) {
        EXPECT_FALSE(Drop(*data));
        EXPECT_TRUE(data->m_arrOpened.empty());
    }
    EXPECT_EQ(m_host.m_progress.nCreated, 0);
    EXPECT_TRUE(Files().empty());
    EXPECT_TRUE(m_host.m_arrPosted.empty());
}

TEST_F(MailClientIntakeTest, EachCopyIsMarkedAsDownloadedOnceItIsWhole) {
    test::RecordingDownloadMarker marker;
    auto data = FakeDroppedData::MailClient(
        {"first.eml", "second.eml"}, {ItemContents{Message("1")}, ItemContents{Message("2")}});
    EXPECT_TRUE(Drop(data));
    EXPECT_EQ(marker.m_arrMarked,
              (std::vector<std::string>{InData("first.eml"), InData("second.eml")}));
    EXPECT_EQ(marker.m_arrContents, (std::vector<std::string>{Message("1"), Message("2")}));

    // A copy that is cut short (cancel, read error) is deleted, never marked.
    for (const char* name : {"first.eml", "second.eml"}) {
        platform::RemoveFile(InData(name));
    }
    marker.m_arrMarked.clear();
    test::FakeDropHost host;
    host.m_progress.nCancelAtCheck = 5;
    auto cancelled = FakeDroppedData::MailClient(
        {"first.eml", "second.eml"}, {ItemContents{Message("1")}, ItemContents{Message("2")}});
    EXPECT_TRUE(m_intake.OnDrop(host, cancelled, {1, 1}));
    EXPECT_EQ(marker.m_arrMarked, std::vector<std::string>{InData("first.eml")});
}

TEST_F(MailClientIntakeTest, AMarkThatCannotBeWrittenChangesNothing) {
    test::RecordingDownloadMarker marker(true);
    auto data = FakeDroppedData::MailClient(
        {"first.eml", "second.eml"}, {ItemContents{Message("1")}, ItemContents{Message("2")}});
    EXPECT_TRUE(Drop(data));
    EXPECT_EQ(marker.m_arrMarked.size(), 2u);
    EXPECT_EQ(m_host.m_arrPending, (PendingMessageList{InData("second.eml"), InData("first.eml")}));
    EXPECT_EQ(Files(), (FileSet{"first.eml", "second.eml"}));
    EXPECT_EQ(test::ReadFile(InData("second.eml")), Message("2"));
    EXPECT_EQ(m_host.m_arrPosted, std::vector<std::string>{"extraction"});
}

}  // namespace
