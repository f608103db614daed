#include "engine/outlook/Tnef.h"

#include "engine/text/MapiText.h"
#include "engine/outlook/OutlookItem.h"
#include "platform/ShiftJis.h"

#include <cstdint>
#include <initializer_list>
#include <optional>

namespace {

constexpr std::uint32_t kSignature = 0x223E9F78;
constexpr std::uint8_t kLevelAttachment = 2;

// Attribute identifiers (the low word of an attribute's tag).
constexpr std::uint16_t kAttachData = 0x800F;
constexpr std::uint16_t kAttachTitle = 0x8010;
constexpr std::uint16_t kAttachRendData = 0x9002;
constexpr std::uint16_t kAttachment = 0x9005;
constexpr std::uint16_t kOemCodePage = 0x9007;

// MAPI property identifiers and types.
constexpr std::uint16_t kPropDisplayName = 0x3001;
constexpr std::uint16_t kPropAttachMethod = 0x3705;
constexpr std::uint16_t kPropAttachData = 0x3701;
constexpr std::uint16_t kPropExtension = 0x3703;
constexpr std::uint16_t kPropFileName = 0x3704;
constexpr std::uint16_t kPropLongFileName = 0x3707;
constexpr std::uint16_t kPropMimeTag = 0x370E;
constexpr std::uint16_t kTypeString8 = 0x001E;
constexpr std::uint16_t kTypeUnicode = 0x001F;
constexpr std::uint16_t kTypeBinary = 0x0102;
constexpr std::uint16_t kTypeObject = 0x000D;
constexpr std::uint16_t kMultiValued = 0x1000;

// Attach methods: an attached message, an OLE object.
constexpr std::uint32_t kMethodEmbeddedMessage = 5;
// An attached message's stream nests no deeper than this.
constexpr int kMaxNesting = 4;

// A bounded little-endian reader; every read fails once the data runs out.
class CCursor {
public:
    explicit CCursor(std::string_view data) : m_data(data) {}

