#pragma once

// Header text as the program shows and stores it: Shift_JIS (code page 932), converted the
// same way in every build from the character sets mail is written in.
//
//  - Encoded words ("=?charset?B?...?=" and "?Q?"), charset names in any letter case and
//    with an optional "*language"; adjacent words (only white space between them) lose
//    that white space, and adjacent words of one charset are converted together, so a
//    character split between two words survives. A word in a charset the program does not
//    know, or one that is malformed, stays as written.
//  - Raw text outside encoded words: with an ISO-2022-JP escape sequence it is converted
//    from ISO-2022-JP; 8-bit text that is well-formed UTF-8 is converted from UTF-8; any
//    other text is taken as Shift_JIS already.
//
// Unicode text is composed (the canonical compositions of NFC, so "タ" + U+3099 is "ダ")
// before it becomes code page 932. A character that code page 932 cannot hold becomes "?";
// the Japanese characters with two Unicode forms (U+301C and U+FF5E, U+2212 and U+FF0D,
// U+2014 and U+2015, U+2016 and U+2225, and the signs ¢ £ ¬ ¥ with their full-width
// forms) map to their code page 932 character whichever form is used. There is no
// "best fit": "é" is "?", "¥" is the full-width yen, never a backslash.

#include <string>
#include <string_view>

namespace engine {

// The known character sets.
enum class Charset {
    Unknown,
    Utf8,       // also US-ASCII
    ShiftJis,   // Shift_JIS and code page 932: taken as it is
    EucJp,
    Iso2022Jp,  // every ISO-2022-JP variant
    SingleByte, // ISO-8859-x, windows-125x, KOI8
};

// Converts bytes in the named charset to Shift_JIS. False, with out untouched, when the
// charset is not known.
bool ConvertToShiftJis(std::string_view charsetName, std::string_view bytes, std::string& out);

// Converts raw header text (no encoded words) by the rule above: ISO-2022-JP when it holds
// an escape sequence, UTF-8 when it is well-formed UTF-8 with 8-bit bytes, otherwise as it
// is.
std::string ConvertRawHeaderText(std::string_view raw);

// The whole header-text rule: raw text converted, then encoded words decoded.
std::string DecodeHeaderText(std::string_view raw);

// Decodes the RFC 2047 B or Q text of an encoded word into bytes; false when malformed.
bool DecodeEncodedText(char encoding, std::string_view text, std::string& bytes);

}  // namespace engine
