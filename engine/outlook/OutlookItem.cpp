#include "engine/outlook/OutlookItem.h"

#include "engine/outlook/CompoundFile.h"
#include "engine/text/MapiText.h"
#include "platform/ShiftJis.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>

namespace {

// Property tags (identifier << 16 | type) and types.
constexpr std::uint16_t kTypeLong = 0x0003;
constexpr std::uint16_t kTypeString8 = 0x001E;
constexpr std::uint16_t kTypeUnicode = 0x001F;
constexpr std::uint16_t kTypeTime = 0x0040;

constexpr std::uint16_t kMessageClass = 0x001A;
constexpr std::uint16_t kSubject = 0x0037;
constexpr std::uint16_t kClientSubmitTime = 0x0039;
constexpr std::uint16_t kSentRepresentingName = 0x0042;
constexpr std::uint16_t kSentRepresentingAddress = 0x0065;
constexpr std::uint16_t kSenderName = 0x0C1A;
constexpr std::uint16_t kSenderAddress = 0x0C1F;
constexpr std::uint16_t kDeliveryTime = 0x0E06;
constexpr std::uint16_t kDisplayName = 0x3001;
constexpr std::uint16_t kAttachData = 0x3701;
constexpr std::uint16_t kAttachExtension = 0x3703;
constexpr std::uint16_t kAttachFileName = 0x3704;
constexpr std::uint16_t kAttachMethod = 0x3705;
constexpr std::uint16_t kAttachLongFileName = 0x3707;
constexpr std::uint16_t kAttachMimeTag = 0x370E;
constexpr std::uint16_t kInternetCodePage = 0x3FDE;
constexpr std::uint16_t kMessageCodePage = 0x3FFD;
constexpr std::uint16_t kSenderSmtpAddress = 0x5D01;
constexpr std::uint16_t kSentRepresentingSmtpAddress = 0x5D02;

constexpr std::uint32_t kAttachByValue = 1;
constexpr std::uint32_t kAttachEmbeddedMessage = 5;

constexpr char kPropertiesName[] = "__properties_version1.0";
constexpr char kAttachPrefix[] = "__attach_version1.0_#";
constexpr char kNamedPropertiesName[] = "__nameid_version1.0";
constexpr std::size_t kTopHeaderSize = 32;
constexpr std::size_t kEmbeddedHeaderSize = 24;
constexpr std::size_t kObjectHeaderSize = 8;

std::uint32_t Get32(const std::string& data, std::size_t offset) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = value << 8 | static_cast<unsigned char>(data[offset + static_cast<std::size_t>(i)]);
    }
    return value;
}

std::string HexTag(std::uint16_t id, std::uint16_t type) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text = "__substg1.0_";
    for (int shift = 12; shift >= 0; shift -= 4) {
        text += kDigits[(id >> shift) & 0xF];
    }
    for (int shift = 12; shift >= 0; shift -= 4) {
        text += kDigits[(type >> shift) & 0xF];
    }
    return text;
}

// One object of the item (the message, an attachment): its storage, its fixed-size
// properties and the code page of its 8-bit text.
class CPropertyObject {
public:
    CPropertyObject(const CCompoundFile& file, std::uint32_t storage, std::size_t headerSize)
        : m_file(file), m_storage(storage) {
        const std::uint32_t stream = file.Find(storage, engine::AsciiToUtf16(kPropertiesName));
        std::string data;
        if (stream == CCompoundFile::kNoEntry || !file.ReadStream(stream, data)) {
            m_bDamaged = stream != CCompoundFile::kNoEntry;
            return;
        }
        for (std::size_t offset = headerSize; offset + 16 <= data.size(); offset += 16) {
            const std::uint32_t tag = Get32(data, offset);
            std::uint64_t value = Get32(data, offset + 8) |
                                  static_cast<std::uint64_t>(Get32(data, offset + 12)) << 32;
            m_values[tag] = value;
        }
    }

