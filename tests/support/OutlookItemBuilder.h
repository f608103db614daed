#pragma once

// Outlook item files and TNEF streams made in memory for tests: Japanese names and subjects
// in Unicode and 8-bit properties, attached items, any property a test needs.

#include "engine/outlook/CompoundFile.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace test {

// Property types.
inline constexpr std::uint16_t kPtLong = 0x0003;
inline constexpr std::uint16_t kPtString8 = 0x001E;
inline constexpr std::uint16_t kPtUnicode = 0x001F;
inline constexpr std::uint16_t kPtTime = 0x0040;
inline constexpr std::uint16_t kPtBinary = 0x0102;

inline std::uint32_t Tag(std::uint16_t id, std::uint16_t type) {
    return static_cast<std::uint32_t>(id) << 16 | type;
}

// UTF-16LE bytes of text.
inline std::string Utf16Bytes(std::u16string_view text) {
    std::string bytes;
    for (const char16_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

inline void PutLittleEndian(std::string& out, std::uint64_t value, int size) {
    for (int i = 0; i < size; ++i) {
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

// One object of an item: a message or an attachment.
struct MsgObject {
    std::vector<std::pair<std::uint32_t, std::uint64_t>> fixed;  // tag, value
    std::vector<std::pair<std::uint32_t, std::string>> streams;  // tag, bytes
    std::vector<MsgObject> attachments;                          // of a message
    std::vector<MsgObject> embedded;                             // of an attachment: 0 or 1

    MsgObject& Text(std::uint16_t id, std::u16string_view text) {
        streams.emplace_back(Tag(id, kPtUnicode), Utf16Bytes(text));
        return *this;
    }
    MsgObject& Text8(std::uint16_t id, std::string text) {
        streams.emplace_back(Tag(id, kPtString8), std::move(text) + '\0');
        return *this;
    }
    MsgObject& Binary(std::uint16_t id, std::string bytes) {
        streams.emplace_back(Tag(id, kPtBinary), std::move(bytes));
        return *this;
    }
    MsgObject& Fixed(std::uint16_t id, std::uint16_t type, std::uint64_t value) {
        fixed.emplace_back(Tag(id, type), value);
        return *this;
    }
};

inline std::u16string HexName(const char* prefix, std::uint32_t value) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text = prefix;
    for (int shift = 28; shift >= 0; shift -= 4) {
        text += kDigits[(value >> shift) & 0xF];
    }
    return engine::AsciiToUtf16(text);
}

// headerSize: 32 for an item, 24 for an attached item, 8 for an attachment.
inline void FillStorage(const MsgObject& object, std::size_t headerSize,
                        CCompoundFileWriter::Node& node) {
    std::string properties(headerSize, '\0');
    for (const auto& [tag, value] : object.fixed) {
        PutLittleEndian(properties, tag, 4);
        PutLittleEndian(properties, 6, 4);  // readable and writable
        PutLittleEndian(properties, value, 8);
    }
    CCompoundFileWriter::Node stream;
    stream.name = engine::AsciiToUtf16("__properties_version1.0");
    stream.data = properties;
    node.children.push_back(stream);
    for (const auto& [tag, bytes] : object.streams) {
        CCompoundFileWriter::Node property;
        property.name = HexName("__substg1.0_", tag);
        property.data = bytes;
        node.children.push_back(property);
    }
    for (std::size_t i = 0; i < object.attachments.size(); ++i) {
        CCompoundFileWriter::Node attachment;
        attachment.name = HexName("__attach_version1.0_#", static_cast<std::uint32_t>(i));
        attachment.isStorage = true;
        FillStorage(object.attachments[i], 8, attachment);
        node.children.push_back(attachment);
    }
    for (const MsgObject& embedded : object.embedded) {
        CCompoundFileWriter::Node storage;
        storage.name = HexName("__substg1.0_", Tag(0x3701, 0x000D));
        storage.isStorage = true;
        FillStorage(embedded, 24, storage);
        node.children.push_back(storage);
    }
}

// The bytes of an item file holding message.
inline std::string BuildItem(const MsgObject& message) {
    CCompoundFileWriter::Node root;
    root.isStorage = true;
    FillStorage(message, 32, root);
    return CCompoundFileWriter::Write(root);
}

// A TNEF stream made attribute by attribute.
class TnefBuilder {
public:
    TnefBuilder() {
        PutLittleEndian(m_bytes, 0x223E9F78, 4);
        PutLittleEndian(m_bytes, 0x0001, 2);
    }
    TnefBuilder& Attribute(std::uint8_t level, std::uint32_t tag, const std::string& data) {
        m_bytes += static_cast<char>(level);
        PutLittleEndian(m_bytes, tag, 4);
        PutLittleEndian(m_bytes, data.size(), 4);
        m_bytes += data;
        std::uint32_t sum = 0;
        for (const char c : data) {
            sum += static_cast<unsigned char>(c);
        }
        PutLittleEndian(m_bytes, sum & 0xFFFF, 2);
        return *this;
    }
    // A new attachment (attAttachRendData), its title, its data.
    TnefBuilder& Attachment() { return Attribute(2, 0x00069002, std::string(14, '\0')); }
    TnefBuilder& Title(const std::string& title) { return Attribute(2, 0x00018010, title + '\0'); }
    TnefBuilder& Data(const std::string& data) { return Attribute(2, 0x0006800F, data); }
    // attAttachment with one string property (Unicode when wide).
    TnefBuilder& NameProperty(std::uint16_t id, const std::string& bytes, bool wide) {
        std::string props;
        PutLittleEndian(props, 1, 4);
        PutLittleEndian(props, wide ? kPtUnicode : kPtString8, 2);
        PutLittleEndian(props, id, 2);
        PutLittleEndian(props, 1, 4);
        PutLittleEndian(props, bytes.size(), 4);
        props += bytes;
        props.append((4 - bytes.size() % 4) % 4, '\0');
        return Attribute(2, 0x00069005, props);
    }
    const std::string& Bytes() const { return m_bytes; }

private:
    std::string m_bytes;
};

}  // namespace test
