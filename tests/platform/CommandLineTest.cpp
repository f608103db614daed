#include "platform/Process.h"

#include <gtest/gtest.h>

namespace {

using Arguments = std::vector<std::string>;

TEST(CommandLine, SplitsByTheRuntimeRules) {
    EXPECT_EQ(platform::SplitCommandLine("\"C:\\a b\\scan.exe\" \"C:\\data\\scanvirus\""),
              (Arguments{"C:\\a b\\scan.exe", "C:\\data\\scanvirus"}));
    EXPECT_EQ(platform::SplitCommandLine("  a\tb  "), (Arguments{"a", "b"}));
    EXPECT_EQ(platform::SplitCommandLine("a\\\\\"b c\""), (Arguments{"a\\b c"}));
    EXPECT_EQ(platform::SplitCommandLine("a\\\"b"), (Arguments{"a\"b"}));
    EXPECT_EQ(platform::SplitCommandLine("a\\b"), (Arguments{"a\\b"}));
    EXPECT_EQ(platform::SplitCommandLine(""), Arguments{});
}

TEST(CommandLine, TrailByte5CBeforeAQuoteDoesNotEscapeIt) {
    // "C:\表" quoted: the last byte of 表 is 0x5C, right before the closing quote.
    EXPECT_EQ(platform::SplitCommandLine("\"x.exe\" \"C:\\表\" next"),
              (Arguments{"x.exe", "C:\\表", "next"}));
}

}  // namespace