    bool IsDamaged() const { return m_bDamaged; }

    std::optional<std::uint64_t> Fixed(std::uint16_t id, std::uint16_t type) const {
        const auto it = m_values.find(static_cast<std::uint32_t>(id) << 16 | type);
        if (it == m_values.end()) {
            return std::nullopt;
        }
        return it->second;
    }

    std::optional<std::uint32_t> Long(std::uint16_t id) const {
        const auto value = Fixed(id, kTypeLong);
        return value ? std::optional<std::uint32_t>(static_cast<std::uint32_t>(*value))
                     : std::nullopt;
    }

    // A text property as Shift_JIS: the Unicode form when there is one, else the 8-bit
    // form in codePage. Empty when the item has neither (or it is empty); a damaged
    // stream marks the object damaged.
    std::string Text(std::uint16_t id, std::uint32_t codePage) {
        std::string data;
        if (Stream(id, kTypeUnicode, data)) {
            return engine::Utf16ToShiftJis(std::string_view(data));
        }
        if (Stream(id, kTypeString8, data)) {
            return engine::CodePageToShiftJis(data, codePage);
        }
        return {};
    }

    // The bytes of the stream of a property; false when it is missing or damaged.
    bool Stream(std::uint16_t id, std::uint16_t type, std::string& data) {
        const std::uint32_t stream = m_file.Find(m_storage, engine::AsciiToUtf16(HexTag(id, type)));
        if (stream == CCompoundFile::kNoEntry ||
            m_file.GetEntry(stream).type != CCompoundFile::EntryType::Stream) {
            return false;
        }
        if (!m_file.ReadStream(stream, data)) {
            m_bDamaged = true;
            return false;
        }
        return true;
    }

    std::uint32_t Child(std::uint16_t id, std::uint16_t type) const {
        return m_file.Find(m_storage, engine::AsciiToUtf16(HexTag(id, type)));
    }

private:
    const CCompoundFile& m_file;
    std::uint32_t m_storage;
    std::map<std::uint32_t, std::uint64_t> m_values;
    bool m_bDamaged = false;
};

// Copies a storage of the file into writer nodes; false when a stream is damaged.
bool CopyStorage(const CCompoundFile& file, std::uint32_t storage,
                 CCompoundFileWriter::Node& node) {
    for (const std::uint32_t child : file.Children(storage)) {
        const CCompoundFile::Entry& entry = file.GetEntry(child);
        CCompoundFileWriter::Node copy;
        copy.name = entry.name;
        std::memcpy(copy.clsid, entry.clsid, sizeof copy.clsid);
        if (entry.type == CCompoundFile::EntryType::Storage) {
            copy.isStorage = true;
            if (!CopyStorage(file, child, copy)) {
                return false;
            }
        } else if (!file.ReadStream(child, copy.data)) {
            return false;
        }
        node.children.push_back(std::move(copy));
    }
    return true;
}

// An attached item as a standalone item file: its storage becomes the root, its property
// stream gets the header of a top-level item, and the named-property map of the outer
// item (which the attached item shares) is copied along. False when a stream is damaged
// or the copy cannot be written.
bool WriteEmbeddedItem(const CCompoundFile& file, std::uint32_t storage, std::string& out) {
    CCompoundFileWriter::Node root;
    root.isStorage = true;
    std::memcpy(root.clsid, file.GetEntry(storage).clsid, sizeof root.clsid);
    if (!CopyStorage(file, storage, root)) {
        return false;
    }
    for (CCompoundFileWriter::Node& child : root.children) {
        if (!child.isStorage && engine::CompareCompoundNames(child.name, engine::AsciiToUtf16(kPropertiesName)) == 0 &&
            child.data.size() >= kEmbeddedHeaderSize) {
            child.data.insert(kEmbeddedHeaderSize, kTopHeaderSize - kEmbeddedHeaderSize, '\0');
        }
    }
    const std::u16string namedProperties = engine::AsciiToUtf16(kNamedPropertiesName);
    const std::uint32_t outerMap = file.Find(CCompoundFile::Root(), namedProperties);
    if (outerMap != CCompoundFile::kNoEntry && file.Find(storage, namedProperties) == CCompoundFile::kNoEntry &&
        file.GetEntry(outerMap).type == CCompoundFile::EntryType::Storage) {
        CCompoundFileWriter::Node map;
        map.name = file.GetEntry(outerMap).name;
        map.isStorage = true;
        std::memcpy(map.clsid, file.GetEntry(outerMap).clsid, sizeof map.clsid);
        if (!CopyStorage(file, outerMap, map)) {
            return false;
        }
        root.children.push_back(std::move(map));
    }
    out = CCompoundFileWriter::Write(root);
    return !out.empty();
}

