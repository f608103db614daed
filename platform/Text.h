#pragma once

// Conversions between the program's Shift_JIS text and UTF-8, for consoles, logs and tests.
// Bytes that are not Shift_JIS survive the round trip.

#include <string>

namespace platform {

std::string ShiftJisToUtf8(const std::string& text);
std::string Utf8ToShiftJis(const std::string& text);

}  // namespace platform
