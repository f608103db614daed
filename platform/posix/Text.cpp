#include "platform/Text.h"

#include "platform/posix/Cp932.h"

namespace platform {

std::string ShiftJisToUtf8(const std::string& text) {
    return posix::SjisToUtf8(text);
}

std::string Utf8ToShiftJis(const std::string& text) {
    return posix::Utf8ToSjis(text);
}

}  // namespace platform
