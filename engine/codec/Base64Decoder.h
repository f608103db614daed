#pragma once

// Base64 arithmetic. No state is kept between calls.
//
// Decoding follows RFC 2045 and forgives what real mail gets wrong: bytes outside the
// alphabet are skipped; "=" ends a group of two or three characters (which gives one or two
// bytes) and decoding goes on with the next group, so "QQ==QkM=" is "ABC"; a last group of
// two or three characters without its padding gives its one or two bytes; a lone last
// character gives nothing.

#include <cstddef>
#include <cstdint>
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

// Base64 text that arrives in pieces (the blocks of a message body), decoded as it comes:
// the bytes are those CBase64Decoder::Decode gives for all the pieces joined, however the
// text is cut. Blocks of 16 alphabet characters are decoded by the processor's vector unit
// where it has one (engine/vector/), whole groups of four by table; anything else (line
// ends, padding, stray bytes, a group cut by a piece's end) goes one character at a time.
class CBase64Stream {
public:
    // The room Decode needs in out for length characters: their bytes (with up to three
    // characters left over from the piece before, and a group of two characters and "="
    // giving a byte of its own), and the one byte past them that decoding a whole group
    // may write over.
    static std::size_t GetOutputSize(std::size_t length) { return (length + 3) / 4 * 3 + 2; }

    // Decodes the next piece into out, which must hold GetOutputSize(length) bytes; count
    // is the number of bytes decoded. Stops after a line end (LF) whose next byte is
    // lineStart, so that the caller can look at that line first; any other byte (the
    // default, NUL: none) never stops it. Returns the length of text consumed.
    std::size_t Decode(const char* text, std::size_t length, unsigned char* out, std::size_t& count,
                       char lineStart = '\0');

    // Ends the text: the one or two bytes of an unfinished last group of two or three
    // characters, put into out (three bytes of room); returns how many.
    std::size_t Finish(unsigned char* out);

    // Makes Decode return right after the "=" that ends a group, so that the caller can
    // look at what follows the padding (a body's data ends there unless more base64 text
    // follows).
    void StopAfterPadding() { m_bStopAfterPadding = true; }

    // Whether a group has ended with "=" so far.
    bool HasSeenPadding() const { return m_bPadded; }

private:
    std::uint32_t m_nBits = 0;  // the characters of the unfinished group, 6 bits each
    int m_nFilled = 0;          // how many there are (0 to 3)
    bool m_bStopAfterPadding = false;
    bool m_bPadded = false;
};