    bool Skip(std::size_t count) {
        if (count > m_data.size() - m_pos) {
            return false;
        }
        m_pos += count;
        return true;
    }
    bool Bytes(std::size_t count, std::string_view& out) {
        if (count > m_data.size() - m_pos) {
            return false;
        }
        out = m_data.substr(m_pos, count);
        m_pos += count;
        return true;
    }
    template <typename T>
    bool Number(T& out) {
        std::string_view bytes;
        if (!Bytes(sizeof(T), bytes)) {
            return false;
        }
        std::uint64_t value = 0;
        for (std::size_t i = sizeof(T); i-- > 0;) {
            value = value << 8 | static_cast<unsigned char>(bytes[i]);
        }
        out = static_cast<T>(value);
        return true;
    }
    std::size_t Remaining() const { return m_data.size() - m_pos; }

private:
    std::string_view m_data;
    std::size_t m_pos = 0;
};

struct PendingAttachment {
    std::string title;  // raw 8-bit text
    std::optional<std::string> data;
    std::string longName, shortName, displayName, mimeTag, extension;  // Shift_JIS
    std::optional<std::string> propertyData;
    // An object's data (an attached message's TNEF stream, an OLE object's storage),
    // without the interface identifier that precedes it.
    std::optional<std::string> objectData;
    std::uint32_t method = 0;
};

std::size_t FixedSize(std::uint16_t type) {
    switch (type) {
        case 0x0002: case 0x0003: case 0x0004: case 0x000A: case 0x000B: case 0x0001:
            return 4;
        case 0x0005: case 0x0006: case 0x0007: case 0x0014: case 0x0040:
            return 8;
        case 0x0048:
            return 16;
        default:
            return 0;
    }
}

// Reads an attachment's MAPI properties (the attAttachment attribute); false when the
// block is malformed.
bool ReadProperties(std::string_view block, std::uint32_t codePage, PendingAttachment& attachment) {
    CCursor cursor(block);
    std::uint32_t count = 0;
    if (!cursor.Number(count)) {
        return false;
    }
    for (std::uint32_t n = 0; n < count; ++n) {
        std::uint16_t type = 0, id = 0;
        if (!cursor.Number(type) || !cursor.Number(id)) {
            return false;
        }
        if (id >= 0x8000) {
            // A named property: its set, then a number or a name.
            std::uint32_t kind = 0;
            if (!cursor.Skip(16) || !cursor.Number(kind)) {
                return false;
            }
            // A number, or the length of a name and the name padded to four bytes.
            std::uint32_t numberOrLength = 0;
            if (!cursor.Number(numberOrLength)) {
                return false;
            }
            if (kind != 0 && (!cursor.Skip(numberOrLength) ||
                              !cursor.Skip((4 - numberOrLength % 4) % 4))) {
                return false;
            }
        }
        const auto base = static_cast<std::uint16_t>(type & ~kMultiValued);
        const bool bVariable = base == kTypeString8 || base == kTypeUnicode ||
                               base == kTypeBinary || base == kTypeObject;
        if (bVariable) {
            std::uint32_t values = 0;
            if (!cursor.Number(values) || values > cursor.Remaining() / 4) {
                return false;
            }
            for (std::uint32_t v = 0; v < values; ++v) {
                std::uint32_t length = 0;
                std::string_view value;
                if (!cursor.Number(length) || !cursor.Bytes(length, value) ||
                    !cursor.Skip((4 - length % 4) % 4)) {
                    return false;
                }
                if (v != 0 || (type & kMultiValued)) {
                    continue;
                }
                std::string text;
                if (base == kTypeUnicode) {
                    text = engine::Utf16ToShiftJis(value);
                } else if (base == kTypeString8) {
                    text = engine::CodePageToShiftJis(value, codePage);
                }
                switch (id) {
                    case kPropLongFileName: attachment.longName = text; break;
                    case kPropFileName: attachment.shortName = text; break;
                    case kPropDisplayName: attachment.displayName = text; break;
                    case kPropMimeTag: attachment.mimeTag = text; break;
                    case kPropExtension: attachment.extension = text; break;
                    case kPropAttachData:
                        if (base == kTypeBinary) {
                            attachment.propertyData = std::string(value);
                        } else if (base == kTypeObject && value.size() >= 16) {
                            attachment.objectData = std::string(value.substr(16));
                        }
                        break;
                    default: break;
                }
            }
        } else {
            const std::size_t size = FixedSize(base);
            if (size == 0) {
                return false;
            }
            std::uint32_t values = 1;
            if ((type & kMultiValued) && (!cursor.Number(values) || values > cursor.Remaining() / 4)) {
                return false;
            }
            for (std::uint32_t v = 0; v < values; ++v) {
                std::string_view value;
                if (!cursor.Bytes(size, value)) {
                    return false;
                }
                if (id == kPropAttachMethod && base == 0x0003 && !(type & kMultiValued)) {
                    attachment.method = static_cast<unsigned char>(value[0]) |
                                        static_cast<std::uint32_t>(static_cast<unsigned char>(value[1])) << 8;
                }
            }
        }
    }
    return true;
}

bool ReadTnefAt(std::string_view stream, std::vector<TnefAttachment>& attachments, int depth);

void Finish(PendingAttachment& pending, std::uint32_t codePage,
            std::vector<TnefAttachment>& attachments, int depth) {
    TnefAttachment attachment;
    if (pending.data) {
        attachment.data = std::move(*pending.data);
    } else if (pending.propertyData) {
        attachment.data = std::move(*pending.propertyData);
    } else if (pending.objectData) {
        // An attached message is a TNEF stream of its own: its files come out as this
        // stream's. One that does not read, and an OLE object, is written as it is.
        std::vector<TnefAttachment> inner;
        if (pending.method == kMethodEmbeddedMessage && depth < kMaxNesting &&
            ReadTnefAt(*pending.objectData, inner, depth + 1)) {
            for (TnefAttachment& file : inner) {
                attachments.push_back(std::move(file));
            }
            return;
        }
        attachment.data = std::move(*pending.objectData);
    } else {
        return;  // by reference: nothing to write
    }
    const std::string title = engine::CodePageToShiftJis(pending.title, codePage);
    for (const std::string* name : std::initializer_list<const std::string*>{
             &pending.longName, &title, &pending.shortName, &pending.displayName}) {
        if (!name->empty()) {
            attachment.name = *name;
            break;
        }
    }
    if (attachment.name.empty()) {
        attachment.name = engine::NamelessAttachmentName(pending.mimeTag, pending.extension);
    }
    attachments.push_back(std::move(attachment));
}

}  // namespace

