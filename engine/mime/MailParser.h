#pragma once

// The message engine: reads a message's header fields and part headers, decodes encoded
// words and bodies, and summarises a message. It holds no data; create one around a call
// or a run.
//
// All text is Shift_JIS bytes. Header names and parameter names are compared without
// regard to letter case, character by character by the program's double-byte rule, so a
// trail byte is never taken for a letter and a stray lead byte never swallows the quote or
// colon after it.
//
// Errors are results: false or an empty text. A read error on the message ends its text
// where it happened (see CMessageReader::HasError); a failed write makes a body writer
// return false.

#include "engine/mime/ByteSink.h"
#include "engine/mime/MessageReader.h"

class CExtensionList;
class CStagingSink;
class IProgress;

#include <string>
#include <string_view>
#include <vector>

enum class ContentTypeKind {
    Other = 0,
    MessageRfc822 = 1,
    MultipartMixed = 2,
    MultipartReport = 3,
};

// Why a message's extraction stopped before its end, its files so far kept.
enum class ExtractionCut {
    None,
    TooManyAttachments,  // more than CMailParser::kMaxAttachments
    TooDeep,             // multiparts nested deeper than CMailParser::kMaxDepth
};

enum class TransferEncoding {
    Unrecognised = 0,
    Base64 = 1,
    SevenBit = 2,
    EightBit = 3,
    QuotedPrintable = 4,
    Uuencode = 5,  // x-uuencode, uuencode, x-uue
};

// The delimiter lines of the multiparts a part lies in, innermost last. A line delimits a
// boundary when it is "--" and the boundary, optionally followed by "--" (the closing
// line), then only white space (the padding RFC 2046 allows).
class CBoundaryStack {
public:
    CBoundaryStack() = default;
    explicit CBoundaryStack(std::string boundaryLine) { Push(std::move(boundaryLine)); }

    // boundaryLine: "--" and the boundary.
    void Push(std::string boundaryLine) { m_arrLines.push_back(std::move(boundaryLine)); }
    void Pop() { m_arrLines.pop_back(); }
    std::size_t Size() const { return m_arrLines.size(); }
    // The length of the longest boundary line.
    std::size_t LongestLine() const {
        std::size_t longest = 0;
        for (const std::string& line : m_arrLines) {
            longest = line.size() > longest ? line.size() : longest;
        }
        return longest;
    }

    // The level (0 = outermost) whose boundary line delimits, innermost first; -1 when
    // line delimits none. closing tells whether it is the closing line.
    int Match(std::string_view line, bool& closing) const;

private:
    std::vector<std::string> m_arrLines;
};

class CMailParser {
public:
    // dataFolder: the data folder followed by a backslash, where the extraction finds the
    // scan folder and writes record files.
    explicit CMailParser(std::string dataFolder = {}) : m_strDataFolder(std::move(dataFolder)) {}
    virtual ~CMailParser() = default;

    // --- Attachment extraction -----------------------------------------------------

    // Writes the attachments of one message file into its staging folder (scan folder +
    // the message's base name), an alert file in place of each attachment whose extension
    // is on prohibitedList, and the message's record file; then deletes the message file.
    // Returns the staging folder when something was written, otherwise empty. The bar
    // moves within [progressStart, progressEnd]; a cancel request stops the walk before
    // the next part. Every name written lies inside the staging folder. A folder that
    // cannot be made or a file that cannot be written in full fails the whole message:
    // what it wrote is deleted, it gives no record, its message file is deleted too, and
    // GetWriteFailure tells what failed.
    std::string ExtractAttachments(const std::string& messagePath,
                                   const CExtensionList& prohibitedList, IProgress& progress,
                                   int progressStart, int progressEnd);

    // Every written attachment is also looked into: an archive holding a prohibited entry
    // or a program under another name becomes an alert file too. An archive that cannot be
    // fully checked (encrypted, too large, damaged) is held as well unless this is set.
    void SetKeepUncheckableArchives(bool keep) { m_bKeepUncheckable = keep; }

    // Whether the last ExtractAttachments met encrypted S/MIME content, which cannot be read
    // without the user's key: it was kept as it came ("smime.p7m"), and the run says so.
    bool HasEncryptedContent() const { return m_bEncryptedContent; }

    // S/MIME content handed over whole (an Outlook item's attachment, a signed part):
    // ExtractMimeEntity walks a MIME entity (header and body) into the sink as a message's
    // parts; ExtractSmimeData reads a CMS structure: a signed one's content is walked so,
    // anything else is handed to the sink as the attachment name (type: its media type).
    // depth counts the entities around it, as the walk's nesting limit does. False when the
    // message failed.
    bool ExtractMimeEntity(std::string text, CStagingSink& sink, int depth);
    bool ExtractSmimeData(const std::string& data, const std::string& name,
                          const std::string& type, CStagingSink& sink, int depth);

