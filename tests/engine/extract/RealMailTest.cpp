// What real mail sends beyond the plain MIME walk: signed and encrypted S/MIME mail (MIME and
// Outlook items alike), uuencoded files, old and broken structure, names a file system
// refuses.

#include "engine/extract/Progress.h"
#include "engine/mime/MailParser.h"
#include "platform/FileSystem.h"
#include "policy/ExtensionList.h"
#include "support/Base64Encode.h"
#include "support/CmsBuilder.h"
#include "support/OutlookItemBuilder.h"
#include "support/ScratchFolder.h"
#include "support/SmimeSamples.h"

#include <gtest/gtest.h>

#include <set>

#include <map>
#include <string>
#include <vector>

namespace {

class RealMailTest : public ::testing::Test {
protected:
    std::string DataFolder() const { return m_scratch.Path() + "\\"; }
    std::string Staging() const { return DataFolder() + "scanvirus\\B"; }

    // Extracts a message file's bytes; the staging folder's files by name and bytes. What
    // an earlier message of the test left is cleared first.
    std::map<std::string, std::string> Extract(const std::string& bytes,
                                               const std::string& fileName = "B.eml") {
        std::vector<platform::FoundEntry> left;
        platform::FindEntries(Staging() + "\\*.*", left);
        for (const platform::FoundEntry& entry : left) {
            platform::RemoveFile(Staging() + "\\" + entry.name);
        }
        platform::RemoveFile(DataFolder() + "B.att");
        test::WriteFile(DataFolder() + fileName, bytes);
        CNoProgress progress;
        m_parser.ExtractAttachments(DataFolder() + fileName, m_prohibited, progress, 0, 100);
        std::map<std::string, std::string> files;
        std::vector<platform::FoundEntry> entries;
        platform::FindEntries(Staging() + "\\*.*", entries);
        for (const platform::FoundEntry& entry : entries) {
            files[entry.name] = test::ReadFile(Staging() + "\\" + entry.name);
        }
        return files;
    }

    test::ScratchFolder m_scratch;
    CMailParser m_parser{DataFolder()};
    CExtensionList m_prohibited{{"exe"}, {}};
};

using Files = std::map<std::string, std::string>;

const std::string kSignedFile = "signed attachment\n";

// Signed mail gives the files inside it, clear-signed with its signature beside them;
// encrypted mail keeps its smime.p7m and says so.
TEST_F(RealMailTest, SignedMailGivesItsFilesEncryptedMailStaysWhole) {
    EXPECT_EQ(Extract(test::kSmimeOpaqueSigned), (Files{{"報告.txt", kSignedFile}}));
    EXPECT_FALSE(m_parser.HasEncryptedContent());

    const Files clear = Extract(test::kSmimeClearSigned);
    ASSERT_EQ(clear.size(), 2u);
    EXPECT_EQ(clear.at("報告.txt"), kSignedFile);
    EXPECT_EQ(clear.count("smime.p7s"), 1u);

    const Files encrypted = Extract(test::kSmimeEncrypted);
    ASSERT_EQ(encrypted.size(), 1u);
    EXPECT_EQ(encrypted.count("smime.p7m"), 1u);
    EXPECT_TRUE(m_parser.HasEncryptedContent());
    // A signed part inside a multipart, found by its type though it names no file.
    const std::string opaque = test::kSmimeOpaqueSigned;
    const std::string body = opaque.substr(opaque.find("\n\n") + 2);
    const std::string inMultipart =
        "Subject: fwd\r\nContent-Type: multipart/mixed; boundary=\"o\"\r\n\r\n--o\r\n"
        "Content-Type: application/pkcs7-mime; smime-type=signed-data\r\n"
        "Content-Transfer-Encoding: base64\r\n\r\n" + body + "\r\n--o--\r\n";
    EXPECT_EQ(Extract(inMultipart), (Files{{"報告.txt", kSignedFile}}));
    EXPECT_FALSE(m_parser.HasEncryptedContent());
    // A signed document that is no MIME message ("report.pdf.p7m") stays as it came.
    const std::string signedPdf = test::SignedDataOf("%PDF-1.4\r\nContent-Type: x\r\n\r\n",
                                                     test::CmsForm::Der);
    const std::string withDocument =
        "Subject: doc\r\nContent-Type: multipart/mixed; boundary=\"o\"\r\n\r\n--o\r\n"
        "Content-Type: application/pkcs7-mime; name=\"report.pdf.p7m\"\r\n"
        "Content-Transfer-Encoding: base64\r\n\r\n" + test::Base64Encode(signedPdf) +
        "\r\n--o--\r\n";
    EXPECT_EQ(Extract(withDocument), (Files{{"report.pdf.p7m", signedPdf}}));
}

// Outlook keeps a signed message in the item's one attachment: a clear-signed one as its
// MIME message, an opaque-signed or encrypted one as CMS data.
TEST_F(RealMailTest, SignedOutlookItemsGiveTheFilesOfTheirMessage) {
    const std::string clear = test::kSmimeClearSigned;
    test::MsgObject item;
    item.Text(0x001A, u"IPM.Note.SMIME.MultipartSigned").Text(0x0037, u"署名付き");
    item.attachments.emplace_back();
    item.attachments.back()
        .Fixed(0x3705, test::kPtLong, 1)
        .Binary(0x3701, clear)
        .Text(0x370E, u"multipart/signed")
        .Text(0x3707, u"smime.p7m");
    const Files files = Extract(test::BuildItem(item), "B.msg");
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files.at("報告.txt"), kSignedFile);
    EXPECT_EQ(files.count("smime.p7s"), 1u);