// Reads one attachment; false when it is damaged. An attachment without data (by
// reference, an OLE object) is left out.
bool ReadAttachment(const CCompoundFile& file, std::uint32_t storage, std::uint32_t codePage,
                    std::vector<OutlookAttachment>& attachments) {
    CPropertyObject object(file, storage, kObjectHeaderSize);
    const std::uint32_t method = object.Long(kAttachMethod).value_or(kAttachByValue);
    OutlookAttachment attachment;
    const std::uint32_t embedded = object.Child(kAttachData, 0x000D);
    if (embedded != CCompoundFile::kNoEntry &&
        file.GetEntry(embedded).type == CCompoundFile::EntryType::Storage &&
        method == kAttachEmbeddedMessage) {
        // The attached item must read as an item of its own, as the file written for it
        // will be read; a storage that is none (no property stream, a damaged item inside)
        // is a damaged attachment.
        OutlookItem inner;
        if (!WriteEmbeddedItem(file, embedded, attachment.data) ||
            engine::ReadOutlookItem(attachment.data, inner) == OutlookReadResult::Unreadable) {
            return false;
        }
        attachment.bEmbeddedMessage = true;
        attachment.name = "message.msg";
    } else {
        if (!object.Stream(kAttachData, 0x0102, attachment.data)) {
            return !object.IsDamaged();
        }
        for (const std::uint16_t id : {kAttachLongFileName, kAttachFileName, kDisplayName}) {
            attachment.name = object.Text(id, codePage);
            if (!attachment.name.empty()) {
                break;
            }
        }
        attachment.mimeTag = object.Text(kAttachMimeTag, codePage);
        if (attachment.name.empty()) {
            attachment.name = engine::NamelessAttachmentName(
                attachment.mimeTag, object.Text(kAttachExtension, codePage));
        }
    }
    if (object.IsDamaged()) {
        return false;
    }
    attachments.push_back(std::move(attachment));
    return true;
}

}  // namespace

bool engine::IsMessageClass(const std::string& messageClass) {
    // Each class with its subclasses ("IPM.Note.SMIME", "IPM.Schedule.Meeting.Request").
    static constexpr std::string_view kClasses[] = {
        "IPM.Note", "IPM.Appointment", "IPM.Schedule.Meeting", "IPM.Post", "IPM.Task",
        "IPM.TaskRequest",
    };
    for (const std::string_view name : kClasses) {
        if (sjis::EqualsNoCase(messageClass, name) ||
            (sjis::StartsWithNoCase(messageClass, name) && messageClass.size() > name.size() &&
             messageClass[name.size()] == '.')) {
            return true;
        }
    }
    return false;
}