    // --- Unsent drafts -------------------------------------------------------------

    // Rewrites a message as an unsent draft in the temporary folder and asks the shell to
    // open it.
    void MakeUnsentMail(const std::string& messagePath);

    // The draft of MakeUnsentMail without the shell: returns its path, empty when none was
    // written. A draft that cannot be written in full is deleted (see GetWriteFailure).
    std::string WriteUnsentMail(const std::string& messagePath);

    // What the last ExtractAttachments, WriteUnsentMail or MakeUnsentMail could not write.
    enum class WriteFailureKind { None, Folder, File };
    struct WriteFailure {
        WriteFailureKind kind = WriteFailureKind::None;
        std::string path;  // the folder that could not be made or the file not written
    };
    const WriteFailure& GetWriteFailure() const { return m_writeFailure; }

    // The limits of one message's extraction, far beyond real mail: what lies beyond them is
    // not extracted, and GetCut tells that the last ExtractAttachments stopped there.
    static constexpr int kMaxAttachments = 10000;
    static constexpr int kMaxDepth = 32;
    ExtractionCut GetCut() const { return m_cut; }

    // Reads the header lines up to and including the blank line (at most 600 lines before
    // it), each followed by CR LF. False, with header empty, when there is no blank line.
    bool ReadHeaderBlock(CMessageReader& reader, std::string& header);

    // Removes Return-Path, Received, Message-ID and X-Unsent with their continuation lines
    // and puts "X-Unsent: 1" first. False when a removed field runs to the end of header.
    bool RewriteAsUnsent(std::string& header);

    // --- Header fields -------------------------------------------------------------

    // A header field keeps its first kMaxFieldLength bytes (its first line and continuation
    // lines together); the rest is read past and dropped, and the message is read on.
    static constexpr std::size_t kMaxFieldLength = 1024 * 1024;
    // Header lines are read this far: a value's first megabyte and room for its name.
    static constexpr std::size_t kMaxHeaderLine = kMaxFieldLength + 1024;

    // Whether line is the field name (which includes its colon): its first bytes equal the
    // name, letter case aside. "Content-Type :" is not the field "Content-Type:".
    static bool IsField(std::string_view line, std::string_view name);

    // The value of the field name on line: the rest of the line with its encoded words
    // decoded and its leading white space removed, followed by the continuation lines.
    std::string ReadFieldValue(CMessageReader& reader, std::string_view line,
                               std::string_view name);

    // Reads the folded continuation lines that follow the header line just read and
    // returns them joined, each without its leading white space and with its encoded words
    // decoded. The reader stops before the first line that is no continuation.
    std::string ReadContinuation(CMessageReader& reader);

    // ReadFieldValue and ReadContinuation without the decoding.
    std::string ReadRawFieldValue(CMessageReader& reader, std::string_view line,
                                  std::string_view name);
    std::string ReadRawContinuation(CMessageReader& reader);

    // The raw value of a structured field (Content-Type and its kind): leading white space
    // removed, folded lines unfolded as RFC 5322 says (only the line breaks go), so a
    // quoted parameter folded inside its quotes keeps its white space.
    std::string ReadUnfoldedFieldValue(CMessageReader& reader, std::string_view line,
                                       std::string_view name);

    // Reads one part header up to and including its blank line, keeping the last raw,
    // unfolded value of each of the three fields. A line that can be no header line (no
    // field name and colon, no continuation) ends the header too, as mail readers take
    // it: the reader is left at its start, the first line of the body. False when the file
    // ends before either.
    bool ReadPartHeader(CMessageReader& reader, std::string& contentType,
                        std::string& transferEncoding, std::string& disposition);

    ContentTypeKind GetContentTypeKind(std::string_view value) const;
    TransferEncoding GetTransferEncoding(std::string_view value) const;
    bool IsAttachmentDisposition(std::string_view value) const;

    // The boundary line: "--" and the boundary parameter as written (quoted or bare);
    // empty when the parameter is missing or empty.
    std::string GetBoundary(std::string_view contentType) const;

    // The value of the parameter name of a field value, by RFC 2045 and RFC 2231: names in
    // any letter case, values quoted or bare, "name*" and its "*0", "*1*", ... sections
    // with their charset, the extended form first. The value is converted to Shift_JIS
    // (the header-text rule, see engine/HeaderText.h). False when it is not there.
    static bool GetParameter(std::string_view fieldValue, std::string_view name,
                             std::string& value);

    // The media type of a Content-Type value in lower case ("multipart/mixed"), without
    // its parameters.
    static std::string GetMediaType(std::string_view fieldValue);

    // The filename parameter, decoded; empty when missing.
    std::string GetFileNameParam(std::string_view disposition);

