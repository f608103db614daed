#pragma once

// Base64 arithmetic and the JIS to Shift_JIS conversion of encoded words. No state is kept
// between calls.
//
// Decoding is deliberately forgiving: bytes outside the alphabet are skipped, and every
// "=" anywhere in the text counts as padding and shortens the result by one byte.

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

    // The most bytes Decode can write for text of this length: three for every whole
    // group, and three for a text shorter than one group.
    static std::size_t GetDecodedBound(std::size_t length);

    // Decodes text into out, which must hold GetDecodedBound(length) bytes, and returns the
    // number of valid bytes: the bytes written less one for each "=", never below 0. Groups
    // are read four characters at a time; a trailing group of fewer than four characters
    // is decoded only when it is the first.
    std::size_t Decode(const char* text, std::size_t length, unsigned char* out) const;

    // The length of the part of text that Decode turns into whole groups. What follows it
    // (an unfinished group, or fewer than four bytes) is not yet decodable and must be
    // decoded together with the text that comes after it. Decoding the first part on its
    // own gives exactly what Decode of the whole text gives for those groups.
    std::size_t GetWholeGroupLength(const char* text, std::size_t length) const;

    // Converts JIS text (ESC $ B switches to JIS X 0208, ESC ( B and ESC ( J back) to
    // Shift_JIS. The text ends at the first NUL. An LF not preceded by CR becomes CR LF. An
    // invalid two-byte code ends the converted text there.
    std::string JisToSjis(std::string_view jis) const;

    // The base64 value of a byte, or -1 when it is outside the alphabet.
    static int AlphabetValue(unsigned char c);
};
