#pragma once

// Code page 932 to and from UTF-8, with the table taken once from the C library's iconv.
//
// A byte that is not part of a Shift_JIS character becomes U+F000 + byte (a private-use
// character), and turns back into that byte, so that every byte string has a distinct,
// reversible UTF-8 form and no byte can become a "/" or a NUL.

#include <string>
#include <string_view>

namespace platform::posix {

std::string SjisToUtf8(std::string_view text);
void AppendSjisAsUtf8(std::string& out, std::string_view text);

// Characters that code page 932 lacks become "?", as on Windows.
std::string Utf8ToSjis(std::string_view text);

}  // namespace platform::posix
