// The extraction walk of a MIME message: every multipart descended (to a depth limit), each
// attachment (or nested message) handed to the message's staging sink. The start of every
// message, MIME or Outlook item, is here too.

#include "engine/codec/Cms.h"
#include "engine/extract/AttachmentNamer.h"
#include "engine/extract/OutlookExtract.h"
#include "engine/extract/Progress.h"
#include "engine/extract/StagingSink.h"
#include "engine/mime/MailParser.h"
#include "engine/mime/StringSink.h"
#include "engine/text/HeaderText.h"
#include "platform/FileSystem.h"
#include "platform/ShiftJis.h"

#include <algorithm>

namespace {

constexpr char kNestedMessageName[] = "message.eml";
constexpr char kSmimeName[] = "smime.p7m";
constexpr char kUuencodedName[] = "attachment.bin";

// Whether a part holds S/MIME data (signed or encrypted): by its media type, or by the
// name signing software gives it.
bool IsSmimeData(const std::string& type, const std::string& name) {
    if (type == "application/pkcs7-mime" || type == "application/x-pkcs7-mime") {
        return true;
    }
    const std::size_t dot = sjis::FindLastOf(name, ".");
    return dot != std::string::npos && sjis::EqualsNoCase(name.substr(dot), ".p7m");
}

// Whether the content of signed data is a MIME entity (S/MIME) and not a signed document of
// another kind (a "report.pdf.p7m" holds the PDF itself): its first lines up to the blank
// line are header fields, among them Content-Type.
bool IsMimeEntity(std::string_view content) {
    bool bContentType = false;
    for (int lines = 0; lines < 200 && !content.empty(); ++lines) {
        const std::size_t end = content.find('\n');
        std::string_view line = content.substr(0, end);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (line.empty()) {
            return bContentType;
        }
        if (line[0] != ' ' && line[0] != '\t') {
            const std::size_t colon = line.find(':');
            if (colon == 0 || colon == std::string_view::npos ||
                std::any_of(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(colon),
                            [](char c) { return c <= ' ' || c >= 0x7F; })) {
                return false;
            }
            bContentType |= sjis::EqualsNoCase(line.substr(0, colon), "Content-Type");
        }
        if (end == std::string_view::npos) {
            break;
        }
        content.remove_prefix(end + 1);
    }
    return bContentType;
}

}  // namespace

// One message's walk: every multipart descended, each attachment (or nested message)
// written into the staging folder.
class CMailParser::CExtraction {
public:
    CExtraction(CMailParser& parser, CMessageReader& reader, CStagingSink& sink,
                IProgress& progress, int progressStart, int progressEnd)
        : m_parser(parser),
          m_reader(reader),
          m_sink(sink),
          m_steps(progress, progressStart, progressEnd) {}

