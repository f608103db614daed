#pragma once

// Base64 arithmetic. No state is kept between calls.
//
// Decoding follows RFC 2045 and forgives what real mail gets wrong: bytes outside the
// alphabet are skipped; "=" ends a group of two or three characters (which gives one or two
// bytes) and decoding goes on with the next group, so "QQ==QkM=" is "ABC"; a last group of
// two or three characters without its padding gives its one or two bytes; a lone last
// character gives nothing.

#include <cstddef>
#include <string>
#include <string_view>

class CBase64Decoder {
public:
    virtual ~CBase64Decoder() = default;

    // The estimate of the decoded size: (length - 2 * CR LF pairs) / 4 * 3. Text shorter
    // than four bytes estimates 0, yet its one group still decodes to three bytes; size
    // output buffers with GetDecodedBound.
    std::size_t GetDecodedSize(const char* text, std::size_t length) const;

    // The most bytes Decode can write for text of this length.
    static std::size_t GetDecodedBound(std::size_t length);

    // Decodes text into out, which must hold GetDecodedBound(length) bytes, and returns the
    // number of bytes written.
    std::size_t Decode(const char* text, std::size_t length, unsigned char* out) const;

    // Decodes the whole groups of text (see GetWholeGroupLength) into out, which must hold
    // GetDecodedBound(length) bytes; count is the number of bytes written. Returns the
    // length of text decoded.
    std::size_t DecodeWholeGroups(const char* text, std::size_t length, unsigned char* out,
                                  std::size_t& count) const;

    // The length of the part of text that Decode turns into finished groups. What follows
    // it (an unfinished group) must be decoded together with the text that comes after it.
    // Decoding the first part on its own gives exactly what Decode of the whole text gives
    // for those groups.
    std::size_t GetWholeGroupLength(const char* text, std::size_t length) const;

    // The base64 value of a byte, or -1 when it is outside the alphabet.
    static int AlphabetValue(unsigned char c);
};
