#pragma once

// Text of Outlook items and TNEF streams as the program's Shift_JIS.
//
// Unicode text is converted character by character; a character that code page 932 does
// not hold becomes "?" (never a look-alike: "é" does not become "e", nor "¥" a backslash),
// so both builds give the same bytes. The Japanese characters that have two Unicode forms
// map to their code page 932 character whichever form was written.

#include <cstdint>
#include <string>
#include <string_view>

namespace engine {

// UTF-16LE text (a 001F property's bytes); it ends at the first NUL character.
std::string Utf16ToShiftJis(std::string_view utf16le);
std::string Utf16ToShiftJis(std::u16string_view text);

// 8-bit text (a 001E property or a TNEF title) in the given Windows code page; 0 means the
// code page is not known, and the text is taken as code page 932. It ends at the first NUL.
// Code pages: 932, 65001 (UTF-8), 1252, 28591, 51932 and 20932 (EUC-JP), 50220 to 50222
// (ISO-2022-JP); in any other, bytes above 0x7F become "?".
std::string CodePageToShiftJis(std::string_view text, std::uint32_t codePage);

}  // namespace engine
