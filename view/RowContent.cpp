#include "view/RowContent.h"

#include "app/FilePath.h"
#include "engine/mime/MailParser.h"
#include "engine/mime/MessageReader.h"
#include "engine/extract/OutlookExtract.h"
#include "engine/extract/StagingSink.h"
#include "platform/FileSystem.h"
#include "platform/ShiftJis.h"
#include "policy/ExtensionPolicy.h"
#include "view/ListGeometry.h"
#include "store/RecordFile.h"

#include <algorithm>
#include <optional>

namespace list {

namespace {

constexpr char kAlertExtension[] = "alert";
constexpr std::size_t kAlertSuffixLength = sizeof engine::kAlertSuffix - 1;

std::string ExtensionOf(const std::string& path, bool bFolder) {
    if (bFolder) {
        return {};
    }
    std::string ext;
    CFilePath(path).GetExtension(ext);
    return TrimSpace(sjis::ToLowerAscii(ext));
}

// The summary of a message attachment as two lines, or nothing when the file cannot be
// opened or has no complete header.
bool MessageText(const std::string& path, std::string& text) {
    CMessageReader reader;
    if (!reader.Open(path)) {
        return false;
    }
    CMailParser parser;
    std::string from;
    std::string subject;
    std::string date;
    std::string contentType;
    if (!parser.ReadMessageSummary(reader, from, subject, date, contentType)) {
        return false;
    }
    text = subject + "\r\n    " + date + "    " + from;
    return true;
}

// The same for an attached Outlook item ("message.msg"): nothing unless it is a message.
bool OutlookItemText(const std::string& path, std::string& text) {
    std::string from;
    std::string subject;
    std::string date;
    if (engine::ReadOutlookSummary(path, from, subject, date) != OutlookSummaryResult::Message) {
        return false;
    }
    text = subject + "\r\n    " + date + "    " + from;
    return true;
}

}  // namespace

std::string AttachmentExtension(const std::string& path) {
    const auto attributes = platform::QueryAttributes(path);
    return ExtensionOf(path, attributes && attributes->isFolder);
}

RecordRowContent DescribeRecordRow(const std::string& recordFile) {
    RecordRowContent content;
    if (recordFile.empty() || !platform::QueryAttributes(recordFile)) {
        return content;
    }
    RecordFileText text;
    ReadRecordFile(recordFile, text);
    content.bDraw = true;
    content.strSubject = text.subjectText;
    content.strDetails = "    " + text.dateText + "    " + text.fromText;
    return content;
}

AttachmentRowContent DescribeAttachmentRow(const std::string& path,
                                           const CExtensionList& allowedList) {
    AttachmentRowContent content;
    const auto attributes = path.empty() ? std::nullopt : platform::QueryAttributes(path);
    if (!attributes) {
        return content;
    }
    content.bDraw = true;
    const CFilePath file(path);
    std::string name;
    file.GetFileName(name);
    const std::string ext = ExtensionOf(path, attributes->isFolder);

    if (ext == kAlertExtension) {
        content.bAlert = true;
        content.strText = name.substr(0, name.size() - std::min(name.size(), kAlertSuffixLength)) +
                          "\r\n   " + kAlertRowText;
        return content;
    }
    switch (CheckOpen(ext, allowedList)) {
        case OpenVerdict::Dangerous:
            content.nOverlay = kDangerousOverlay;
            break;
        case OpenVerdict::NotAllowed:
            content.nOverlay = kNotAllowedOverlay;
            break;
        case OpenVerdict::Openable:
            break;
    }
    if (ext == "eml" && MessageText(path, content.strText)) {
        return content;
    }
    if (ext == "msg" && OutlookItemText(path, content.strText)) {
        return content;
    }
    content.strText = name + "\r\n   " + file.GetSizeText();
    return content;
}

}  // namespace list
