// A small BER reader for the CMS structures of S/MIME: just the elements on the path to
// the encapsulated content.

#include "engine/codec/Cms.h"

#include <cstddef>
#include <cstdint>

namespace engine::cms {

namespace {

// Nesting deeper than this is no S/MIME message; it also bounds the reader's recursion.
constexpr int kMaxDepth = 48;

constexpr std::uint8_t kSequence = 0x30;
constexpr std::uint8_t kSet = 0x31;
constexpr std::uint8_t kOid = 0x06;
constexpr std::uint8_t kInteger = 0x02;
constexpr std::uint8_t kOctetString = 0x04;
constexpr std::uint8_t kConstructed = 0x20;
constexpr std::uint8_t kContext0 = 0xA0;  // [0], constructed

// The content types, as the bytes of their object identifiers.
constexpr std::string_view kSignedDataOid("\x2A\x86\x48\x86\xF7\x0D\x01\x07\x02", 9);
constexpr std::string_view kEnvelopedDataOid("\x2A\x86\x48\x86\xF7\x0D\x01\x07\x03", 9);
constexpr std::string_view kAuthEnvelopedDataOid("\x2A\x86\x48\x86\xF7\x0D\x01\x09\x10\x01\x17",
                                                 11);

// One element: its identifier octet (tags above 30 keep their first octet, 0x1F in the
// low bits), where its content lies and where the element ends. An indefinite-length
// element's content runs up to its end-of-contents octets.
struct Element {
    std::uint8_t identifier = 0;
    std::size_t contentStart = 0;
    std::size_t contentEnd = 0;
    std::size_t end = 0;
};

// Reads the element at pos within [pos, limit); false when it is malformed or runs past
// the limit.
bool ReadElement(std::string_view data, std::size_t pos, std::size_t limit, int depth,
                 Element& element) {
    if (depth > kMaxDepth || pos >= limit) {
        return false;
    }
    element.identifier = static_cast<std::uint8_t>(data[pos++]);
    if ((element.identifier & 0x1F) == 0x1F) {
        // A tag number in base-128 octets; no element of the path has one, it is only
        // stepped over.
        int octets = 0;
        while (pos < limit && (static_cast<std::uint8_t>(data[pos]) & 0x80) != 0) {
            ++pos;
            if (++octets > 4) {
                return false;
            }
        }
        if (pos >= limit) {
            return false;
        }
        ++pos;
    }
    if (pos >= limit) {
        return false;
    }
    const auto first = static_cast<std::uint8_t>(data[pos++]);
    if (first == 0x80) {
        // Indefinite length: constructed only; the children up to the two zero octets.
        if ((element.identifier & kConstructed) == 0) {
            return false;
        }
        element.contentStart = pos;
        while (true) {
            if (pos + 2 <= limit && data[pos] == 0 && data[pos + 1] == 0) {
                element.contentEnd = pos;
                element.end = pos + 2;
                return true;
            }
            Element child;
            if (!ReadElement(data, pos, limit, depth + 1, child)) {
                return false;
            }
            pos = child.end;
        }
    }
    std::size_t length = 0;
    if (first < 0x80) {
        length = first;
    } else {
        const int octets = first & 0x7F;
        if (octets > 4 || limit - pos < static_cast<std::size_t>(octets)) {
            return false;
        }
        for (int i = 0; i < octets; ++i) {
            length = length << 8 | static_cast<std::uint8_t>(data[pos++]);
        }
    }
    if (length > limit - pos) {
        return false;
    }
    element.contentStart = pos;
    element.contentEnd = pos + length;
    element.end = pos + length;
    return true;
}

// The children of a constructed element, one at a time.
class CChildren {
public:
    CChildren(std::string_view data, const Element& parent, int depth)
        : m_data(data), m_pos(parent.contentStart), m_end(parent.contentEnd), m_depth(depth) {}

