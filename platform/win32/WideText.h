#pragma once

// Shift_JIS (code page 932) to and from UTF-16, whatever the system's own code page is.
//
// A byte that is not part of a Shift_JIS character becomes U+F000 + byte (a private-use
// character) and turns back into that byte, so that every byte string, a name taken from
// a raw header included, has a distinct and reversible wide form. A wide character that code
// page 932 cannot hold becomes "?" (never a look-alike such as "e" for "é", or the
// backslash for "¥").

#include <string>
#include <string_view>

namespace platform::win32 {

std::wstring ToWide(std::string_view text);
std::string FromWide(std::wstring_view text);

}  // namespace platform::win32
