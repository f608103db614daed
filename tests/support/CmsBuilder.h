#pragma once

// CMS SignedData and EnvelopedData built by hand for tests: the encapsulated content in DER,
// or in BER with indefinite lengths and the OCTET STRING cut into constructed pieces.

#include <cstddef>
#include <string>
#include <string_view>

namespace test {

// An element with a definite length (short or long form).
inline std::string DerElement(unsigned char identifier, std::string_view content) {
    std::string out(1, static_cast<char>(identifier));
    const std::size_t length = content.size();
    if (length < 0x80) {
        out += static_cast<char>(length);
    } else {
        std::string octets;
        for (std::size_t rest = length; rest > 0; rest >>= 8) {
            octets.insert(octets.begin(), static_cast<char>(rest & 0xFF));
        }
        out += static_cast<char>(0x80 | octets.size());
        out += octets;
    }
    out += content;
    return out;
}

// A constructed element with an indefinite length.
inline std::string BerElement(unsigned char identifier, std::string_view content) {
    return std::string(1, static_cast<char>(identifier)) + '\x80' + std::string(content) +
           std::string(2, '\0');
}

enum class CmsForm {
    Der,        // definite lengths, one OCTET STRING
    Pieces,     // indefinite lengths, the OCTET STRING in pieces of pieceSize bytes
    Detached,   // no encapsulated content
};

inline std::string SignedDataOf(std::string_view content, CmsForm form,
                                std::size_t pieceSize = 7) {
    const bool bBer = form == CmsForm::Pieces;
    const auto element = [&](unsigned char identifier, const std::string& inner) {
        return bBer && (identifier & 0x20) ? BerElement(identifier, inner)
                                           : DerElement(identifier, inner);
    };
    const std::string dataOid = DerElement(0x06, "\x2A\x86\x48\x86\xF7\x0D\x01\x07\x01");
    std::string octets;
    if (form == CmsForm::Pieces) {
        std::string pieces;
        for (std::size_t pos = 0; pos < content.size(); pos += pieceSize) {
            // Every third piece is itself cut in two, as BER allows.
            const std::string_view piece = content.substr(pos, pieceSize);
            if (pos / pieceSize % 3 == 2 && piece.size() > 1) {
                pieces += BerElement(0x24, DerElement(0x04, piece.substr(0, 1)) +
                                               DerElement(0x04, piece.substr(1)));
            } else {
                pieces += DerElement(0x04, piece);
            }
        }
        octets = BerElement(0x24, pieces);
    } else {
        octets = DerElement(0x04, content);
    }
    std::string encapsulated = dataOid;
    if (form != CmsForm::Detached) {
        encapsulated += element(0xA0, octets);
    }
    const std::string sha256 =
        DerElement(0x30, DerElement(0x06, "\x60\x86\x48\x01\x65\x03\x04\x02\x01") +
                             std::string("\x05\x00", 2));
    const std::string signedData =
        element(0x30, DerElement(0x02, "\x01") + element(0x31, sha256) +
                          element(0x30, encapsulated) + element(0x31, ""));
    return element(0x30, DerElement(0x06, "\x2A\x86\x48\x86\xF7\x0D\x01\x07\x02") +
                             element(0xA0, signedData));
}

inline std::string EnvelopedDataOf() {
    return DerElement(0x30, DerElement(0x06, "\x2A\x86\x48\x86\xF7\x0D\x01\x07\x03") +
                                DerElement(0xA0, DerElement(0x30, DerElement(0x02, std::string(1, '\0')))));
}

}  // namespace test
