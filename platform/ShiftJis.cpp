#include "platform/ShiftJis.h"

namespace sjis {

std::size_t FindLastOf(std::string_view text, std::string_view chars) {
    std::size_t found = std::string_view::npos;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = CharLength(text, pos);
        if (length == 1 && chars.find(text[pos]) != std::string_view::npos) {
            found = pos;
        }
        pos += length;
    }
    return found;
}

std::size_t FindFirstOf(std::string_view text, std::string_view chars, std::size_t from) {
    for (std::size_t pos = from; pos < text.size();) {
        const std::size_t length = CharLength(text, pos);
        if (length == 1 && chars.find(text[pos]) != std::string_view::npos) {
            return pos;
        }
        pos += length;
    }
    return std::string_view::npos;
}

std::string ToLowerAscii(std::string_view text) {
    std::string result(text);
    for (std::size_t pos = 0; pos < result.size();) {
        const std::size_t length = CharLength(result, pos);
        if (length == 1 && result[pos] >= 'A' && result[pos] <= 'Z') {
            result[pos] = static_cast<char>(result[pos] - 'A' + 'a');
        }
        pos += length;
    }
    return result;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && ToLowerAscii(a) == ToLowerAscii(b);
}

}  // namespace sjis
