// The extraction walk: every multipart descended (to a depth limit), each attachment (or
// nested message) written into the message's staging folder, prohibited ones replaced by
// alert files.

#include "engine/extract/AlertText.h"
#include "engine/extract/AttachmentNamer.h"
#include "engine/extract/FileSink.h"
#include "engine/mime/MailParser.h"
#include "engine/extract/OutlookExtract.h"
#include "platform/DownloadMark.h"
#include "platform/File.h"
#include "platform/FileSystem.h"
#include "platform/ShiftJis.h"
#include "policy/ExtensionPolicy.h"

#include <vector>

namespace {

constexpr char kNestedMessageName[] = "message.eml";
constexpr char kAlertSuffix[] = ".alert";

// Date, sender and subject, one line each. The record file is a text file: each line ends
// in CR CR LF on disk, as text-mode output of "\r\n" writes it.
bool WriteRecordFile(const std::string& path, const std::string& dateText,
                     const std::string& fromText, const std::string& subjectText) {
    return platform::WriteWholeFile(
        path, dateText + "\r\r\n" + fromText + "\r\r\n" + subjectText + "\r\r\n");
}

// Limits that keep a hostile message from exhausting the stack, the time or the disk: how
// deep multiparts nest, and how many parts one message may have.
constexpr int kMaxDepth = 32;
constexpr int kMaxParts = 1000;

}  // namespace

// One message's walk: every multipart descended, each attachment (or nested message)
// written into the staging folder.
class CMailParser::CExtraction {
public:
    CExtraction(CMailParser& parser, CMessageReader& reader, const CExtensionList& prohibitedList,
                IProgress& progress, int progressStart, int progressEnd, std::string stagingFolder)
        : m_parser(parser),
          m_reader(reader),
          m_prohibitedList(prohibitedList),
          m_progress(progress),
          m_nProgressStart(progressStart),
          m_nProgressEnd(progressEnd),
          m_strStagingFolder(std::move(stagingFolder)) {}

    // Walks the entity whose header was just read; the reader is at the start of its body.
    // defaultType is the media type of an entity without Content-Type.
    void Walk(const PartFields& fields, int depth, std::string_view defaultType) {
        const std::string type = fields.strContentType.empty()
                                     ? std::string(defaultType)
                                     : GetMediaType(fields.strContentType);
        if (type.rfind("multipart/", 0) == 0 && depth < kMaxDepth) {
            std::string boundaryLine = m_parser.GetBoundary(fields.strContentType);
            if (!boundaryLine.empty()) {
                WalkMultipart(std::move(boundaryLine), type == "multipart/digest", depth);
                return;
            }
        }
        if (type == "message/rfc822" && depth == 0) {
            // A message whose whole body is a message: its parts are this message's parts.
            PartFields inner;
            if (m_parser.ReadPartHeader(m_reader, inner.strContentType, inner.strTransferEncoding,
                                        inner.strDisposition)) {
                Walk(inner, depth + 1, "text/plain");
            }
            return;
        }
        WalkLeaf(fields, type, depth);
    }

    int Written() const { return m_nWritten; }
    // Every file this message opened, so that a failure takes all of them away again.
    const std::vector<std::string>& Outputs() const { return m_arrOutputs; }

private:
    // Reads lines up to the next delimiter line of level or of a level outside it. Returns
    // the level it delimits; a line of an outer level is left unread. -1 at the end of the
    // file.
    int NextDelimiter(int level, bool& closing) {
        std::string_view line;
        while (m_reader.ReadLineView(line)) {
            const int found = m_boundaries.Match(line, closing);
            if (found < 0 || found > level) {
                continue;
            }
            if (found < level) {
                m_reader.StepBack();
            }
            return found;
        }
        return -1;
    }

    void WalkMultipart(std::string boundaryLine, bool bDigest, int depth) {
        m_boundaries.Push(std::move(boundaryLine));
        const int level = static_cast<int>(m_boundaries.Size()) - 1;
        bool closing = false;
        int found = NextDelimiter(level, closing);  // the preamble is skipped
        while (found == level && !closing && !m_bStop) {
            AdvanceProgress();
            if (m_progress.CheckCancel() || ++m_nParts > kMaxParts) {
                m_bStop = true;
                break;
            }
            PartFields fields;
            if (!m_parser.ReadPartHeader(m_reader, fields.strContentType,
                                         fields.strTransferEncoding, fields.strDisposition)) {
                break;
            }
            Walk(fields, depth + 1, bDigest ? "message/rfc822" : "text/plain");
            if (m_bStop) {
                break;
            }
            found = NextDelimiter(level, closing);
        }
        m_boundaries.Pop();
        if (found == level && closing && !m_bStop) {
            SkipBody(m_reader, m_boundaries);  // the epilogue, up to an outer delimiter
        }
    }

    void AdvanceProgress() {
        if (m_nStep < 7) {
            m_progress.SetPosition(m_nProgressStart +
                                   ((m_nProgressEnd - m_nProgressStart) * m_nStep) / 6);
            ++m_nStep;
        }
    }

    bool IsProhibited(const std::string& name) const {
        return !m_prohibitedList.GetExtensions().empty() &&
               IsProhibitedName(m_strStagingFolder + "\\" + name, m_prohibitedList);
    }

