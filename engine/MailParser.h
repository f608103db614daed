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

#include "engine/ByteSink.h"
#include "engine/MessageReader.h"
#include "engine/Progress.h"

class CExtensionList;

#include <string>
#include <string_view>

enum class ContentTypeKind {
    Other = 0,
    MessageRfc822 = 1,
    MultipartMixed = 2,
    MultipartReport = 3,
};

enum class TransferEncoding {
    Unrecognised = 0,
    Base64 = 1,
    SevenBit = 2,
    EightBit = 3,
    QuotedPrintable = 4,
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

    // Reads the header lines up to and including the blank line (at most 600 lines before
    // it), each followed by CR LF. False, with header empty, when there is no blank line.
    bool ReadHeaderBlock(CMessageReader& reader, std::string& header);

    // Removes Return-Path, Received, Message-ID and X-Unsent with their continuation lines
    // and puts "X-Unsent: 1" first. False when a removed field runs to the end of header.
    bool RewriteAsUnsent(std::string& header);

    // --- Header fields -------------------------------------------------------------

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

    // Reads one part header up to and including its blank line, keeping the last value of
    // each of the three fields. False when the file ends before the blank line.
    bool ReadPartHeader(CMessageReader& reader, std::string& contentType,
                        std::string& transferEncoding, std::string& disposition);

    ContentTypeKind GetContentTypeKind(std::string_view value) const;
    TransferEncoding GetTransferEncoding(std::string_view value) const;
    bool IsAttachmentDisposition(std::string_view value) const;

    // The boundary line: "--" and the quoted boundary parameter as written; empty when the
    // parameter is missing or not quoted.
    std::string GetBoundary(std::string_view contentType) const;

    // The quoted filename parameter with its encoded words decoded; empty when missing.
    std::string GetFileNameParam(std::string_view disposition);

    // Removes the leading single-byte white space (space, TAB, CR, LF, VT, FF).
    static std::string_view TrimLeftWhiteSpace(std::string_view text);

    // --- Encoded words -------------------------------------------------------------

    // Replaces every "=?ISO-2022-JP?B?...?=" word by its text in Shift_JIS; other encoded
    // words stay as they are. Empty when a word has no end marker.
    std::string DecodeEncodedWords(std::string_view text);

    // --- Bodies --------------------------------------------------------------------

    // Whether a body line begins with the boundary line (byte for byte). The closing line
    // (boundary line and "--") begins with it too.
    static bool IsBoundaryStart(std::string_view line, std::string_view boundaryLine);

    // The body writers read from the first body line up to the line that begins with the
    // boundary line, leave the reader at the start of that line (or at the end of the
    // file), and write the decoded body to out. False when a write failed.
    bool WriteBase64Body(CMessageReader& reader, CByteSink& out, std::string_view boundaryLine);
    bool WriteQuotedPrintableBody(CMessageReader& reader, CByteSink& out,
                                  std::string_view boundaryLine);
    bool WritePlainBody(CMessageReader& reader, CByteSink& out, std::string_view boundaryLine);

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
    std::string m_strDataFolder;
    WriteFailure m_writeFailure;
};