    // The file name a part gives its attachment: Content-Disposition's filename (filename*
    // first), then Content-Type's name (name* first); empty when neither is there.
    std::string GetAttachmentName(std::string_view disposition, std::string_view contentType);

    // Removes the leading single-byte white space (space, TAB, CR, LF, VT, FF).
    static std::string_view TrimLeftWhiteSpace(std::string_view text);

    // --- Encoded words -------------------------------------------------------------

    // Header text in Shift_JIS: the encoded words decoded, raw ISO-2022-JP and UTF-8
    // converted (engine::DecodeHeaderText).
    std::string DecodeEncodedWords(std::string_view text);

    // --- Bodies --------------------------------------------------------------------

    // Whether a body line begins with the boundary line (byte for byte). The closing line
    // (boundary line and "--") begins with it too.
    static bool IsBoundaryStart(std::string_view line, std::string_view boundaryLine);

    // The body writers read from the first body line up to the delimiter line of the
    // boundary, leave the reader at the start of that line (or at the end of the file), and
    // write the decoded body to out. Lines of plain and quoted-printable bodies are joined
    // by the message's own line ends; the line end before the delimiter line belongs to
    // it. False when a write failed.
    bool WriteBase64Body(CMessageReader& reader, CByteSink& out, std::string_view boundaryLine);
    bool WriteQuotedPrintableBody(CMessageReader& reader, CByteSink& out,
                                  std::string_view boundaryLine);
    bool WritePlainBody(CMessageReader& reader, CByteSink& out, std::string_view boundaryLine);

    // The same, ending at the first delimiter line of any of the boundaries (see
    // CBoundaryStack); with no boundary at all, at the end of the file.
    bool WriteBase64Body(CMessageReader& reader, CByteSink& out, const CBoundaryStack& boundaries);
    bool WriteQuotedPrintableBody(CMessageReader& reader, CByteSink& out,
                                  const CBoundaryStack& boundaries);
    bool WritePlainBody(CMessageReader& reader, CByteSink& out, const CBoundaryStack& boundaries);

    // A uuencoded body: its data from the "begin" line (what comes before it is read past)
    // to the "end" line, then read past up to the delimiter line. Without a "begin" line
    // nothing is written.
    bool WriteUuencodedBody(CMessageReader& reader, CByteSink& out,
                            const CBoundaryStack& boundaries);

    // Whether line is the "begin" line of uuencoded data ("begin 644 name"); name is the
    // file name as written (raw, not yet converted).
    static bool IsUuencodeBegin(std::string_view line, std::string& name);

    // Writes the uuencoded data after its "begin" line up to and including its "end" line
    // (or to the delimiter line or the end of the file, which stay unread). False when a
    // write failed.
    bool WriteUuencodedData(CMessageReader& reader, CByteSink& out,
                            const CBoundaryStack& boundaries);

    // Reads a body that is not written up to the first delimiter line of the boundaries.
    static void SkipBody(CMessageReader& reader, const CBoundaryStack& boundaries);

    // Decodes one quoted-printable line; softBreak tells whether it ended in "=".
    std::string DecodeQuotedPrintableLine(std::string_view line, bool& softBreak) const;

    // --- Message summary -----------------------------------------------------------

    // Reads the message header from the start of the file up to and including the blank
    // line: the sender (From or Return-Path, whichever comes last), the subject, the date
    // rewritten for display and the raw Content-Type. Sender and subject hold no line
    // breaks and show placeholders when empty. False when the file ends before the blank
    // line; the outputs then hold what was read, without placeholders.
    bool ReadMessageSummary(CMessageReader& reader, std::string& fromText, std::string& subjectText,
                            std::string& dateText, std::string& contentType);

    // A Date value as "2004年12月06日 10:20:30", or the current local date and time when it
    // does not have the form "Mon, 6 Dec 2004 10:20:30".
    std::string FormatDate(std::string_view value) const;

    // Replaces each run of CR and LF bytes by one space.
    static std::string CollapseLineBreaks(std::string_view text);

private:
    struct PartFields {
        std::string strContentType;
        std::string strTransferEncoding;
        std::string strDisposition;
    };
    class CExtraction;

    // ReadMessageSummary that also keeps the message's transfer encoding and disposition.
    bool ReadMessageHeader(CMessageReader& reader, std::string& fromText,
                           std::string& subjectText, std::string& dateText, PartFields& fields);

    std::string m_strDataFolder;
    WriteFailure m_writeFailure;
    ExtractionCut m_cut = ExtractionCut::None;
    bool m_bEncryptedContent = false;
    // The scan folder was made (or found) by an earlier message of this parser's run.
    bool m_bScanFolderReady = false;
    bool m_bKeepUncheckable = false;
};