    // A part that is no multipart: written when it is an attachment, otherwise read past.
    void WalkLeaf(const PartFields& fields, const std::string& type, int depth) {
        const bool bNestedMessage = type == "message/rfc822" && depth > 0;
        std::string headerName =
            m_parser.GetAttachmentName(fields.strDisposition, fields.strContentType);
        if (headerName.empty() && !bNestedMessage &&
            GetMediaType(fields.strDisposition) != "attachment") {
            SkipBody(m_reader, m_boundaries);
            return;
        }
        const std::string namelessName =
            bNestedMessage ? std::string(kNestedMessageName) : CAttachmentNamer::NameForType(type);
        if (CAttachmentNamer::MakeSafe(headerName).empty()) {
            headerName = namelessName;  // no name, or nothing left of it
        }
        // The name as written: inside the folder, creatable, and unused in this message,
        // its alert form included. The prohibition test applies to this final name.
        const std::string fileName = m_namer.Take(headerName, [&](const std::string& name) {
            return IsProhibited(name) && m_namer.IsTaken(name + kAlertSuffix);
        });
        if (fileName.empty()) {
            SkipBody(m_reader, m_boundaries);
            return;
        }
        if (!m_staging.MakeFolder()) {
            Fail(WriteFailureKind::Folder, m_strStagingFolder);
            return;
        }
        const bool bProhibited = IsProhibited(fileName);
        const std::string outputName = bProhibited ? fileName + kAlertSuffix : fileName;
        m_namer.MarkTaken(outputName);
        const std::string outputPath = m_strStagingFolder + "\\" + outputName;
        platform::File output;
        if (!output.Open(outputPath, platform::File::Mode::Write)) {
            Fail(WriteFailureKind::File, outputPath);
            return;
        }
        m_arrOutputs.push_back(outputPath);
        if (bProhibited) {
            // The body is not written, only read past.
            if (!output.Write(MakeAlertText(headerName))) {
                Fail(WriteFailureKind::File, outputPath);
                return;
            }
            ++m_nWritten;
            SkipBody(m_reader, m_boundaries);
            return;
        }
        CFileSink sink(output);
        bool bWritten = false;
        switch (m_parser.GetTransferEncoding(fields.strTransferEncoding)) {
            case TransferEncoding::Base64:
                bWritten = m_parser.WriteBase64Body(m_reader, sink, m_boundaries);
                break;
            case TransferEncoding::QuotedPrintable:
                bWritten = m_parser.WriteQuotedPrintableBody(m_reader, sink, m_boundaries);
                break;
            default:
                bWritten = m_parser.WritePlainBody(m_reader, sink, m_boundaries);
                break;
        }
        // A body writer stops at its first failed write; the part is then incomplete.
        const bool bFlushed = sink.Flush();
        output.Close();
        if (!bWritten || !bFlushed) {
            Fail(WriteFailureKind::File, outputPath);
            return;
        }
        // What came with mail came from outside, and Windows is to treat it so.
        platform::MarkAsDownloaded(outputPath);
        ++m_nWritten;
        // A TNEF stream ("winmail.dat") gives way to the files inside it.
        const int unpacked = m_staging.UnpackWrittenTnef(headerName, type, outputName);
        m_nWritten += unpacked > 0 ? unpacked - 1 : 0;
    }

    void Fail(WriteFailureKind kind, const std::string& path) {
        m_parser.m_writeFailure = {kind, path};
        m_bStop = true;
    }

    CMailParser& m_parser;
    CMessageReader& m_reader;
    const CExtensionList& m_prohibitedList;
    IProgress& m_progress;
    int m_nProgressStart;
    int m_nProgressEnd;
    std::string m_strStagingFolder;
    CAttachmentNamer m_namer;
    CStagingWriter m_staging{m_strStagingFolder, m_prohibitedList, m_namer};
    CBoundaryStack m_boundaries;
    std::vector<std::string> m_arrOutputs;
    int m_nWritten = 0;
    int m_nParts = 0;
    int m_nStep = 1;
    bool m_bStop = false;
};

std::string CMailParser::ExtractAttachments(const std::string& messagePath,
                                            const CExtensionList& prohibitedList,
                                            IProgress& progress, int progressStart,
                                            int progressEnd) {
    m_writeFailure = {};
    CMessageReader reader;
    if (!reader.Open(messagePath)) {
        return {};
    }
    // An Outlook item (a compound file) has its own reader.
    if (HasCompoundFileSignature(reader.Buffered())) {
        reader.Close();
        return ExtractOutlookItem(m_strDataFolder, messagePath, prohibitedList, progress,
                                  progressStart, progressEnd);
    }
    const std::string scanFolder = m_strDataFolder + "scanvirus\\";
    if (!m_bScanFolderReady &&
        platform::MakeFolder(scanFolder) == platform::MakeFolderResult::Failed) {
        return {};
    }
    m_bScanFolderReady = true;
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
    std::string fromText, subjectText, dateText;
    PartFields fields;
    if (!ReadMessageHeader(reader, fromText, subjectText, dateText, fields)) {
        return consume();
    }

    const std::string stagingFolder = scanFolder + baseName;
    CExtraction extraction(*this, reader, prohibitedList, progress, progressStart, progressEnd,
                           stagingFolder);
    extraction.Walk(fields, 0, "text/plain");
    const int written = extraction.Written();

    // A message cut short by a read error is kept: it may extract completely next time.
    const bool bReadError = reader.HasError();
    reader.Close();
    const std::string recordFile = m_strDataFolder + baseName + ".att";
    if (m_writeFailure.kind == WriteFailureKind::None && !bReadError && written > 0 &&
        !WriteRecordFile(recordFile, dateText, fromText, subjectText)) {
        platform::RemoveFile(recordFile);
        m_writeFailure = {WriteFailureKind::File, recordFile};
    }
    if (m_writeFailure.kind != WriteFailureKind::None) {
        // Nothing half-written is kept: the message leaves nothing of itself behind, and
        // the caller tells the user which message to take in again.
        for (const std::string& output : extraction.Outputs()) {
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
