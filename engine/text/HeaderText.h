#pragma once

// Header text as the program shows and stores it: Shift_JIS (code page 932), converted the
// same way in every build from the character sets mail is written in.
//
//  - Encoded words ("=?charset?B?...?=" and "?Q?"), charset names in any letter case and
//    with an optional "*language"; adjacent words (only white space between them) lose
//    that white space, and adjacent words of one charset are converted together, so a
//    character split between two words survives. A word in a charset the program does not
//    know is read as UTF-8 when its bytes are well-formed UTF-8; otherwise it, like a
//    malformed word, stays as written.
//  - The character sets: UTF-8, UTF-7, UTF-16, Shift_JIS, EUC-JP, ISO-2022-JP (with the
//    JIS X 0212 of ISO-2022-JP-1/2), EUC-KR, GB2312/GBK/GB18030, Big5, ISO-8859-x,
//    windows-125x and KOI8. Kanji that code page 932 holds survive from any of them.
//  - Raw text outside encoded words: with an ISO-2022-JP escape sequence it is converted
//    from ISO-2022-JP. 8-bit text is read as the sender most likely meant it: as UTF-8
//    when it is well-formed UTF-8 of characters code page 932 holds (Japanese and Russian
//    names from webmail); otherwise as Shift_JIS when it is well-formed Shift_JIS of
//    defined characters outside the user-defined rows ("ﾃｽ.txt", which is also valid
//    UTF-8 but of "ý"), unless it is UTF-8 whose 8-bit characters are all accented Latin
//    letters beside ASCII letters ("ciële.txt", in Shift_JIS "ciﾃｫle.txt"); otherwise as
//    UTF-8 when well-formed at all; otherwise as windows-1252 (a German "Fr\xF6sche.txt").
//  - The result holds no C0 control characters: a tab becomes a space, and so does each
//    run of CR and LF (a subject written on two lines reads as one); the others go.
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
    Korean,     // EUC-KR, ks_c_5601-1987 and its Windows superset (code page 949)
    Chinese,    // GB2312, GBK, GB18030
    Big5,       // Big5 and code page 950
    Utf7,
    Utf16,      // with its byte order mark, big-endian without one
    Utf16Le,
    Utf16Be,
};

// Converts bytes in the named charset to Shift_JIS. False, with out untouched, when the
// charset is not known.
bool ConvertToShiftJis(std::string_view charsetName, std::string_view bytes, std::string& out);

// Converts raw header text (no encoded words) by the rule above (control characters stay).
std::string ConvertRawHeaderText(std::string_view raw);

// The whole header-text rule: raw text converted, then encoded words decoded, then the
// control characters dropped.
std::string DecodeHeaderText(std::string_view raw);

// Drops the C0 control characters of Shift_JIS text; a tab and each run of CR and LF become
// a space.
std::string DropControlCharacters(std::string text);

// Decodes the RFC 2047 B or Q text of an encoded word into bytes; false when malformed.
bool DecodeEncodedText(char encoding, std::string_view text, std::string& bytes);

}  // namespace engine
