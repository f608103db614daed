#pragma once

// The extraction of Outlook items and the unpacking of TNEF streams. An Outlook item goes
// through the same steps as a MIME message: its attachments are written into its staging
// folder under safe, unique names, prohibited ones as alert files, its record file is
// written and the item file deleted. A TNEF stream among the attachments (of either kind
// of message) is replaced by the files inside it.

#include "engine/extract/AttachmentNamer.h"
#include "engine/extract/Progress.h"

#include <cstdint>
#include <string>
#include <string_view>

class CExtensionList;

// Whether a file is a compound file (an Outlook item, when it is a message file), by its
// first bytes.
bool IsCompoundFilePath(const std::string& path);

// Whether the first bytes of a file are those of a compound file.
bool HasCompoundFileSignature(std::string_view head);

// A FILETIME (UTC) as the record file's local date ("2004年12月06日 10:20:30"); empty for 0
// or a time the C library cannot convert.
std::string FormatFileTime(std::uint64_t fileTime);

enum class OutlookSummaryResult { Message, NotMessage, Unreadable, CannotOpen };

// The summary of an Outlook item file as the record file holds it: the date (empty when
// the item has no time), the sender ("name <address>", "--不明--" when there is none) and
// the subject ("--件名なし--" when there is none).
OutlookSummaryResult ReadOutlookSummary(const std::string& path, std::string& fromText,
                                        std::string& subjectText, std::string& dateText);

// Writes the files of one message into its staging folder: names made safe and unique by
// the message's namer, prohibited names as alert files, TNEF streams unpacked.
// The message's base name, which names its staging folder and record file: the file name
// (after the last "\\", "/" or ":") cut before its last "." and without trailing white space;
// empty when it has no ".".
std::string MessageBaseName(const std::string& messagePath);

class CStagingWriter {
public:
    CStagingWriter(std::string stagingFolder, const CExtensionList& prohibitedList,
                   CAttachmentNamer& namer)
        : m_strFolder(std::move(stagingFolder)), m_prohibited(prohibitedList), m_namer(namer) {}

    // Writes one attachment under name (as the message gives it). A TNEF stream (by its
    // name or contentType) that reads is replaced by the files inside it; one that does not
    // is written as it came. Returns the number of files written, alert files included.
    int Write(const std::string& name, const std::string& data,
              const std::string& contentType = {});

    // After a MIME part named name was written as fileName in the folder: when it is a TNEF
    // stream that reads and holds files, writes those files and then deletes the stream.
    // Returns the number of files now there in place of the stream's one file (0 when it was
    // left as it is; the stream counts too when it could not be deleted).
    int UnpackWrittenTnef(const std::string& name, const std::string& contentType,
                          const std::string& fileName);

    // Makes the staging folder with the message's first file (it is not removed before the
    // message ends, so later files need not ask again); false, and failed from then on,
    // when it cannot be made.
    bool MakeFolder();

    // Whether the staging folder could not be created.
    bool HasFailed() const { return m_bFailed; }

    static constexpr char kAlertSuffix[] = ".alert";

private:
    int WriteOne(const std::string& name, const std::string& data);
    bool IsProhibited(const std::string& name) const;

    std::string m_strFolder;
    const CExtensionList& m_prohibited;
    CAttachmentNamer& m_namer;
    bool m_bFailed = false;
    bool m_bFolderReady = false;  // the staging folder exists
};

// The extraction of one Outlook item file (see CMailParser::ExtractAttachments, which
// hands compound files here): dataFolder is the data folder followed by a backslash.
// Returns the staging folder when something was written, otherwise empty. A damaged item,
// or one that is no message, is deleted and gives nothing.
std::string ExtractOutlookItem(const std::string& dataFolder, const std::string& messagePath,
                               const CExtensionList& prohibitedList, IProgress& progress,
                               int progressStart, int progressEnd);