bool engine::IsTnefAttachment(const std::string& fileName, const std::string& contentType) {
    const std::size_t separator = sjis::FindLastOf(fileName, "\\/:");
    const std::string base = separator == std::string::npos ? fileName : fileName.substr(separator + 1);
    std::string type = contentType.substr(0, contentType.find(';'));
    while (!type.empty() && (type.back() == ' ' || type.back() == '\t')) {
        type.pop_back();
    }
    while (!type.empty() && (type.front() == ' ' || type.front() == '\t')) {
        type.erase(0, 1);
    }
    return sjis::EqualsNoCase(base, "winmail.dat") ||
           sjis::EqualsNoCase(type, "application/ms-tnef") ||
           sjis::EqualsNoCase(type, "application/vnd.ms-tnef");
}

bool engine::ReadTnef(std::string_view stream, std::vector<TnefAttachment>& attachments) {
    return ReadTnefAt(stream, attachments, 0);
}

namespace {

bool ReadTnefAt(std::string_view stream, std::vector<TnefAttachment>& attachments, int depth) {
    attachments.clear();
    CCursor cursor(stream);
    std::uint32_t signature = 0;
    std::uint16_t key = 0;
    if (!cursor.Number(signature) || signature != kSignature || !cursor.Number(key)) {
        return false;
    }
    std::vector<TnefAttachment> found;
    std::optional<PendingAttachment> pending;
    std::uint32_t codePage = 0;
    while (cursor.Remaining() > 0) {
        std::uint8_t level = 0;
        std::uint32_t tag = 0, length = 0;
        std::string_view value;
        std::uint16_t checksum = 0;
        if (!cursor.Number(level) || !cursor.Number(tag) || !cursor.Number(length) ||
            !cursor.Bytes(length, value) || !cursor.Number(checksum)) {
            return false;
        }
        const auto id = static_cast<std::uint16_t>(tag & 0xFFFF);
        if (id == kOemCodePage && value.size() >= 4) {
            codePage = static_cast<std::uint32_t>(static_cast<unsigned char>(value[0])) |
                       static_cast<std::uint32_t>(static_cast<unsigned char>(value[1])) << 8 |
                       static_cast<std::uint32_t>(static_cast<unsigned char>(value[2])) << 16 |
                       static_cast<std::uint32_t>(static_cast<unsigned char>(value[3])) << 24;
            continue;
        }
        if (level != kLevelAttachment) {
            continue;
        }
        if (id == kAttachRendData) {
            if (pending) {
                Finish(*pending, codePage, found, depth);
            }
            pending.emplace();
            continue;
        }
        if (!pending) {
            pending.emplace();
        }
        switch (id) {
            case kAttachTitle:
                pending->title = std::string(value.substr(0, value.find('\0')));
                break;
            case kAttachData:
                pending->data = std::string(value);
                break;
            case kAttachment:
                if (!ReadProperties(value, codePage, *pending)) {
                    return false;
                }
                break;
            default:
                break;
        }
    }
    if (pending) {
        Finish(*pending, codePage, found, depth);
    }
    attachments = std::move(found);
    return true;
}

}  // namespace