std::string engine::NamelessAttachmentName(const std::string& mimeTag, const std::string& extension) {
    static const std::pair<const char*, const char*> kTypes[] = {
        {"application/pdf", "pdf"},   {"image/jpeg", "jpg"},       {"image/png", "png"},
        {"image/gif", "gif"},         {"image/bmp", "bmp"},        {"image/tiff", "tif"},
        {"text/plain", "txt"},        {"text/html", "html"},       {"text/calendar", "ics"},
        {"application/zip", "zip"},   {"application/msword", "doc"},
        {"application/vnd.ms-excel", "xls"}, {"application/vnd.ms-powerpoint", "ppt"},
        {"message/rfc822", "eml"},
    };
    for (const auto& [type, ext] : kTypes) {
        if (sjis::EqualsNoCase(mimeTag, type)) {
            return std::string("attachment.") + ext;
        }
    }
    std::string own = extension;
    if (!own.empty() && own.front() == '.') {
        own.erase(0, 1);
    }
    if (!own.empty() && own.size() <= 16 && sjis::FindFirstOf(own, "\\/:. ") == std::string::npos) {
        return "attachment." + own;
    }
    return "attachment.bin";
}

OutlookReadResult engine::ReadOutlookItem(std::string fileBytes, OutlookItem& item) {
    item = OutlookItem();
    CCompoundFile file;
    if (!file.Open(std::move(fileBytes))) {
        return OutlookReadResult::Unreadable;
    }
    const std::uint32_t root = CCompoundFile::Root();
    if (file.Find(root, engine::AsciiToUtf16(kPropertiesName)) == CCompoundFile::kNoEntry) {
        return OutlookReadResult::Unreadable;  // a compound file, but no Outlook item
    }
    CPropertyObject message(file, root, kTopHeaderSize);
    // The code page of the item's 8-bit text: the one it was sent in, else its own.
    std::uint32_t codePage = message.Long(kInternetCodePage).value_or(0);
    if (codePage == 0) {
        codePage = message.Long(kMessageCodePage).value_or(0);
    }
    item.messageClass = message.Text(kMessageClass, codePage);
    if (message.IsDamaged()) {
        return OutlookReadResult::Unreadable;
    }
    if (!engine::IsMessageClass(item.messageClass)) {
        return OutlookReadResult::NotMessage;
    }
    item.subject = message.Text(kSubject, codePage);
    item.senderName = message.Text(kSenderName, codePage);
    if (item.senderName.empty()) {
        item.senderName = message.Text(kSentRepresentingName, codePage);
    }
    for (const std::uint16_t id : {kSenderSmtpAddress, kSenderAddress, kSentRepresentingSmtpAddress,
                                   kSentRepresentingAddress}) {
        const std::string address = message.Text(id, codePage);
        // An Exchange address ("/O=.../CN=...") is no mail address.
        if (address.find('@') != std::string::npos) {
            item.senderAddress = address;
            break;
        }
    }
    for (const std::uint16_t id : {kClientSubmitTime, kDeliveryTime}) {
        if (const auto time = message.Fixed(id, kTypeTime); time && *time != 0) {
            item.time = *time;
            break;
        }
    }
    if (message.IsDamaged()) {
        return OutlookReadResult::Unreadable;
    }

    std::vector<std::uint32_t> attachmentStorages;
    for (const std::uint32_t child : file.Children(root)) {
        const CCompoundFile::Entry& entry = file.GetEntry(child);
        const std::u16string prefix = engine::AsciiToUtf16(kAttachPrefix);
        if (entry.type == CCompoundFile::EntryType::Storage &&
            entry.name.size() > prefix.size() &&
            engine::CompareCompoundNames(entry.name.substr(0, prefix.size()), prefix) == 0) {
            attachmentStorages.push_back(child);
        }
    }
    // In the order of their numbers (names of equal length sort as their numbers do).
    std::sort(attachmentStorages.begin(), attachmentStorages.end(),
              [&](std::uint32_t a, std::uint32_t b) {
                  return engine::CompareCompoundNames(file.GetEntry(a).name, file.GetEntry(b).name) < 0;
              });
    for (const std::uint32_t storage : attachmentStorages) {
        if (!ReadAttachment(file, storage, codePage, item.attachments)) {
            item.attachments.clear();
            return OutlookReadResult::Unreadable;
        }
    }
    return OutlookReadResult::Message;
}