    test::MsgObject opaque;
    opaque.Text(0x001A, u"IPM.Note.SMIME").Text(0x0037, u"署名付き");
    opaque.attachments.emplace_back();
    opaque.attachments.back()
        .Fixed(0x3705, test::kPtLong, 1)
        .Binary(0x3701, test::Base64Decode(test::kCmsSignedDer))
        .Text(0x3707, u"smime.p7m");
    EXPECT_EQ(Extract(test::BuildItem(opaque), "B.msg"), (Files{{"報告.txt", kSignedFile}}));

    opaque.attachments.back().streams[0].second = test::Base64Decode(test::kCmsEnvelopedDer);
    const Files encrypted = Extract(test::BuildItem(opaque), "B.msg");
    EXPECT_EQ(encrypted.count("smime.p7m"), 1u);
    EXPECT_TRUE(m_parser.HasEncryptedContent());
}

// uuencoded files: bodies in the x-uuencode transfer encoding, and begin/end blocks inside
// a plain-text body, each under its own name.
TEST_F(RealMailTest, UuencodedFilesComeOutUnderTheirNames) {
    const std::string block = "begin 644 a.txt\r\n#04)#\r\n`\r\nend\r\n";
    const std::string message =
        "Subject: uu\r\nContent-Type: multipart/mixed; boundary=\"b\"\r\n\r\n--b\r\n"
        "Content-Type: text/plain\r\n\r\nHello,\r\n\r\n" + block +
        "begin 600 \xE6\x97\xA5\xE6\x9C\xAC.bin\r\n%2&5L;&\\\r\n`\r\nend\r\nbye\r\n--b\r\n"
        "Content-Type: application/octet-stream; name=\"named.dat\"\r\n"
        "Content-Transfer-Encoding: x-uuencode\r\n\r\n" + block + "--b\r\n"
        "Content-Type: application/octet-stream\r\nContent-Transfer-Encoding: x-uue\r\n\r\n" +
        block + "--b\r\n"
        "Content-Disposition: attachment; filename=\"empty.doc\"\r\n"
        "Content-Transfer-Encoding: x-uuencode\r\n\r\n\r\n--b--\r\n";
    EXPECT_EQ(Extract(message), (Files{{"a.txt", "ABC"}, {"日本.bin", "Hello"},
                                       {"named.dat", "ABC"}, {"a(1).txt", "ABC"},
                                       {"empty.doc", ""}}));
    // A single-part message whose body holds a block.
    EXPECT_EQ(Extract("Subject: uu\r\n\r\nsee below\r\n" + block), (Files{{"a.txt", "ABC"}}));
}

// Old and broken mail: CR-only line ends, a part header without its blank line, an empty
// or unknown Content-Type with a name, a named part without a body.
TEST_F(RealMailTest, OldAndBrokenMailStillGivesItsFiles) {
    const std::string parts =
        "--b\r\nContent-Type: application/zip; name=\"Attachment.zip\"\r\n"
        "Content-Transfer-Encoding: base64\r\nUEsFBgAAAAAAAAAAAAAAAAAAAAAAAA==\r\n"
        "--b\r\nContent-Type: ; name=\"empty-type.txt\"\r\n\r\nx\r\n"
        "--b\r\nContent-Type: unknown; name=\"unknown-type.txt\"\r\n\r\ny\r\n"
        "--b\r\nContent-Type: text/plain; name=\"no-body.txt\"\r\n"
        "--b--\r\n";
    const std::string message =
        "Subject: old\r\nContent-Type: multipart/mixed; boundary=\"b\"\r\n\r\n" + parts;
    // The attachment is an empty zip (a damaged one would be held as one that cannot be
    // checked).
    const Files expected{{"Attachment.zip", std::string("PK\x05\x06", 4) + std::string(18, '\0')},
                         {"empty-type.txt", "x"},
                         {"unknown-type.txt", "y"},
                         {"no-body.txt", ""}};
    EXPECT_EQ(Extract(message), expected);
    std::string crOnly;
    for (const char c : message) {
        if (c != '\n') {
            crOnly += c;
        }
    }
    EXPECT_EQ(Extract(crOnly), expected);
}

// A name the file system refuses never costs the attachment, nor the others of its message.
TEST_F(RealMailTest, ANameTheFileSystemRefusesFallsBackToAPlainOne) {
    const std::string longName(300, 'n');
    const std::string message =
        "Subject: long\r\nContent-Type: multipart/mixed; boundary=\"b\"\r\n\r\n"
        "--b\r\nContent-Disposition: attachment; filename=\"" + longName + ".pdf\"\r\n\r\nA\r\n"
        "--b\r\nContent-Disposition: attachment; filename=\"" + longName + ".exe\"\r\n\r\nB\r\n"
        "--b\r\nContent-Disposition: attachment; filename=\"ok.txt\"\r\n\r\nC\r\n--b--\r\n";
    // A name too long for the folder is shortened before its extension.
    const Files files = Extract(message);
    ASSERT_EQ(files.size(), 3u);
    std::set<std::string> endings;
    for (const auto& [name, contents] : files) {
        if (name != "ok.txt") {
            EXPECT_EQ(name.substr(0, 100), longName.substr(0, 100));
            EXPECT_LT(name.size(), longName.size());
            endings.insert(name.substr(name.find('.')));
        }
    }
    EXPECT_EQ(endings, (std::set<std::string>{".pdf", ".exe.alert"}));
    EXPECT_EQ(files.at("ok.txt"), "C");
    EXPECT_EQ(m_parser.GetWriteFailure().kind, CMailParser::WriteFailureKind::None);
}

}  // namespace