    // Walks the entity whose header was just read; the reader is at the start of its body.
    // defaultType is the media type of an entity without Content-Type.
    void Walk(const PartFields& fields, int depth, std::string_view defaultType) {
        const std::string type = fields.strContentType.empty()
                                     ? std::string(defaultType)
                                     : GetMediaType(fields.strContentType);
        if (type.rfind("multipart/", 0) == 0) {
            std::string boundaryLine = m_parser.GetBoundary(fields.strContentType);
            if (!boundaryLine.empty() && depth >= CMailParser::kMaxDepth) {
                // What lies deeper is read past as one part.
                m_cut = ExtractionCut::TooDeep;
            } else if (!boundaryLine.empty()) {
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

    // Where the walk stopped short of the message's end, if it did.
    ExtractionCut Cut() const { return m_cut; }

private:
    // Reads lines up to the next delimiter line of level or of a level outside it. Returns
    // the level it delimits; a line of an outer level is left unread. -1 at the end of the
    // file.
    int NextDelimiter(int level, bool& closing) {
        // A line is looked at no further than a delimiter line could reach, so a long one
        // read past costs no memory.
        const std::size_t limit = m_boundaries.LongestLine() + 4096;
        std::string_view line;
        while (m_reader.ReadLineView(line, limit)) {
            const int found = m_reader.LastLineCut() ? -1 : m_boundaries.Match(line, closing);
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
            if (m_steps.Next()) {
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

    // A part that is no multipart: written when it is an attachment, otherwise read past.
    void WalkLeaf(const PartFields& fields, const std::string& type, int depth) {
        const bool bNestedMessage = type == "message/rfc822" && depth > 0;
        std::string headerName =
            m_parser.GetAttachmentName(fields.strDisposition, fields.strContentType);
        const TransferEncoding encoding = m_parser.GetTransferEncoding(fields.strTransferEncoding);
        if (encoding == TransferEncoding::Uuencode) {
            WalkUuencoded(headerName, type);
            return;
        }
        if (IsSmimeData(type, headerName)) {
            WalkSmime(fields, type, headerName, depth);
            return;
        }
        if (headerName.empty() && !bNestedMessage &&
            GetMediaType(fields.strDisposition) != "attachment") {
            // A text body may carry uuencoded files ("begin 644 name" ... "end").
            if ((type == "text/plain" || type.empty()) &&
                encoding != TransferEncoding::Base64 &&
                encoding != TransferEncoding::QuotedPrintable) {
                ScanTextForUuencoded();
            } else {
                SkipBody(m_reader, m_boundaries);
            }
            return;
        }
        if (m_nAttachments == CMailParser::kMaxAttachments) {
            m_cut = ExtractionCut::TooManyAttachments;
            m_bStop = true;
            return;
        }
        ++m_nAttachments;
        const std::string namelessName =
            bNestedMessage ? std::string(kNestedMessageName) : CAttachmentNamer::NameForType(type);
        CByteSink* out = m_sink.BeginPart(headerName, namelessName, type);
        if (!out) {
            if (m_sink.Failed()) {
                m_bStop = true;
            } else {
                SkipBody(m_reader, m_boundaries);  // no name, or an alert file in its place
            }
            return;
        }
        m_sink.EndPart(WriteBody(encoding, *out));
        m_bStop = m_sink.Failed();
    }

    bool WriteBody(TransferEncoding encoding, CByteSink& out) {
        switch (encoding) {
            case TransferEncoding::Base64:
                return m_parser.WriteBase64Body(m_reader, out, m_boundaries);
            case TransferEncoding::QuotedPrintable:
                return m_parser.WriteQuotedPrintableBody(m_reader, out, m_boundaries);
            case TransferEncoding::Uuencode:
                return m_parser.WriteUuencodedBody(m_reader, out, m_boundaries);
            default:
                return m_parser.WritePlainBody(m_reader, out, m_boundaries);
        }
    }

    // Hands one file of uuencoded data (the reader just after its "begin" line) to the
    // sink; false when the walk is to stop.
    bool WriteUuencodedFile(const std::string& name, std::string_view type) {
        CByteSink* out = m_sink.BeginPart(name, kUuencodedName, type);
        if (!out) {
            m_bStop = m_sink.Failed();
            return !m_bStop;
        }
        m_sink.EndPart(m_parser.WriteUuencodedData(m_reader, *out, m_boundaries));
        m_bStop = m_sink.Failed();
        return !m_bStop;
    }

    // A body in a uuencoding: its file under the part's name, else the "begin" line's. A
    // named part without data gives an empty file, as a part without a body does.
    void WalkUuencoded(const std::string& headerName, const std::string& type) {
        std::string_view line;
        std::string beginName;
        const auto writeEmpty = [&]() {
            if (!headerName.empty() && m_sink.BeginPart(headerName, {}, type)) {
                m_sink.EndPart(true);
            }
            m_bStop = m_sink.Failed();
        };
        // Lines are kept no longer than a delimiter or a "begin" line can be.
        while (m_reader.ReadLineView(line, m_boundaries.LongestLine() + 4096)) {
            bool closing = false;
            if (m_reader.LastLineCut()) {
                continue;
            }
            if (m_boundaries.Size() > 0 && m_boundaries.Match(line, closing) >= 0) {
                m_reader.StepBack();
                writeEmpty();
                return;
            }
            if (CMailParser::IsUuencodeBegin(line, beginName)) {
                const std::string name =
                    headerName.empty() ? engine::DecodeHeaderText(beginName) : headerName;
                if (WriteUuencodedFile(name, type)) {
                    SkipBody(m_reader, m_boundaries);
                }
                return;
            }
        }
        writeEmpty();
    }

    // A text body read past, each uuencoded file in it handed to the sink.
    void ScanTextForUuencoded() {
        std::string_view line;
        std::string beginName;
        // Lines are kept no longer than a delimiter or a "begin" line can be: a long line
        // read past costs no memory.
        while (m_reader.ReadLineView(line, m_boundaries.LongestLine() + 4096)) {
            bool closing = false;
            if (m_reader.LastLineCut()) {
                continue;
            }
            if (m_boundaries.Size() > 0 && line.size() >= 2 && line[0] == '-' &&
                m_boundaries.Match(line, closing) >= 0) {
                m_reader.StepBack();
                return;
            }
            if (line.size() > 6 && line[0] == 'b' && CMailParser::IsUuencodeBegin(line, beginName) &&
                !WriteUuencodedFile(engine::DecodeHeaderText(beginName), {})) {
                return;
            }
        }
    }

    // S/MIME data: a signed message's content is walked as the message it is (its files
    // come out, the signature is not checked); encrypted data cannot be read without the
    // user's key and stays as it came, and the parser remembers it for the run's notice;
    // anything else is an attachment like any other.
    void WalkSmime(const PartFields& fields, const std::string& type,
                   const std::string& headerName, int depth) {
        CStringSink body;
        if (!WriteBody(m_parser.GetTransferEncoding(fields.strTransferEncoding), body)) {
            return;
        }
        m_bStop = !m_parser.ExtractSmimeData(body.GetData(), headerName, type, m_sink, depth + 1);
    }

    CMailParser& m_parser;
    CMessageReader& m_reader;
    CStagingSink& m_sink;
    CProgressSteps m_steps;
    CBoundaryStack m_boundaries;
    int m_nAttachments = 0;
    bool m_bStop = false;
    ExtractionCut m_cut = ExtractionCut::None;
};

bool CMailParser::ExtractMimeEntity(std::string text, CStagingSink& sink, int depth) {
    CMessageReader reader;
    reader.OpenText(std::move(text));
    PartFields fields;
    if (depth >= CMailParser::kMaxDepth) {
        m_cut = ExtractionCut::TooDeep;
        return !sink.Failed();
    }
    if (!ReadPartHeader(reader, fields.strContentType, fields.strTransferEncoding,
                        fields.strDisposition)) {
        return !sink.Failed();
    }
    CNoProgress progress;
    CExtraction extraction(*this, reader, sink, progress, 0, 0);
    extraction.Walk(fields, depth, "text/plain");
    if (extraction.Cut() != ExtractionCut::None) {
        m_cut = extraction.Cut();
    }
    return !sink.Failed();
}

bool CMailParser::ExtractSmimeData(const std::string& data, const std::string& name,
                                   const std::string& type, CStagingSink& sink, int depth) {
    std::string content;
    bool bHasContent = false;
    switch (engine::cms::ReadContentInfo(data, content, bHasContent)) {
        case engine::cms::Kind::SignedData:
            if (bHasContent && IsMimeEntity(content)) {
                return ExtractMimeEntity(std::move(content), sink, depth);
            }
            break;  // a signed document of another kind stays as it came
        case engine::cms::Kind::EnvelopedData:
            m_bEncryptedContent = true;
            break;
        case engine::cms::Kind::NotCms:
        case engine::cms::Kind::Other:
            break;
    }
    sink.AddPart(name, kSmimeName, data, type);
    return !sink.Failed();
}

std::string CMailParser::ExtractAttachments(const std::string& messagePath,
                                            const CExtensionList& prohibitedList,
                                            IProgress& progress, int progressStart,
                                            int progressEnd) {
    m_writeFailure = {};
    m_cut = ExtractionCut::None;
    m_bEncryptedContent = false;
    CMessageReader reader;
    if (!reader.Open(messagePath)) {
        return {};
    }
    // An Outlook item (a compound file) has its own reader; it is read whole first.
    const bool bOutlookItem = engine::HasCompoundFileSignature(reader.Buffered());
    std::string itemBytes;
    if (bOutlookItem) {
        reader.Close();
        if (!platform::ReadWholeFile(messagePath, itemBytes)) {
            return {};  // kept: it may read next time
        }
    }
    const std::string scanFolder = engine::ScanFolderOf(m_strDataFolder);
    if (!m_bScanFolderReady &&
        platform::MakeFolder(scanFolder) == platform::MakeFolderResult::Failed) {
        return {};
    }
    m_bScanFolderReady = true;
    // A message that cannot be extracted is consumed. An empty base name would make the
    // scan folder itself the staging folder; it counts as a name without ".".
    const std::string baseName = engine::MessageBaseName(messagePath);
    if (baseName.empty()) {
        reader.Close();
        platform::RemoveFile(messagePath);
        return {};
    }
    CStagingSink sink(m_strDataFolder, baseName, prohibitedList);
    sink.SetKeepUncheckableArchives(m_bKeepUncheckable);
    RecordSummary summary;
    bool bComplete = true;
    if (bOutlookItem) {
        // An item that is no message, or is damaged, gives nothing and is consumed.
        engine::ExtractOutlookItem(*this, std::move(itemBytes), sink, summary, progress, progressStart,
                           progressEnd);
    } else {
        PartFields fields;
        if (ReadMessageHeader(reader, summary.fromText, summary.subjectText, summary.dateText,
                              fields)) {
            CExtraction extraction(*this, reader, sink, progress, progressStart, progressEnd);
            extraction.Walk(fields, 0, "text/plain");
            if (extraction.Cut() != ExtractionCut::None) {
                m_cut = extraction.Cut();  // (signed content inside may have set it too)
            }
        }
        // A message cut short by a read error is kept: it may extract completely next time.
        bComplete = !reader.HasError();
        reader.Close();
    }
    const std::string staged = sink.Finish(bComplete, summary);
    m_writeFailure = sink.Failure();
    // A failed message goes too: the caller tells the user which message to take in again.
    if (bComplete || sink.Failed()) {
        platform::RemoveFile(messagePath);
    }
    return staged;
}
