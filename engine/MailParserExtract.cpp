// The extraction walk: one level of multipart/mixed or multipart/report, each attachment
// (or nested message) of it written into the message's staging folder, prohibited ones
// replaced by alert files.

#include "engine/AlertText.h"
#include "engine/AttachmentNamer.h"
#include "engine/FileSink.h"
#include "engine/MailParser.h"
#include "platform/DownloadMark.h"
#include "platform/File.h"
#include "platform/FileSystem.h"
#include "platform/ShiftJis.h"
#include "policy/ExtensionPolicy.h"

namespace {

constexpr char kNestedMessageName[] = "message.eml";
constexpr char kAlertSuffix[] = ".alert";

// The message's base name: its file name (after the last "\", "/" or ":") cut before the
// last "." and without trailing white space; empty when the file name has no ".".
std::string MessageBaseName(const std::string& messagePath) {
    const std::size_t separator = sjis::FindLastOf(messagePath, "\\/:");
    const std::string fileName =
        separator == std::string::npos ? messagePath : messagePath.substr(separator + 1);
    const std::size_t dot = sjis::FindLastOf(fileName, ".");
    if (dot == std::string::npos) {
        return {};
    }
    std::string base = fileName.substr(0, dot);
    while (!base.empty() && (base.back() == ' ' || base.back() == '\t')) {
        base.pop_back();
    }
    return base;
}

// Date, sender and subject, one line each. The record file is a text file: each line ends
// in CR CR LF on disk, as text-mode output of "\r\n" writes it.
void WriteRecordFile(const std::string& path, const std::string& dateText,
                     const std::string& fromText, const std::string& subjectText) {
    platform::WriteWholeFile(path,
                             dateText + "\r\r\n" + fromText + "\r\r\n" + subjectText + "\r\r\n");
}

enum class PartKind { Skipped, Attachment, NestedMessage };

}  // namespace

std::string CMailParser::ExtractAttachments(const std::string& messagePath,
                                            const CExtensionList& prohibitedList,
                                            IProgress& progress, int progressStart,
                                            int progressEnd) {
    CMessageReader reader;
    if (!reader.Open(messagePath)) {
        return {};
    }
    const std::string scanFolder = m_strDataFolder + "scanvirus\\";
    if (platform::MakeFolder(scanFolder) == platform::MakeFolderResult::Failed) {
        return {};
    }
    // A message that cannot be extracted is consumed. An empty base name would make the
    // scan folder itself the staging folder; it counts as a name without ".".
    const auto consume = [&]() {
        reader.Close();
        platform::RemoveFile(messagePath);
        return std::string();
    };
    const std::string baseName = MessageBaseName(messagePath);
    if (baseName.empty()) {
        return consume();
    }
    std::string fromText, subjectText, dateText, contentType;
    if (!ReadMessageSummary(reader, fromText, subjectText, dateText, contentType)) {
        return consume();
    }
    const ContentTypeKind messageKind = GetContentTypeKind(contentType);
    if (messageKind != ContentTypeKind::MultipartMixed &&
        messageKind != ContentTypeKind::MultipartReport) {
        return consume();
    }
    const std::string boundaryLine = GetBoundary(contentType);
    if (boundaryLine.empty()) {
        return consume();
    }

    const std::string stagingFolder = scanFolder + baseName;
    const std::string closingLine = boundaryLine + "--";
    CAttachmentNamer namer;
    int written = 0;
    bool bFailed = false;
    int step = 1;
    std::string line;
    while (true) {
        if (step < 7) {
            progress.SetPosition(progressStart + ((progressEnd - progressStart) * step) / 6);
            ++step;
        }
        if (progress.CheckCancel()) {
            break;
        }
        // Skip to the next part: the whole line must be the boundary line.
        bool bClosed = false;
        while (reader.ReadLine(line)) {
            if (line == boundaryLine) {
                break;
            }
            if (line == closingLine) {
                bClosed = true;
                break;
            }
        }
        std::string partType, partEncoding, disposition;
        if (bClosed || !ReadPartHeader(reader, partType, partEncoding, disposition)) {
            break;
        }

        PartKind kind = PartKind::Skipped;
        if (IsAttachmentDisposition(disposition)) {
            kind = PartKind::Attachment;
        } else if (GetContentTypeKind(partType) == ContentTypeKind::MessageRfc822) {
            kind = PartKind::NestedMessage;
        }
        if (kind == PartKind::Skipped) {
            continue;
        }
        const std::string headerName =
            kind == PartKind::NestedMessage ? kNestedMessageName : GetFileNameParam(disposition);
        if (headerName.empty()) {
            continue;
        }
        // The name as written: inside the folder, creatable, and unused in this message,
        // its alert form included. The prohibition test applies to this final name.
        const auto isProhibited = [&](const std::string& name) {
            return !prohibitedList.GetExtensions().empty() &&
                   IsProhibitedName(stagingFolder + "\\" + name, prohibitedList);
        };
        const std::string fileName = namer.Take(headerName, [&](const std::string& name) {
            return isProhibited(name) && namer.IsTaken(name + kAlertSuffix);
        });
        if (fileName.empty()) {
            continue;
        }
        if (platform::MakeFolder(stagingFolder) == platform::MakeFolderResult::Failed) {
            bFailed = true;
            break;
        }
        const bool bProhibited = isProhibited(fileName);
        const std::string outputName = bProhibited ? fileName + kAlertSuffix : fileName;
        namer.MarkTaken(outputName);
        platform::File output;
        if (!output.Open(stagingFolder + "\\" + outputName, platform::File::Mode::Write)) {
            continue;
        }
        if (bProhibited) {
            // The body is not read: the next boundary search skips it.
            if (output.Write(MakeAlertText(headerName))) {
                ++written;
            }
            continue;
        }
        CFileSink sink(output);
        bool bWritten = false;
        switch (GetTransferEncoding(partEncoding)) {
            case TransferEncoding::Base64:
                bWritten = WriteBase64Body(reader, sink, boundaryLine);
                break;
            case TransferEncoding::QuotedPrintable:
                bWritten = WriteQuotedPrintableBody(reader, sink, boundaryLine);
                break;
            default:
                bWritten = WritePlainBody(reader, sink, boundaryLine);
                break;
        }
        const bool bComplete = sink.Flush() && bWritten;
        output.Close();
        // What came with mail came from outside, and Windows is to treat it so.
        platform::MarkAsDownloaded(stagingFolder + "\\" + outputName);
        if (bComplete) {
            ++written;
        }
    }

    // A message cut short by a read error is kept: it may extract completely next time.
    const bool bReadError = reader.HasError();
    reader.Close();
    if (written == 0) {
        platform::RemoveEmptyFolder(stagingFolder);
    }
    std::string result;
    if (!bFailed && !bReadError && written > 0) {
        WriteRecordFile(m_strDataFolder + baseName + ".att", dateText, fromText, subjectText);
        result = stagingFolder;
    }
    if (!bReadError) {
        platform::RemoveFile(messagePath);
    }
    return result;
}
