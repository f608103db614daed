// Outlook items: the compound-file reader and writer, the item reader (Japanese text in
// Unicode and 8-bit properties, attached items, items that are no messages, damaged
// files) and the extraction of an item file.

#include "engine/outlook/CompoundFile.h"
#include "engine/extract/Progress.h"
#include "engine/mime/MailParser.h"
#include "engine/text/MapiText.h"
#include "engine/extract/OutlookExtract.h"
#include "engine/outlook/OutlookItem.h"
#include "platform/File.h"
#include "platform/FileSystem.h"
#include "policy/ExtensionList.h"
#include "support/Bytes.h"
#include "support/OutlookItemBuilder.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <functional>
#include <set>

namespace {

using test::MsgObject;

// 2004-12-06 01:20:30 UTC as a FILETIME.
constexpr std::uint64_t kUnixTime = 1102296030;
constexpr std::uint64_t kSubmitTime = kUnixTime * 10000000ULL + 116444736000000000ULL;

std::string LocalDate(std::time_t seconds) {
    const std::tm* local = std::localtime(&seconds);
    char text[64];
    std::snprintf(text, sizeof text, "%04d年%02d月%02d日 %02d:%02d:%02d", local->tm_year + 1900,
                  local->tm_mon + 1, local->tm_mday, local->tm_hour, local->tm_min,
                  local->tm_sec);
    return text;
}

MsgObject FileAttachment(const std::string& data) {
    MsgObject attachment;
    attachment.Fixed(0x3705, test::kPtLong, 1).Binary(0x3701, data);
    return attachment;
}

// A Japanese message: subject in Unicode, sender name 8-bit in code page 932, attachments
// named every way an item names them, one attached item, one attachment by reference.
MsgObject JapaneseMessage() {
    MsgObject message;
    message.Text(0x001A, u"IPM.Note")
        .Text(0x0037, u"会議の資料\r\n（第２回）")
        .Fixed(0x3FFD, test::kPtLong, 932)
        .Text8(0x0C1A, "山田 太郎")
        .Text(0x5D01, u"yamada@example.jp")
        .Fixed(0x0039, test::kPtTime, kSubmitTime);
    message.attachments.push_back(
        FileAttachment("xlsx bytes").Text(0x3707, u"見積書.xlsx").Text(0x3704, u"MITSUM~1.XLS"));
    message.attachments.push_back(
        FileAttachment("pdf bytes").Text(0x3707, u"").Text8(0x3704, "資料.pdf"));
    message.attachments.push_back(FileAttachment("text").Text(0x3001, u"caf\u00E9 \u301C.txt"));
    message.attachments.push_back(FileAttachment(std::string("\x89PNG\0", 5)).Text(0x370E, u"image/png"));
    MsgObject forwarded;
    forwarded.Text(0x001A, u"IPM.Note").Text(0x0037, u"転送された件名");
    forwarded.attachments.push_back(FileAttachment("inner").Text(0x3707, u"内側.txt"));
    MsgObject attachedItem;
    attachedItem.Fixed(0x3705, test::kPtLong, 5).Text(0x3707, u"ignored.msg");
    attachedItem.embedded.push_back(forwarded);
    message.attachments.push_back(attachedItem);
    MsgObject byReference;
    byReference.Fixed(0x3705, test::kPtLong, 2).Text(0x3707, u"link.doc");
    message.attachments.push_back(byReference);
    // Large enough to leave the mini stream.
    message.attachments.push_back(FileAttachment(std::string(9000, 'L')).Text(0x3707, u"big.bin"));
    return message;
}

TEST(OutlookItem, AJapaneseMessageGivesItsSummaryAndEveryAttachment) {
    OutlookItem item;
    ASSERT_EQ(engine::ReadOutlookItem(test::BuildItem(JapaneseMessage()), item), OutlookReadResult::Message);
    EXPECT_EQ(item.subject, "会議の資料\r\n（第２回）");
    EXPECT_EQ(item.senderName, "山田 太郎");
    EXPECT_EQ(item.senderAddress, "yamada@example.jp");
    EXPECT_EQ(item.time, kSubmitTime);

    std::vector<std::pair<std::string, std::string>> attachments;
    for (const OutlookAttachment& attachment : item.attachments) {
        attachments.emplace_back(attachment.name, attachment.bEmbeddedMessage ? "item" : attachment.data);
    }
    // The long name first, then the short one, then the display name; a WAVE DASH is code
    // page 932's own 0x8160 and "é" no look-alike; a nameless one is named by its type.
    EXPECT_EQ(attachments, (std::vector<std::pair<std::string, std::string>>{
                               {"見積書.xlsx", "xlsx bytes"},
                               {"資料.pdf", "pdf bytes"},
                               {"caf? \x81\x60.txt", "text"},
                               {"attachment.png", std::string("\x89PNG\0", 5)},
                               {"message.msg", "item"},
                               {"big.bin", std::string(9000, 'L')},
                           }));

    // The attached item is a standalone item of its own.
    OutlookItem inner;
    ASSERT_EQ(engine::ReadOutlookItem(item.attachments[4].data, inner), OutlookReadResult::Message);
    EXPECT_EQ(inner.subject, "転送された件名");
    ASSERT_EQ(inner.attachments.size(), 1u);
    EXPECT_EQ(inner.attachments[0].name, "内側.txt");
    EXPECT_EQ(inner.attachments[0].data, "inner");
}

TEST(OutlookItem, AnAttachedItemThatIsNoItemMakesTheFileUnreadable) {
    // The attached item's storage without its property stream: the message.msg written for
    // it would open in no reader, so the item is damaged, as with any damaged attachment.
    MsgObject forwarded;
    forwarded.Text(0x001A, u"IPM.Note").Text(0x0037, u"転送");
    MsgObject attachedItem;
    attachedItem.Fixed(0x3705, test::kPtLong, 5);
    attachedItem.embedded.push_back(forwarded);
    MsgObject message;
    message.Text(0x001A, u"IPM.Note");
    message.attachments.push_back(FileAttachment("x").Text(0x3707, u"a.txt"));
    message.attachments.push_back(attachedItem);
    CCompoundFileWriter::Node root;
    root.isStorage = true;
    test::FillStorage(message, 32, root);
    std::size_t removed = 0;
    for (CCompoundFileWriter::Node& child : root.children) {
        for (CCompoundFileWriter::Node& inner : child.children) {
            if (inner.isStorage) {  // the attached item's storage
                removed += std::erase_if(inner.children, [](const CCompoundFileWriter::Node& node) {
                    return node.name == engine::AsciiToUtf16("__properties_version1.0");
                });
            }
        }
    }
    ASSERT_EQ(removed, 1u);
    OutlookItem item;
    EXPECT_EQ(engine::ReadOutlookItem(CCompoundFileWriter::Write(root), item), OutlookReadResult::Unreadable);
    EXPECT_TRUE(item.attachments.empty());
}

// Mail and the other items that carry files (appointments, meeting requests, posts, tasks)
// are read; contacts and sticky notes are not.
TEST(OutlookItem, ItemsThatCarryFilesAreReadLikeMessages) {
    const std::pair<std::u16string, bool> classes[] = {
        {u"IPM.Note", true},         {u"ipm.note", true},          {u"IPM.Note.SMIME", true},
        {u"IPM.Appointment", true},  {u"IPM.Schedule.Meeting.Request", true},
        {u"IPM.Schedule.Meeting.Canceled", true}, {u"IPM.Post", true}, {u"IPM.Task", true},
        {u"IPM.TaskRequest.Accept", true},
        {u"IPM.Contact", false},     {u"IPM.DistList", false},     {u"IPM.StickyNote", false},
        {u"IPM.Notebook", false},    {u"IPM.Appointments", false}, {u"IPM.Schedule", false},
        {u"", false},
    };
    for (const auto& [messageClass, bMessage] : classes) {
        MsgObject object;
        object.Text(0x001A, messageClass);
        object.attachments.push_back(FileAttachment("x").Text(0x3707, u"a.txt"));
        OutlookItem item;
        EXPECT_EQ(engine::ReadOutlookItem(test::BuildItem(object), item),
                  bMessage ? OutlookReadResult::Message : OutlookReadResult::NotMessage)
            << engine::Utf16ToShiftJis(std::u16string_view(messageClass));
        EXPECT_EQ(item.attachments.size(), bMessage ? 1u : 0u);
    }
}

// A meeting request names its organizer as the one it is sent for; the record shows it.
TEST(OutlookItem, AnAppointmentGivesItsSubjectOrganizerAndFiles) {
    MsgObject object;
    object.Text(0x001A, u"IPM.Schedule.Meeting.Request").Text(0x0037, u"定例会議");
    object.Text(0x0042, u"山田").Text(0x0065, u"yamada@example.jp");
    object.attachments.push_back(FileAttachment("agenda").Text(0x3707, u"議題.docx"));
    OutlookItem item;
    ASSERT_EQ(engine::ReadOutlookItem(test::BuildItem(object), item), OutlookReadResult::Message);
    EXPECT_EQ(item.subject, "定例会議");
    EXPECT_EQ(item.senderName, "山田");
    EXPECT_EQ(item.senderAddress, "yamada@example.jp");
    ASSERT_EQ(item.attachments.size(), 1u);
    EXPECT_EQ(item.attachments[0].name, "議題.docx");
    EXPECT_EQ(item.attachments[0].data, "agenda");
}

TEST(OutlookItem, TextBecomesShiftJisWithoutLookAlikes) {
    struct Case {
        std::string text;
        std::uint32_t codePage;
        std::string expected;
    };
    const Case cases[] = {
        {"日本語", 932, "日本語"},
        {"日本語", 0, "日本語"},  // no code page: the Japanese system's own
        {"\xE6\x97\xA5\xE6\x9C\xAC", 65001, "日本"},
        {"\xC6\xFC\xCB\xDC\x8E\xB1", 51932, "日本\xB1"},
        {"\x1B$BF|K\\\x1B(B", 50220, "日本"},
        {"caf\xE9 \x80", 1252, "caf? ?"},
        {"caf\xE9", 28591, "caf?"},
        {"\xC0\xC1 ok", 1251, "АБ ok"},
        {"\xC7\xD1 \xEC\xED", 949, "? 日"},  // hangul, then a kanji of KS X 1001
        {"\xC0\xC1 ok", 1361, "?? ok"},    // a code page the program does not know
        {std::string("ab\0cd", 5), 932, "ab"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(engine::CodePageToShiftJis(c.text, c.codePage), c.expected) << c.codePage;
    }
    const std::pair<std::u16string, std::string> wide[] = {
        {u"予定表", "予定表"},
        {u"\u301C\uFF5E", "\x81\x60\x81\x60"},  // WAVE DASH and FULLWIDTH TILDE
        {u"\u2212\u2014\u2016", "\x81\x7C\x81\x5C\x81\x61"},
        {u"\u00A5\u00A2\u00A3\u00AC", "\x81\x8F\x81\x91\x81\x92\x81\xCA"},
        {u"\u00E9\u00C5\u0416x", "??\x84\x47x"},  // no best fit: "é" is not "e"
        {u"\U0001F600|\xD800|\uF041", "?|?|?"},   // beyond the BMP, a lone surrogate, raw-byte stand-in
        {std::u16string(u"ab\0cd", 5), "ab"},
    };
    for (const auto& [text, expected] : wide) {
        EXPECT_EQ(engine::Utf16ToShiftJis(std::u16string_view(text)), expected);
    }
}

TEST(CompoundFile, WhatTheWriterWritesReadsBack) {
    // Many entries in nested storages, streams on both sides of the mini-stream cutoff, and
    // one stream so large that the FAT needs DIFAT sectors.
    CCompoundFileWriter::Node root;
    root.isStorage = true;
    std::vector<std::pair<std::u16string, std::string>> expected;
    for (int s = 0; s < 3; ++s) {
        CCompoundFileWriter::Node storage;
        storage.isStorage = true;
        storage.name = engine::AsciiToUtf16("storage" + std::to_string(s));
        storage.clsid[0] = static_cast<std::uint8_t>(s + 1);
        for (int i = 0; i < 70; ++i) {
            CCompoundFileWriter::Node stream;
            stream.name = engine::AsciiToUtf16("s" + std::to_string(i));
            stream.data = std::string(static_cast<std::size_t>((i * 131 + s * 7) % 5000), static_cast<char>('a' + i % 26));
            expected.emplace_back(storage.name + u"/" + stream.name, stream.data);
            storage.children.push_back(stream);
        }
        root.children.push_back(storage);
    }
    CCompoundFileWriter::Node large;
    large.name = u"large";
    large.data = std::string(8 * 1024 * 1024, '\0');
    for (std::size_t i = 0; i < large.data.size(); i += 4093) {
        large.data[i] = static_cast<char>(i / 4093);
    }
    root.children.push_back(large);

    CCompoundFile file;
    ASSERT_TRUE(file.Open(CCompoundFileWriter::Write(root)));
    std::string data;
    ASSERT_TRUE(file.ReadStream(file.Find(CCompoundFile::Root(), u"LARGE"), data));
    EXPECT_TRUE(data == large.data);
    std::size_t found = 0;
    for (const std::uint32_t storage : file.Children(CCompoundFile::Root())) {
        if (file.GetEntry(storage).type != CCompoundFile::EntryType::Storage) {
            continue;
        }
        EXPECT_NE(file.GetEntry(storage).clsid[0], 0);
        for (const std::uint32_t stream : file.Children(storage)) {
            ASSERT_TRUE(file.ReadStream(stream, data));
            const std::u16string path = file.GetEntry(storage).name + u"/" + file.GetEntry(stream).name;
            const auto it = std::find_if(expected.begin(), expected.end(),
                                         [&](const auto& e) { return e.first == path; });
            ASSERT_NE(it, expected.end());
            EXPECT_EQ(data, it->second);
            ++found;
        }
    }
    EXPECT_EQ(found, expected.size());
    // A name too long for the format writes nothing.
    CCompoundFileWriter::Node tooLong;
    tooLong.name = std::u16string(32, u'x');
    root.children.push_back(tooLong);
    EXPECT_TRUE(CCompoundFileWriter::Write(root).empty());
}

// Offsets in a file the writer wrote: the header's fields, the directory entry of a name.
std::uint32_t Get32(const std::string& data, std::size_t offset) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(data[offset])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(data[offset + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(data[offset + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(data[offset + 3])) << 24;
}
void Put32(std::string& data, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        data[offset + static_cast<std::size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}
std::size_t EntryOffset(const std::string& file, const char* name) {
    const std::size_t offset = file.find(test::Utf16Bytes(engine::AsciiToUtf16(name)) + std::string(2, '\0'));
    EXPECT_NE(offset, std::string::npos) << name;
    return offset;
}
std::size_t FatOffset(const std::string& file) {
    return (static_cast<std::size_t>(Get32(file, 0x4C)) + 1) * 512;
}

class OutlookExtractionTest : public ::testing::Test {
protected:
    std::string DataFolder() const { return m_scratch.Path() + "\\"; }
    std::string Staging() const { return DataFolder() + "scanvirus\\B"; }

    // Extracts bytes saved as B.msg; the staging folder or empty.
    std::string Extract(const std::string& bytes, const CExtensionList& prohibited = CExtensionList()) {
        test::WriteFile(DataFolder() + "B.msg", bytes);
        CNoProgress progress;
        return CMailParser(DataFolder()).ExtractAttachments(DataFolder() + "B.msg", prohibited,
                                                            progress, 0, 60);
    }

    std::set<std::string> StagedFiles() const {
        std::vector<platform::FoundEntry> entries;
        platform::FindEntries(Staging() + "\\*.*", entries);
        std::set<std::string> names;
        for (const auto& entry : entries) {
            names.insert(entry.name);
        }
        return names;
    }

    void ExpectNothingLeft() {
        EXPECT_FALSE(platform::QueryAttributes(Staging()));
        EXPECT_FALSE(platform::QueryAttributes(DataFolder() + "B.att"));
        EXPECT_FALSE(platform::QueryAttributes(DataFolder() + "B.msg"));
    }

    test::ScratchFolder m_scratch;
};

TEST_F(OutlookExtractionTest, AnItemIsExtractedLikeAMimeMessage) {
    EXPECT_EQ(Extract(test::BuildItem(JapaneseMessage()), CExtensionList({"pdf"}, {})), Staging());
    // Safe names (no "?"), the prohibited one as an alert file, the attached item whole.
    EXPECT_EQ(StagedFiles(), (std::set<std::string>{"見積書.xlsx", "資料.pdf.alert", "caf_ \x81\x60.txt",
                                                     "attachment.png", "message.msg", "big.bin"}));
    EXPECT_EQ(test::ReadFile(Staging() + "\\big.bin"), std::string(9000, 'L'));
    EXPECT_NE(test::ReadFile(Staging() + "\\資料.pdf.alert").find("資料.pdf"), std::string::npos);
    EXPECT_EQ(test::ReadFile(DataFolder() + "B.att"),
              LocalDate(static_cast<std::time_t>(kUnixTime)) +
                  "\r\r\n山田 太郎 <yamada@example.jp>\r\r\n会議の資料 （第２回）\r\r\n");
    EXPECT_FALSE(platform::QueryAttributes(DataFolder() + "B.msg"));

    // The summary the list and the command line show.
    test::WriteFile(DataFolder() + "S.msg", test::BuildItem(JapaneseMessage()));
    std::string fromText, subjectText, dateText;
    EXPECT_EQ(engine::ReadOutlookSummary(DataFolder() + "S.msg", fromText, subjectText, dateText),
              OutlookSummaryResult::Message);
    EXPECT_EQ(fromText, "山田 太郎 <yamada@example.jp>");
}

TEST_F(OutlookExtractionTest, AnItemWithoutSenderSubjectOrTimeShowsPlaceholders) {
    MsgObject message;
    message.Text(0x001A, u"IPM.Note").Text(0x0C1F, u"/O=EXCHANGE/CN=YAMADA");
    message.attachments.push_back(FileAttachment("x").Text(0x3707, u"a.txt"));
    EXPECT_EQ(Extract(test::BuildItem(message)), Staging());
    EXPECT_EQ(test::ReadFile(DataFolder() + "B.att"), "\r\r\n--不明--\r\r\n--件名なし--\r\r\n");
}

TEST_F(OutlookExtractionTest, ItemsThatGiveNothingAreConsumedWithoutARecord) {
    MsgObject contact;
    contact.Text(0x001A, u"IPM.Contact");
    contact.attachments.push_back(FileAttachment("photo").Text(0x3707, u"photo.jpg"));
    MsgObject noAttachments;
    noAttachments.Text(0x001A, u"IPM.Note").Text(0x0037, u"plain");
    for (const MsgObject* item : {&contact, &noAttachments}) {
        EXPECT_EQ(Extract(test::BuildItem(*item)), "");
        ExpectNothingLeft();
    }
}

TEST_F(OutlookExtractionTest, DamagedFilesGiveNoRecordAndNoCrash) {
    const std::string good = test::BuildItem(JapaneseMessage());
    using Damage = std::function<void(std::string&)>;
    const std::pair<const char*, Damage> damages[] = {
        {"not a compound file", [](std::string& f) { f[0] = 'X'; }},
        {"a header only", [](std::string& f) { f.resize(512); }},
        {"cut in the middle", [](std::string& f) { f.resize(f.size() / 2); }},
        {"FAT sector beyond the file", [](std::string& f) { Put32(f, 0x4C, 0x00FFFFFF); }},
        {"FAT count beyond the file", [](std::string& f) { Put32(f, 0x2C, 0x7FFFFFFF); }},
        {"DIFAT count beyond the file", [](std::string& f) { Put32(f, 0x48, 0x7FFFFFFF); Put32(f, 0x2C, 200); }},
        {"directory chain loops",
         [](std::string& f) { Put32(f, FatOffset(f) + 4 * Get32(f, 0x30), Get32(f, 0x30)); }},
        {"stream chain loops",
         [](std::string& f) {
             // The large attachment's chain (its sectors are regular ones) points to itself.
             const std::size_t entry = f.rfind(test::Utf16Bytes(u"__substg1.0_37010102"));
             const std::uint32_t big = Get32(f, entry + 0x74);
             Put32(f, FatOffset(f) + 4 * big, big);
         }},
        {"stream larger than the file",
         [](std::string& f) { Put32(f, f.rfind(test::Utf16Bytes(u"__substg1.0_37010102")) + 0x78, 0x7FFFFFF0); }},
        {"mini stream chain out of range",
         [](std::string& f) { Put32(f, EntryOffset(f, "__substg1.0_0037001F") + 0x74, 0x00FFFFFF); }},
        {"child beyond the directory",
         [](std::string& f) { Put32(f, EntryOffset(f, "Root Entry") + 0x4C, 0x00FFFFFF); }},
        {"sibling loop",
         [](std::string& f) {
             const std::size_t root = EntryOffset(f, "Root Entry");
             const std::uint32_t child = Get32(f, root + 0x4C);
             const std::size_t directory = (static_cast<std::size_t>(Get32(f, 0x30)) + 1) * 512;
             Put32(f, directory + child * 128 + 0x44, child);
         }},
        {"storage inside itself",
         [](std::string& f) {
             const std::size_t entry = EntryOffset(f, "__attach_version1.0_#00000000");
             const std::size_t directory = (static_cast<std::size_t>(Get32(f, 0x30)) + 1) * 512;
             Put32(f, entry + 0x4C, static_cast<std::uint32_t>((entry - directory) / 128));
         }},
    };
    for (const auto& [what, damage] : damages) {
        SCOPED_TRACE(what);
        std::string bytes = good;
        damage(bytes);
        OutlookItem item;
        EXPECT_EQ(engine::ReadOutlookItem(bytes, item), OutlookReadResult::Unreadable);
        EXPECT_TRUE(item.attachments.empty());
        EXPECT_EQ(Extract(bytes), "");
        ExpectNothingLeft();
    }
    // Cut anywhere: a message with all its attachments or nothing, never a crash.
    for (std::size_t size = 0; size < good.size(); size += 97) {
        OutlookItem item;
        const OutlookReadResult result = engine::ReadOutlookItem(good.substr(0, size), item);
        EXPECT_TRUE(result == OutlookReadResult::Unreadable ||
                    (result == OutlookReadResult::Message && item.attachments.size() == 6))
            << size;
    }
}

}  // namespace
