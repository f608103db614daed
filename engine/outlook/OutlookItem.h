#pragma once

// Outlook item files (".msg"): a compound file holding the item's properties. The reader
// takes what the extraction needs: whether the item is a message, its summary (sender,
// subject, time) and its attachments with their names and bytes. An attached Outlook item
// comes out whole, as a standalone item file.
//
// Everything is read before anything is handed back, so a damaged file gives Unreadable
// and nothing else: no partial list of attachments.

#include <cstdint>
#include <string>
#include <vector>

struct OutlookAttachment {
    std::string name;  // Shift_JIS, as the item names it (not yet made safe)
    std::string data;
    std::string mimeTag;            // its MIME content type, as the item gives it
    bool bEmbeddedMessage = false;  // data is a whole item file
};

struct OutlookItem {
    std::string messageClass;  // "IPM.Note", ...
    std::string subject;       // Shift_JIS, empty when the item has none
    std::string senderName;
    std::string senderAddress;
    // The submit time, else the delivery time, as a FILETIME (100 ns since 1601, UTC);
    // 0 when the item has neither.
    std::uint64_t time = 0;
    std::vector<OutlookAttachment> attachments;
};

enum class OutlookReadResult {
    Message,     // a message: summary and attachments filled in
    NotMessage,  // a readable item of another kind (contact, sticky note, ...)
    Unreadable,  // no readable Outlook item
};

namespace engine {

// Reads an item from its file's bytes.
OutlookReadResult ReadOutlookItem(std::string fileBytes, OutlookItem& item);

// Whether a message class names an item that is read like a message, for the files it
// carries: mail ("IPM.Note"), appointments and meeting requests ("IPM.Appointment",
// "IPM.Schedule.Meeting.Request", ...), posts ("IPM.Post"), tasks and task requests
// ("IPM.Task", "IPM.TaskRequest"), each with its subclasses, letter case aside. Contacts,
// distribution lists and sticky notes are not.
bool IsMessageClass(const std::string& messageClass);

// The name given to an attachment the item does not name: "attachment" with the
// extension of its content type or its own extension, else "attachment.bin".
std::string NamelessAttachmentName(const std::string& mimeTag, const std::string& extension);

}  // namespace engine

