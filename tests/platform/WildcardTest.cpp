#include "platform/detail/Wildcard.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    const char* name;
    const char* pattern;
    bool matches;
};

TEST(Wildcard, MatchesAsWindowsDoes) {
    const Case cases[] = {
        {"abc.att", "*.att", true},
        {"ABC.ATT", "*.att", true},
        {"abc.attx", "*.att", false},
        {"abc.att.txt", "*.att", false},
        {"noextension", "*.*", true},
        {".hidden", "*.*", true},
        {"表.att", "*.att", true},
        {"表", "?", true},
        {"表", "??", false},
        {"a.b", "a?b", true},
        {"message.eml", "m*e*l", true},
        {"", "*", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::detail::MatchesWildcard(c.name, c.pattern), c.matches)
            << c.name << " ~ " << c.pattern;
    }
}

}  // namespace
