// Writes that fail part-way, as on a full disk: a child process runs the engine under a small
// file-size limit (which binds root as well), and the parent looks at what is left on disk.

#include "engine/extract/Progress.h"
#include "engine/mime/MailParser.h"
#include "platform/FileSystem.h"
#include "platform/SpecialFolders.h"
#include "policy/ExtensionList.h"
#include "support/Base64Encode.h"
#include "support/OutlookItemBuilder.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

namespace {

constexpr rlim_t kLimit = 16 * 1024;

class NoProgress : public IProgress {
public:
    void SetPosition(int) override {}
    bool CheckCancel() override { return false; }
};

// Runs body in a child process whose files cannot grow past kLimit bytes (a write beyond it
// fails instead of ending the process); returns the child's exit code, or -1.
int RunLimited(const std::function<int()>& body) {
    const pid_t child = fork();
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit;
        getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = kLimit;
        _exit(setrlimit(RLIMIT_FSIZE, &limit) == 0 ? body() : 100);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

// 64 KiB of text lines, four times the limit.
std::string BigBody() {
    std::string body;
    while (body.size() < 4 * kLimit) {
        body += "0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcde\r\n";
    }
    return body;
}

std::vector<std::string> Names(const std::string& pattern) {
    std::vector<platform::FoundEntry> entries;
    platform::FindEntries(pattern, entries);
    std::vector<std::string> names;
    for (const platform::FoundEntry& entry : entries) {
        names.push_back(entry.name);
    }
    return names;
}

// A small attachment and a big one, as each format carries them.
std::string MimeMessage() {
    return "Subject: s\r\nContent-Type: multipart/mixed; boundary=\"B\"\r\n\r\n"
           "--B\r\nContent-Disposition: attachment; filename=\"small.txt\"\r\n\r\nsmall\r\n"
           "--B\r\nContent-Disposition: attachment; filename=\"big.bin\"\r\n\r\n" +
           BigBody() + "--B--\r\n";
}

test::MsgObject Attachment(std::u16string_view name, std::string data) {
    test::MsgObject attachment;
    attachment.Fixed(0x3705, test::kPtLong, 1).Binary(0x3701, std::move(data)).Text(0x3707, name);
    return attachment;
}

std::string OutlookItem(const std::vector<test::MsgObject>& attachments) {
    test::MsgObject message;
    message.Text(0x001A, u"IPM.Note").Text(0x0037, u"s");
    message.attachments = attachments;
    return test::BuildItem(message);
}

std::string Winmail() {
    test::TnefBuilder tnef;
    tnef.Attachment().Title("small.txt").Data("small").Attachment().Title("big.bin").Data(BigBody());
    return tnef.Bytes();
}

// Every format's files go through one write point: a file cut short takes its whole message
// away (no half-written file, no record, no message copy) and says which file failed.
TEST(FileSizeLimit, AFileCutShortTakesTheWholeMessageAway) {
    const struct {
        const char* what;
        std::string fileName;
        std::string failedFile;  // the file that could not be written
        std::string bytes;
    } cases[] = {
        {"MIME message", "big.eml", "big.bin", MimeMessage()},
        {"Outlook item", "big.msg", "big.bin",
         OutlookItem({Attachment(u"small.txt", "small"), Attachment(u"big.bin", BigBody())})},
        {"winmail.dat in an Outlook item", "big.msg", "big.bin",
         OutlookItem({Attachment(u"winmail.dat", Winmail())})},
        // The stream is written before it is unpacked, and it is the bigger file.
        {"winmail.dat in a MIME message", "big.eml", "winmail.dat",
         "Subject: s\r\nContent-Type: multipart/mixed; boundary=\"B\"\r\n\r\n"
         "--B\r\nContent-Type: application/ms-tnef\r\nContent-Disposition: attachment; "
         "filename=\"winmail.dat\"\r\nContent-Transfer-Encoding: base64\r\n\r\n" +
             test::Base64Encode(Winmail()) + "\r\n--B--\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::ScratchFolder scratch;
        const std::string D = scratch.Path() + "\\";
        ASSERT_EQ(platform::MakeFolder(D + "scanvirus"), platform::MakeFolderResult::Created);
        test::WriteFile(D + c.fileName, c.bytes);
        const int code = RunLimited([&] {
            CMailParser parser(D);
            NoProgress progress;
            const std::string staged =
                parser.ExtractAttachments(D + c.fileName, CExtensionList(), progress, 0, 100);
            const CMailParser::WriteFailure& failure = parser.GetWriteFailure();
            return (staged.empty() ? 0 : 1) |
                   (failure.kind == CMailParser::WriteFailureKind::File ? 0 : 2) |
                   (failure.path == D + "scanvirus\\big\\" + c.failedFile ? 0 : 4);
        });
        EXPECT_EQ(code, 0);
        EXPECT_EQ(Names(D + "*.*"), std::vector<std::string>{"scanvirus"});
        EXPECT_EQ(Names(D + "scanvirus\\*.*"), std::vector<std::string>{});
    }
}

TEST(FileSizeLimit, ADraftCutShortIsDeleted) {
    test::ScratchFolder scratch;
    test::WriteFile(scratch / "m.eml", "Subject: s\r\n\r\n" + BigBody());
    const std::string temporary = platform::TempPath() + "morvek\\";
    const int code = RunLimited([&] {
        CMailParser parser;
        const std::string draft = parser.WriteUnsentMail(scratch / "m.eml");
        const CMailParser::WriteFailure& failure = parser.GetWriteFailure();
        return (draft.empty() ? 0 : 1) |
               (failure.kind == CMailParser::WriteFailureKind::File ? 0 : 2) |
               (failure.path.rfind(temporary, 0) == 0 ? 0 : 4);
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(Names(temporary + "*.eml"), std::vector<std::string>{});
}

}  // namespace
