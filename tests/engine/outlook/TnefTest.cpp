// TNEF streams ("winmail.dat"): the reader, and their unpacking where a MIME message or an
// Outlook item carries one.

#include "engine/extract/Progress.h"
#include "engine/mime/MailParser.h"
#include "engine/outlook/Tnef.h"
#include "platform/FileSystem.h"
#include "policy/ExtensionList.h"
#include "support/Base64Encode.h"
#include "support/OutlookItemBuilder.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using Files = std::vector<std::pair<std::string, std::string>>;

Files Read(const std::string& stream, bool* result = nullptr) {
    std::vector<TnefAttachment> attachments;
    const bool bRead = engine::ReadTnef(stream, attachments);
    if (result) {
        *result = bRead;
    }
    Files files;
    for (const TnefAttachment& attachment : attachments) {
        files.emplace_back(attachment.name, attachment.data);
    }
    return files;
}

// Two files: one with only a title, one whose long name (Unicode) wins over its title; an
// attachment without data; a message-level attribute between them.
test::TnefBuilder TwoFiles() {
    test::TnefBuilder tnef;
    tnef.Attribute(1, 0x00069007, std::string("\xA4\x03\0\0\0\0\0\0", 8))  // code page 932
        .Attachment()
        .Title("予定.txt")
        .Data("plan")
        .Attribute(1, 0x00018004, "subject")
        .Attachment()
        .Title("LONGNA~1.DOC")
        .NameProperty(0x3707, test::Utf16Bytes(u"長い名前の文書.doc") + std::string(2, '\0'), true)
        .Data("doc bytes")
        .Attachment()
        .Title("nothing.bin");
    return tnef;
}

TEST(Tnef, FilesComeWithTheirNamesAndBytes) {
    bool bRead = false;
    EXPECT_EQ(Read(TwoFiles().Bytes(), &bRead),
              (Files{{"予定.txt", "plan"}, {"長い名前の文書.doc", "doc bytes"}}));
    EXPECT_TRUE(bRead);
    // An 8-bit long name in the stream's code page; a file without any name.
    test::TnefBuilder tnef;
    tnef.Attachment().NameProperty(0x3707, "報告.xls", false).Data("x").Attachment().Data("y");
    EXPECT_EQ(Read(tnef.Bytes()), (Files{{"報告.xls", "x"}, {"attachment.bin", "y"}}));
}

// attAttachment with the attach method and an object in PR_ATTACH_DATA_OBJ (after its
// 16-byte interface identifier).
std::string ObjectProperties(std::uint32_t method, const std::string& object) {
    std::string props;
    test::PutLittleEndian(props, 2, 4);
    test::PutLittleEndian(props, test::kPtLong, 2);
    test::PutLittleEndian(props, 0x3705, 2);
    test::PutLittleEndian(props, method, 4);
    test::PutLittleEndian(props, 0x000D, 2);
    test::PutLittleEndian(props, 0x3701, 2);
    test::PutLittleEndian(props, 1, 4);
    test::PutLittleEndian(props, 16 + object.size(), 4);
    props += std::string(16, '\x11') + object;
    props.append((4 - props.size() % 4) % 4, '\0');
    return props;
}

// An attached message gives its own files; an OLE object its data; files of one name are
// all there (the sink numbers them).
TEST(Tnef, AttachedMessagesAndObjectsGiveTheirFiles) {
    test::TnefBuilder inner;
    inner.Attachment().Title("inner.txt").Data("in the forwarded message");
    test::TnefBuilder deepest;
    deepest.Attachment().Title("deep.txt").Data("deep");
    test::TnefBuilder middle;
    middle.Attachment().Attribute(2, 0x00069005, ObjectProperties(5, deepest.Bytes()));
    test::TnefBuilder tnef;
    tnef.Attachment()
        .Title("Forwarded")
        .Attribute(2, 0x00069005, ObjectProperties(5, inner.Bytes()))
        .Attachment()
        .Title("drawing.bmp")
        .Attribute(2, 0x00069005, ObjectProperties(6, "OLE storage"))
        .Attachment()
        .Title("same.txt")
        .Data("one")
        .Attachment()
        .Title("same.txt")
        .Data("two")
        .Attachment()
        .Title("Nested")
        .Attribute(2, 0x00069005, ObjectProperties(5, middle.Bytes()))
        .Attachment()
        .Title("broken.msg")
        .Attribute(2, 0x00069005, ObjectProperties(5, "no stream"));
    EXPECT_EQ(Read(tnef.Bytes()), (Files{{"inner.txt", "in the forwarded message"},
                                          {"drawing.bmp", "OLE storage"},
                                          {"same.txt", "one"},
                                          {"same.txt", "two"},
                                          {"deep.txt", "deep"},
                                          {"broken.msg", "no stream"}}));
}

