#pragma once

// An independent base64 encoder, for tests and fuzz targets that check the decoder.

#include <string>

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

}  // namespace test
