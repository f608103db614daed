#pragma once

#include <string_view>

namespace platform::detail {

// Matches a name against a Windows wildcard pattern: "*" any run of characters, "?" one
// character (double-byte characters count as one), ASCII letters without regard to case,
// and "*.*" every name.
bool MatchesWildcard(std::string_view name, std::string_view pattern);

}  // namespace platform::detail