TEST(Tnef, MalformedStreamsGiveNothing) {
    const std::string good = TwoFiles().Bytes();
    std::vector<std::string> bad = {"", std::string("\x78\x9F\x3E\x22", 4), "not tnef at all"};
    // Cut anywhere inside an attribute.
    for (std::size_t size = 7; size < good.size(); size += 5) {
        bad.push_back(good.substr(0, size));
    }
    // A length beyond the stream; a property count beyond its block.
    std::string huge = good;
    huge[6 + 1 + 4] = '\xFF';
    huge[6 + 1 + 4 + 3] = '\x7F';
    bad.push_back(huge);
    test::TnefBuilder props;
    props.Attachment().Attribute(2, 0x00069005, std::string("\xFF\xFF\xFF\x0F\x1F\0\x07\x37", 8)).Data("d");
    bad.push_back(props.Bytes());
    for (const std::string& stream : bad) {
        bool bRead = true;
        const Files files = Read(stream, &bRead);
        // A cut that falls exactly between attributes is a shorter stream, not a damaged one.
        if (bRead) {
            EXPECT_EQ(good.compare(0, stream.size(), stream), 0) << stream.size();
        } else {
            EXPECT_TRUE(files.empty());
        }
    }
}

TEST(Tnef, RecognisedByNameOrContentType) {
    EXPECT_TRUE(engine::IsTnefAttachment("winmail.dat", ""));
    EXPECT_TRUE(engine::IsTnefAttachment("WINMAIL.DAT", "application/octet-stream"));
    EXPECT_TRUE(engine::IsTnefAttachment("other.dat", " Application/MS-TNEF; name=\"other.dat\""));
    EXPECT_TRUE(engine::IsTnefAttachment("", "application/vnd.ms-tnef"));
    EXPECT_FALSE(engine::IsTnefAttachment("winmail.dat.txt", "text/plain"));
    EXPECT_FALSE(engine::IsTnefAttachment("mywinmail.dat", ""));
}

class TnefUnpackingTest : public ::testing::Test {
protected:
    std::string DataFolder() const { return m_scratch.Path() + "\\"; }
    std::string Staging() const { return DataFolder() + "scanvirus\\B"; }

    std::string Extract(const std::string& name, const std::string& bytes) {
        test::WriteFile(DataFolder() + name, bytes);
        CNoProgress progress;
        return CMailParser(DataFolder()).ExtractAttachments(
            DataFolder() + name, CExtensionList({"exe"}, {}), progress, 0, 60);
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

    static std::string Mime(const std::string& type, const std::string& name, const std::string& data) {
        return "From: a@example.jp\r\nSubject: s\r\nDate: Mon, 6 Dec 2004 10:20:30 +0900\r\n"
               "Content-Type: multipart/mixed; boundary=\"B\"\r\n\r\n"
               "--B\r\nContent-Type: " + type + "\r\nContent-Transfer-Encoding: base64\r\n"
               "Content-Disposition: attachment; filename=\"" + name + "\"\r\n\r\n" +
               test::Base64Encode(data) + "\r\n--B\r\n"
               "Content-Type: text/plain\r\nContent-Disposition: attachment; filename=\"予定.txt\"\r\n\r\n"
               "mail's own\r\n--B--\r\n";
    }

    test::ScratchFolder m_scratch;
};

TEST_F(TnefUnpackingTest, AWinmailDatGivesWayToItsFilesNamedAndCheckedLikeAnyOther) {
    test::TnefBuilder tnef = TwoFiles();
    tnef.Attachment().Title("setup.exe").Data("MZ");
    EXPECT_EQ(Extract("B.eml", Mime("application/ms-tnef", "winmail.dat", tnef.Bytes())), Staging());
    // A name the message already used is numbered; a prohibited one is an alert file.
    EXPECT_EQ(StagedFiles(), (std::set<std::string>{"予定.txt", "長い名前の文書.doc", "setup.exe.alert",
                                                     "予定(1).txt"}));
    EXPECT_EQ(test::ReadFile(Staging() + "\\予定.txt"), "plan");
    EXPECT_EQ(test::ReadFile(Staging() + "\\予定(1).txt"), "mail's own");
}

TEST_F(TnefUnpackingTest, ADamagedOrEmptyStreamIsKeptAsItCame) {
    const std::string cut = TwoFiles().Bytes().substr(0, 40);
    test::TnefBuilder empty;
    empty.Attribute(1, 0x00018004, "subject only");
    for (const std::string& stream : {cut, empty.Bytes()}) {
        EXPECT_EQ(Extract("B.eml", Mime("application/octet-stream", "winmail.dat", stream)), Staging());
        EXPECT_EQ(StagedFiles(), (std::set<std::string>{"winmail.dat", "予定.txt"}));
        EXPECT_EQ(test::ReadFile(Staging() + "\\winmail.dat"), stream);
        test::DeleteTree(Staging());
    }
}

TEST_F(TnefUnpackingTest, AnOutlookItemsWinmailDatIsUnpackedToo) {
    test::MsgObject message;
    message.Text(0x001A, u"IPM.Note");
    message.attachments.emplace_back();
    message.attachments.back().Binary(0x3701, TwoFiles().Bytes()).Text(0x3707, u"winmail.dat");
    EXPECT_EQ(Extract("B.msg", test::BuildItem(message)), Staging());
    EXPECT_EQ(StagedFiles(), (std::set<std::string>{"予定.txt", "長い名前の文書.doc"}));
}

}  // namespace
