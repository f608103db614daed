#include "engine/extract/OutlookExtract.h"

#include "engine/mime/MailParser.h"
#include "engine/outlook/OutlookItem.h"
#include "platform/File.h"
#include "platform/ShiftJis.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

constexpr char kNoSender[] = "--不明--";
constexpr char kNoSubject[] = "--件名なし--";
constexpr unsigned char kCompoundSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

std::string FromText(const OutlookItem& item) {
    if (item.senderName.empty() && item.senderAddress.empty()) {
        return kNoSender;
    }
    if (item.senderAddress.empty() || item.senderName == item.senderAddress) {
        return item.senderName.empty() ? item.senderAddress : item.senderName;
    }
    if (item.senderName.empty()) {
        return item.senderAddress;
    }
    return item.senderName + " <" + item.senderAddress + ">";
}

// Line breaks in a summary text become single spaces, as in a MIME summary.
std::string OneLine(const std::string& text) {
    std::string out;
    bool bBreak = false;
    for (const char c : text) {
        if (c == '\r' || c == '\n') {
            if (!bBreak) {
                out += ' ';
            }
            bBreak = true;
        } else {
            out += c;
            bBreak = false;
        }
    }
    return out;
}

void Summarise(const OutlookItem& item, std::string& fromText, std::string& subjectText,
               std::string& dateText) {
    fromText = OneLine(FromText(item));
    subjectText = item.subject.empty() ? std::string(kNoSubject) : OneLine(item.subject);
    dateText = engine::FormatFileTime(item.time);
}

}  // namespace

bool engine::IsCompoundFilePath(const std::string& path) {
    platform::File file;
    char head[sizeof kCompoundSignature] = {};
    if (!file.Open(path, platform::File::Mode::Read)) {
        return false;
    }
    const auto count = file.Read(head, sizeof head);
    return count && engine::HasCompoundFileSignature(std::string_view(head, *count));
}

bool engine::HasCompoundFileSignature(std::string_view head) {
    return head.size() >= sizeof kCompoundSignature &&
           std::equal(std::begin(kCompoundSignature), std::end(kCompoundSignature), head.begin(),
                      [](unsigned char expected, char byte) {
                          return expected == static_cast<unsigned char>(byte);
                      });
}

std::string engine::FormatFileTime(std::uint64_t fileTime) {
    constexpr std::uint64_t kUnixEpoch = 116444736000000000ULL;  // 1970-01-01 as a FILETIME
    if (fileTime < kUnixEpoch) {
        return {};
    }
    const auto seconds = static_cast<std::time_t>((fileTime - kUnixEpoch) / 10000000ULL);
    // The program has one thread, so the shared result of localtime is safe here.
    const std::tm* local = std::localtime(&seconds);
    if (!local) {
        return {};
    }
    char text[64];
    std::snprintf(text, sizeof text, "%04d年%02d月%02d日 %02d:%02d:%02d", local->tm_year + 1900,
                  local->tm_mon + 1, local->tm_mday, local->tm_hour, local->tm_min, local->tm_sec);
    return text;
}

OutlookSummaryResult engine::ReadOutlookSummary(const std::string& path, std::string& fromText,
                                        std::string& subjectText, std::string& dateText) {
    fromText.clear();
    subjectText.clear();
    dateText.clear();
    std::string bytes;
    if (!platform::ReadWholeFile(path, bytes)) {
        return OutlookSummaryResult::CannotOpen;
    }
    OutlookItem item;
    switch (engine::ReadOutlookItem(std::move(bytes), item)) {
        case OutlookReadResult::Unreadable:
            return OutlookSummaryResult::Unreadable;
        case OutlookReadResult::NotMessage:
            return OutlookSummaryResult::NotMessage;
        case OutlookReadResult::Message:
            break;
    }
    Summarise(item, fromText, subjectText, dateText);
    return OutlookSummaryResult::Message;
}

// --- Outlook items -----------------------------------------------------------------

bool engine::ExtractOutlookItem(CMailParser& parser, std::string itemBytes, CStagingSink& sink,
                        RecordSummary& summary, IProgress& progress, int progressStart,
                        int progressEnd) {
    OutlookItem item;
    if (engine::ReadOutlookItem(std::move(itemBytes), item) != OutlookReadResult::Message) {
        return false;
    }
    Summarise(item, summary.fromText, summary.subjectText, summary.dateText);
    // A signed or encrypted item keeps its message in its one attachment: the whole MIME
    // message of a clear-signed one ("IPM.Note.SMIME.MultipartSigned"), the CMS data of an
    // opaque-signed or encrypted one ("IPM.Note.SMIME", "smime.p7m").
    const bool bClearSigned =
        sjis::StartsWithNoCase(item.messageClass, "IPM.Note.SMIME.MultipartSigned");
    const bool bSmime = !bClearSigned && sjis::StartsWithNoCase(item.messageClass, "IPM.Note.SMIME");
    CProgressSteps steps(progress, progressStart, progressEnd);
    for (const OutlookAttachment& attachment : item.attachments) {
        if (steps.Next()) {
            break;
        }
        if (bClearSigned && item.attachments.size() == 1 && !attachment.bEmbeddedMessage) {
            parser.ExtractMimeEntity(attachment.data, sink, 1);
        } else if (bSmime && item.attachments.size() == 1 && !attachment.bEmbeddedMessage) {
            parser.ExtractSmimeData(attachment.data, attachment.name, attachment.mimeTag, sink, 1);
        } else {
            sink.AddPart(attachment.name, {}, attachment.data);
        }
        if (sink.Failed()) {
            break;
        }
    }
    return true;
}
