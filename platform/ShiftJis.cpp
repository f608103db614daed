#include "platform/ShiftJis.h"

#include <algorithm>

namespace sjis {

namespace {

char FoldAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Whether needle matches text at pos, character by character: both sides must split into
// characters of the same lengths, and only single-byte characters fold.
bool MatchesAt(std::string_view text, std::size_t pos, std::string_view needle, bool noCase) {
    if (needle.size() > text.size() - pos) {
        return false;
    }
    for (std::size_t at = 0; at < needle.size();) {
        const std::size_t length = CharLength(needle, at);
        if (CharLength(text, pos + at) != length) {
            return false;
        }
        if (length == 1) {
            const char a = text[pos + at];
            const char b = needle[at];
            if (noCase ? FoldAscii(a) != FoldAscii(b) : a != b) {
                return false;
            }
        } else if (text.compare(pos + at, 2, needle, at, 2) != 0) {
            return false;
        }
        at += length;
    }
    return true;
}

std::size_t FindFrom(std::string_view text, std::string_view needle, std::size_t from,
                     bool noCase) {
    for (std::size_t pos = from; pos <= text.size();) {
        if (MatchesAt(text, pos, needle, noCase)) {
            return pos;
        }
        if (pos == text.size()) {
            break;
        }
        pos += CharLength(text, pos);
    }
    return std::string_view::npos;
}

// Whether every one of chars lies below the trail bytes (0x40): such a byte is never part
// of a double-byte character (no lead byte lies there either), so a plain byte search finds
// exactly the characters.
bool BelowTrailBytes(std::string_view chars) {
    return std::all_of(chars.begin(), chars.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x40; });
}

}  // namespace

std::size_t FindLastOf(std::string_view text, std::string_view chars) {
    if (BelowTrailBytes(chars)) {
        return text.find_last_of(chars);
    }
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
    if (BelowTrailBytes(chars)) {
        return text.find_first_of(chars, from);
    }
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

// Folding changes only single-byte letters, which are never lead bytes: two texts of one
// length that fold alike split into the same characters, so they match character by
// character.
bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && MatchesAt(a, 0, b, true);
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return MatchesAt(text, 0, prefix, true);
}

std::size_t FindNoCase(std::string_view text, std::string_view needle, std::size_t from) {
    return FindFrom(text, needle, from, true);
}

std::size_t Find(std::string_view text, std::string_view needle, std::size_t from) {
    return FindFrom(text, needle, from, false);
}

}  // namespace sjis
