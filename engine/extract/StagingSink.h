#pragma once

// The one place where the files that leave a message are written: its attachments (MIME
// parts, an Outlook item's attachments, the files inside a winmail.dat, nested messages),
// the alert files that replace prohibited ones, and its record file. The readers of either
// format only hand parts over; the sink owns everything that decides what lands on disk:
//
//  - the staging folder (scan folder + the message's base name), made with the first file;
//  - names: made safe and unique within the message by its namer, a name with nothing left
//    of it replaced by the reader's fallback name (or skipped when there is none), a name
//    too long for the folder's real location shortened before its extension; every file is
//    created new, a name the file system holds already takes the next number, and one it
//    refuses is replaced by "attachment.<ext>";
//  - the prohibition test on the final name: an alert file takes the attachment's place;
//  - the look inside every complete attachment (engine/inspect): an archive holding a
//    prohibited entry, one that cannot be checked, or a program under another name is
//    taken away again and an alert file saying why takes its place;
//  - TNEF streams: replaced by the files inside them;
//  - the download mark on every complete file;
//  - failures: a folder that cannot be made or a file not written in full fails the whole
//    message; Finish then takes away everything the message wrote, and Failure() says what
//    could not be written;
//  - the record file (date, sender, subject), written by Finish.

#include "engine/extract/AttachmentNamer.h"
#include "engine/extract/FileSink.h"
#include "engine/inspect/Inspection.h"
#include "engine/mime/MailParser.h"
#include "platform/File.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CExtensionList;

namespace engine {

// The data folder's folder of staging folders, where the antivirus program looks.
inline constexpr char kScanFolderName[] = "scanvirus";
// A record file: the data folder + the message's base name + this suffix.
inline constexpr char kRecordSuffix[] = ".att";
// An alert file: the prohibited attachment's name + this suffix.
inline constexpr char kAlertSuffix[] = ".alert";

// The scan folder of a data folder (which ends with a backslash), without a trailing
// backslash.
std::string ScanFolderOf(const std::string& dataFolder);

// The message's base name, which names its staging folder and record file: the file name
// (after the last "\\", "/" or ":") cut before its last "." and without trailing white space
// and dots; empty when it has no ".".
std::string MessageBaseName(const std::string& messagePath);

}  // namespace engine

// The summary a record file keeps, one line each.
struct RecordSummary {
    std::string dateText;
    std::string fromText;
    std::string subjectText;
};

class CStagingSink {
public:
    using WriteFailure = CMailParser::WriteFailure;
    using WriteFailureKind = CMailParser::WriteFailureKind;

    // dataFolder ends with a backslash; baseName is the message's (not empty).
    CStagingSink(const std::string& dataFolder, const std::string& baseName,
                 const CExtensionList& prohibitedList);
    CStagingSink(const CStagingSink&) = delete;
    CStagingSink& operator=(const CStagingSink&) = delete;

    // Keeps archives that cannot be fully checked (encrypted, too large, damaged) instead
    // of holding them; off unless the user chose it.
    void SetKeepUncheckableArchives(bool keep) { m_bKeepUncheckable = keep; }

    // --- Parts ---------------------------------------------------------------------

    // Begins a part whose body is streamed. name: as the message gives it; fallbackName:
    // the name to use when nothing is left of it after the safe-name rules (empty: the part
    // is skipped); contentType: its media type, for TNEF streams. Returns where to write
    // the body, or null when the body is to be read past: an alert file took its place, it
    // has no name, or the message has failed (see Failed). EndPart must follow a non-null
    // result.
    CByteSink* BeginPart(const std::string& name, const std::string& fallbackName,
                         std::string_view contentType = {});

    // Ends the part begun: complete tells whether its body was read and written in full.
    void EndPart(bool complete);

    // A part whose bytes are in memory (an Outlook item's attachment, a nested item).
    void AddPart(const std::string& name, const std::string& fallbackName,
                 std::string_view data, std::string_view contentType = {});

    // --- The message ---------------------------------------------------------------

    // Whether a write failed: nothing more is written, and Finish takes everything away.
    bool Failed() const { return m_failure.kind != WriteFailureKind::None; }
    const WriteFailure& Failure() const { return m_failure; }

    // How many files the message has in its staging folder (alert files included).
    int Written() const { return m_nWritten; }

    // Ends the message. When it was read in full (complete), nothing failed and something
    // was written, writes its record file and returns the staging folder. Otherwise takes
    // away everything it wrote (a message read in part is extracted again in full next
    // time) and returns empty; a record file that cannot be written fails the message.
    std::string Finish(bool complete, const RecordSummary& summary);

    const std::string& StagingFolder() const { return m_strFolder; }

private:
    // The final name of a part (safe, unique, its alert form free too), empty when it has
    // none; makes the staging folder. False when the message failed.
    bool TakeName(const std::string& name, const std::string& fallbackName,
                  std::string& fileName);
    bool IsProhibited(const std::string& fileName) const;
    // Writes the alert file for a prohibited attachment named attachmentName; reason, when
    // given, says why an attachment was held for what it holds.
    void WriteAlert(const std::string& fileName, const std::string& attachmentName,
                    const std::string& reason = {});
    // Why the attachment written as fileName is held for what it holds; empty when it is
    // not.
    std::string HeldReason(const std::string& fileName, CAttachmentBytes& bytes) const;
    // Takes back a complete file that is held; false (and failed) when it cannot be.
    bool Withdraw(const std::string& path);
    // Opens a new output file for a part, never one already there: a name the file system
    // holds already takes the next number, one it refuses falls back to a plain name
    // ("attachment.<ext>"); outputName is the name opened. False (and failed) when no
    // name can be opened.
    bool OpenOutput(std::string& outputName);
    // After an attachment file is complete: marked, counted, and (bUnpackTnef) a TNEF
    // stream replaced by the files inside it.
    void Completed(const std::string& outputName, const std::string& attachmentName,
                   std::string_view contentType, bool bUnpackTnef);
    // Writes the files inside a TNEF stream; true when they replace it.
    bool UnpackTnef(std::string_view stream);
    void WriteWhole(const std::string& name, const std::string& fallbackName,
                    std::string_view data);
    void Fail(WriteFailureKind kind, const std::string& path);
    void RemoveOutputs();

    std::string m_strDataFolder;
    std::string m_strBaseName;
    std::string m_strFolder;  // the staging folder, without trailing backslash
    const CExtensionList& m_prohibited;
    CAttachmentNamer m_namer;
    WriteFailure m_failure;
    bool m_bFolderReady = false;
    bool m_bKeepUncheckable = false;
    int m_nWritten = 0;
    // Every file the message created, so that a failure takes all of them away again.
    std::vector<std::string> m_arrOutputs;

    // The part being streamed.
    struct OpenPart {
        std::string strOutputName;
        std::string strAttachmentName;
        std::string strContentType;
    };
    std::optional<OpenPart> m_openPart;
    platform::File m_output;
    std::optional<CFileSink> m_fileSink;
};
