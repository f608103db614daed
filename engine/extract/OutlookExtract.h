#pragma once

// The extraction of Outlook items: an item goes through the same steps as a MIME message,
// its attachments handed to the message's staging sink (which names them, writes alert files
// in place of prohibited ones and unpacks TNEF streams), its summary kept for the record.

#include "engine/extract/Progress.h"
#include "engine/extract/StagingSink.h"

#include <cstdint>
#include <string>
#include <string_view>

enum class OutlookSummaryResult { Message, NotMessage, Unreadable, CannotOpen };

namespace engine {

// Whether a file is a compound file (an Outlook item, when it is a message file), by its
// first bytes.
bool IsCompoundFilePath(const std::string& path);

// Whether the first bytes of a file are those of a compound file.
bool HasCompoundFileSignature(std::string_view head);

// A FILETIME (UTC) as the record file's local date ("2004年12月06日 10:20:30"); empty for 0
// or a time the C library cannot convert.
std::string FormatFileTime(std::uint64_t fileTime);

// The summary of an Outlook item file as the record file holds it: the date (empty when
// the item has no time), the sender ("name <address>", "--不明--" when there is none) and
// the subject ("--件名なし--" when there is none).
OutlookSummaryResult ReadOutlookSummary(const std::string& path, std::string& fromText,
                                        std::string& subjectText, std::string& dateText);

// The extraction of an Outlook item whose file's bytes are itemBytes: its attachments are
// handed to the message's sink (an attached item as a standalone item file) and summary
// filled in for its record. A signed item's message (the MIME message of a clear-signed
// one, the CMS data of an opaque-signed one) is read through parser as MIME mail is, so
// that the files inside it come out. False when the item is to give nothing: a damaged
// item, or one that is no message (the caller consumes it all the same).
bool ExtractOutlookItem(CMailParser& parser, std::string itemBytes, CStagingSink& sink,
                        RecordSummary& summary, IProgress& progress, int progressStart,
                        int progressEnd);

}  // namespace engine