    // The next child; false at the end or when it is malformed.
    bool Next(Element& child) {
        if (m_pos >= m_end || !ReadElement(m_data, m_pos, m_end, m_depth + 1, child)) {
            return false;
        }
        m_pos = child.end;
        return true;
    }

private:
    std::string_view m_data;
    std::size_t m_pos;
    std::size_t m_end;
    int m_depth;
};

std::string_view ContentOf(std::string_view data, const Element& element) {
    return data.substr(element.contentStart, element.contentEnd - element.contentStart);
}

// Appends an OCTET STRING's bytes: a primitive one's content, a constructed one's pieces.
bool CollectOctets(std::string_view data, const Element& element, int depth, std::string& out) {
    if (element.identifier == kOctetString) {
        out.append(ContentOf(data, element));
        return true;
    }
    if (element.identifier != (kOctetString | kConstructed) || depth > kMaxDepth) {
        return false;
    }
    CChildren pieces(data, element, depth);
    Element piece;
    while (pieces.Next(piece)) {
        if (!CollectOctets(data, piece, depth + 1, out)) {
            return false;
        }
    }
    return true;
}

// SignedData ::= SEQUENCE { version, digestAlgorithms SET, encapContentInfo, ... }
// EncapsulatedContentInfo ::= SEQUENCE { eContentType OID, eContent [0] EXPLICIT OCTET STRING
// OPTIONAL }
bool ReadSignedData(std::string_view data, const Element& signedData, std::string& content,
                    bool& hasContent) {
    CChildren fields(data, signedData, 2);
    Element version, digestAlgorithms, encapsulated;
    if (!fields.Next(version) || version.identifier != kInteger ||
        !fields.Next(digestAlgorithms) || digestAlgorithms.identifier != kSet ||
        !fields.Next(encapsulated) || encapsulated.identifier != kSequence) {
        return false;
    }
    CChildren encapsulatedFields(data, encapsulated, 3);
    Element type, explicitContent;
    if (!encapsulatedFields.Next(type) || type.identifier != kOid) {
        return false;
    }
    if (!encapsulatedFields.Next(explicitContent)) {
        hasContent = false;  // detached: the content travels beside the signature
        return true;
    }
    if (explicitContent.identifier != kContext0) {
        return false;
    }
    CChildren inner(data, explicitContent, 4);
    Element octets;
    if (!inner.Next(octets)) {
        return false;
    }
    std::string collected;
    if (!CollectOctets(data, octets, 5, collected)) {
        return false;
    }
    content = std::move(collected);
    hasContent = true;
    return true;
}

}  // namespace

Kind ReadContentInfo(std::string_view data, std::string& content, bool& hasContent) {
    content.clear();
    hasContent = false;
    // ContentInfo ::= SEQUENCE { contentType OID, content [0] EXPLICIT ANY }
    Element contentInfo;
    if (!ReadElement(data, 0, data.size(), 0, contentInfo) || contentInfo.identifier != kSequence) {
        return Kind::NotCms;
    }
    CChildren fields(data, contentInfo, 0);
    Element type;
    if (!fields.Next(type) || type.identifier != kOid) {
        return Kind::NotCms;
    }
    const std::string_view oid = ContentOf(data, type);
    if (oid == kEnvelopedDataOid || oid == kAuthEnvelopedDataOid) {
        return Kind::EnvelopedData;
    }
    if (oid != kSignedDataOid) {
        return Kind::Other;
    }
    Element explicitContent, signedData;
    if (!fields.Next(explicitContent) || explicitContent.identifier != kContext0) {
        return Kind::NotCms;
    }
    CChildren inner(data, explicitContent, 1);
    if (!inner.Next(signedData) || signedData.identifier != kSequence ||
        !ReadSignedData(data, signedData, content, hasContent)) {
        content.clear();
        hasContent = false;
        return Kind::NotCms;
    }
    return Kind::SignedData;
}

}  // namespace engine::cms
