// The extraction walk: one level of multipart/mixed or multipart/report, each attachment
// (or nested message) of it written into the message's staging folder, prohibited ones
// replaced by alert files.

#include "engine/AlertText.h"
#include "engine/AttachmentNamer.h"
#include "engine/FileSink.h"
#include "engine/MailParser.h"
#include "platform/File.h"
#include "platform/FileSystem.h"
#include "platform/ShiftJis.h"
#include "policy/ExtensionPolicy.h"

#include <vector>

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
bool WriteRecordFile(const std::string& path, const std::string& dateText,
                     const std::string& fromText, const std::string& subjectText) {
    return platform::WriteWholeFile(
        path, dateText + "\r\r\n" + fromText + "\r\r\n" + subjectText + "\r\r\n");
}

enum class PartKind { Skipped, Attachment, NestedMessage };

}  // namespace

std::string CMailParser::ExtractAttachments(const std::string& messagePath,
                                            const CExtensionList& prohibitedList,
                                            IProgress& progress, int progressStart,
                                            int progressEnd) {
    m_writeFailure = {};
    CMessageReader reader;
    if (!reader.Open(messagePath)) {
        return {};
    }
    // A message that cannot be extracted is consumed. An empty base name would make the
    // scan folder itself the staging folder; it counts as a name without ".".
    const auto consume = [&]() {
        reader.Close();
        platform::RemoveFile(messagePath);
        return std::string();
    };
    const std::string scanFolder = m_strDataFolder + "scanvirus\\";
    if (platform::MakeFolder(scanFolder) == platform::MakeFolderResult::Failed) {
        m_writeFailure = {WriteFailureKind::Folder, m_strDataFolder + "scanvirus"};
        return consume();
    }
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
    // Every file this message opened, so that a failure takes all of them away again.
    std::vector<std::string> outputs;
    const auto fail = [&](WriteFailureKind kind, const std::string& path) {
        m_writeFailure = {kind, path};
    };
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
            fail(WriteFailureKind::Folder, stagingFolder);
            break;
        }
        const bool bProhibited = isProhibited(fileName);
        const std::string outputName = bProhibited ? fileName + kAlertSuffix : fileName;
        namer.MarkTaken(outputName);
        const std::string outputPath = stagingFolder + "\\" + outputName;
        platform::File output;
        if (!output.Open(outputPath, platform::File::Mode::Write)) {
            fail(WriteFailureKind::File, outputPath);
            break;
        }
        outputs.push_back(outputPath);
        if (bProhibited) {
            // The body is not read: the next boundary search skips it.
            if (!output.Write(MakeAlertText(headerName))) {
                fail(WriteFailureKind::File, outputPath);
                break;
            }
            ++written;
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
        // A body writer stops at its first failed write; the part is then incomplete.
        const bool bFlushed = sink.Flush();
        if (!bWritten || !bFlushed) {
            fail(WriteFailureKind::File, outputPath);
            break;
        }
        ++written;
    }

    // A message cut short by a read error is kept: it may extract completely next time.
    const bool bReadError = reader.HasError();
    reader.Close();
    const std::string recordFile = m_strDataFolder + baseName + ".att";
    if (m_writeFailure.kind == WriteFailureKind::None && !bReadError && written > 0 &&
        !WriteRecordFile(recordFile, dateText, fromText, subjectText)) {
        platform::RemoveFile(recordFile);
        fail(WriteFailureKind::File, recordFile);
    }
    if (m_writeFailure.kind != WriteFailureKind::None) {
        // Nothing half-written is kept: the message leaves nothing of itself behind, and
        // the caller tells the user which message to take in again.
        for (const std::string& output : outputs) {
            platform::RemoveFile(output);
        }
        platform::RemoveEmptyFolder(stagingFolder);
        platform::RemoveFile(messagePath);
        return {};
    }
    if (written == 0) {
        platform::RemoveEmptyFolder(stagingFolder);
    }
    std::string result;
    if (!bReadError && written > 0) {
        result = stagingFolder;
    }
    if (!bReadError) {
        platform::RemoveFile(messagePath);
    }
    return result;
}
