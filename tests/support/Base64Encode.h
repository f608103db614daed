#pragma once

// An independent base64 encoder, for tests and fuzz targets that check the decoder, and a
// plain decoder for the samples tests keep in base64.

#include <string>
#include <string_view>

namespace test {

inline std::string Base64Encode(const std::string& bytes) {
    static const char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        unsigned bits = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size()) {
            bits |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        }
        if (i + 2 < bytes.size()) {
            bits |= static_cast<unsigned char>(bytes[i + 2]);
        }
        text += kAlphabet[bits >> 18 & 63];
        text += kAlphabet[bits >> 12 & 63];
        text += i + 1 < bytes.size() ? kAlphabet[bits >> 6 & 63] : '=';
        text += i + 2 < bytes.size() ? kAlphabet[bits & 63] : '=';
    }
    return text;
}

// The bytes of base64 text (characters outside the alphabet skipped, padding ends a group).
inline std::string Base64Decode(std::string_view text) {
    static const std::string kAlphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string bytes;
    unsigned bits = 0;
    int count = 0;
    for (const char c : text) {
        const std::size_t value = kAlphabet.find(c);
        if (c == '=') {
            count = 0;
            bits = 0;
        }
        if (value == std::string::npos) {
            continue;
        }
        bits = bits << 6 | static_cast<unsigned>(value);
        count += 6;
        if (count >= 8) {
            count -= 8;
            bytes += static_cast<char>(bits >> count & 0xFF);
        }
    }
    return bytes;
}

}  // namespace test
