#pragma once

// What a row of the attachment list shows, read from the disk at each paint of the row:
// a record's subject and its date and sender line, an attachment's icon kind, overlay and
// text. Only the row asked for is read (its record file, or for a message attachment its
// header), so a paint reads nothing for the rows it does not show.

#include "policy/ExtensionList.h"

#include <string>

namespace list {

// The second line of an alert-file row.
inline constexpr char kAlertRowText[] =
    "このファイルは取り出し禁止です。詳細はダブルクリックして確認ください。";

struct RecordRowContent {
    bool bDraw = false;      // false: the record file is missing; the row stays empty
    std::string strSubject;  // line 1, bold
    std::string strDetails;  // line 2: four spaces, date, four spaces, sender
};

// The record row of recordFile.
RecordRowContent DescribeRecordRow(const std::string& recordFile);

struct AttachmentRowContent {
    bool bDraw = false;   // false: the entry no longer exists; the row stays empty
    bool bAlert = false;  // the skull in place of the file's own icon
    int nOverlay = 0;     // 0, or the overlay icon over the file's icon (153 or 154)
    std::string strText;  // one or two lines, CR LF between them
};

// The attachment row of path with allowedList deciding the overlay.
AttachmentRowContent DescribeAttachmentRow(const std::string& path,
                                           const CExtensionList& allowedList);

// The extension an attachment is judged by: empty for a folder, otherwise the text after
// the last period of its name in lower case, without single-byte white space around it.
std::string AttachmentExtension(const std::string& path);

}  // namespace list
