#include "platform/detail/Wildcard.h"

#include "platform/ShiftJis.h"

namespace platform::detail {

namespace {

bool SameChar(std::string_view a, std::string_view b) {
    return sjis::EqualsNoCase(a, b);
}

}  // namespace

bool MatchesWildcard(std::string_view name, std::string_view pattern) {
    if (pattern == "*.*") {
        return true;
    }
    // Iterative glob match with one backtracking point for the last "*".
    std::size_t n = 0, p = 0;
    std::size_t starPattern = std::string_view::npos, starName = 0;
    while (n < name.size()) {
        const std::size_t nameLength = sjis::CharLength(name, n);
        if (p < pattern.size()) {
            const std::size_t patternLength = sjis::CharLength(pattern, p);
            if (patternLength == 1 && pattern[p] == '*') {
                starPattern = ++p;
                starName = n;
                continue;
            }
            if ((patternLength == 1 && pattern[p] == '?') ||
                SameChar(name.substr(n, nameLength), pattern.substr(p, patternLength))) {
                n += nameLength;
                p += patternLength;
                continue;
            }
        }
        if (starPattern == std::string_view::npos) {
            return false;
        }
        p = starPattern;
        starName += sjis::CharLength(name, starName);
        n = starName;
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

}  // namespace platform::detail
