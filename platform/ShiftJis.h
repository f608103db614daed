#pragma once

// The program's one rule for scanning Shift_JIS (code page 932) text.
//
// A lead byte (0x81-0x9F, 0xE0-0xFC) forms a double-byte character only when the next byte
// is a valid trail byte (0x40-0x7E, 0x80-0xFC); otherwise it stands alone. A trail byte is
// never taken for an ASCII character, so the 0x5C in "表" is not a backslash. Text that is
// not Shift_JIS at all (raw UTF-8 in a header, say) therefore cannot hide a dot, a quote or
// a backslash behind a stray lead byte.

#include <cstddef>
#include <string>
#include <string_view>

namespace sjis {

constexpr bool IsLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

constexpr bool IsTrailByte(unsigned char c) {
    return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC);
}

// Length in bytes (1 or 2) of the character that starts at text[pos].
inline std::size_t CharLength(std::string_view text, std::size_t pos) {
    if (pos + 1 < text.size() && IsLeadByte(static_cast<unsigned char>(text[pos])) &&
        IsTrailByte(static_cast<unsigned char>(text[pos + 1]))) {
        return 2;
    }
    return 1;
}

// Position of the last single-byte character of text that is one of chars, or npos.
std::size_t FindLastOf(std::string_view text, std::string_view chars);

// Position of the first single-byte character of text, at or after from, that is one of
// chars, or npos. from must be a character boundary.
std::size_t FindFirstOf(std::string_view text, std::string_view chars, std::size_t from = 0);

// Converts the ASCII letters of text to lower case and leaves every other byte, including
// both bytes of every double-byte character, as it is.
std::string ToLowerAscii(std::string_view text);

// Compares two texts without regard to the case of ASCII letters.
bool EqualsNoCase(std::string_view a, std::string_view b);

// Case-insensitive and case-sensitive searches for a text inside another. A match starts
// only at a character boundary and goes character by character, so a trail byte is never
// matched as a letter or a sign, and ASCII letters fold only where they stand alone.
// from must be a character boundary.
bool StartsWithNoCase(std::string_view text, std::string_view prefix);
std::size_t FindNoCase(std::string_view text, std::string_view needle, std::size_t from = 0);
std::size_t Find(std::string_view text, std::string_view needle, std::size_t from = 0);

}  // namespace sjis
