#include "platform/posix/NativePath.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

using platform::posix::ToCorePath;
using platform::posix::ToNativePath;

std::string Utf8(const char8_t* text) {
    return reinterpret_cast<const char*>(text);
}

TEST(NativePath, DriveZIsTheNativeRoot) {
    EXPECT_EQ(ToNativePath("Z:\\tmp\\表\\ソ予.txt"), Utf8(u8"/tmp/表/ソ予.txt"));
    EXPECT_EQ(ToNativePath("z:/tmp//a\\"), "/tmp/a");
    EXPECT_EQ(ToNativePath("\\tmp"), "/tmp");
    EXPECT_EQ(ToNativePath("Z:\\"), "/");
    EXPECT_EQ(ToNativePath("sub\\file"), "sub/file");
    EXPECT_EQ(ToCorePath(Utf8(u8"/tmp/表/ソ予.txt")), "Z:\\tmp\\表\\ソ予.txt");
    EXPECT_EQ(ToCorePath("/"), "Z:\\");
    EXPECT_EQ(ToCorePath("sub/file"), "sub\\file");
}

TEST(NativePath, PlacesWithoutANativeFolderDoNotMap) {
    for (const std::string& path : std::vector<std::string>{"C:\\Windows", "\\\\server\\share\\x", "", "Z:\\a\\...\\b",
                                   std::string("Z:\\a\0b", 6)}) {
        EXPECT_FALSE(ToNativePath(path)) << path;
    }
}

TEST(NativePath, DotsResolveByTextAndNeverClimbAboveTheRoot) {
    EXPECT_EQ(ToNativePath("Z:\\a\\.\\b\\..\\c"), "/a/c");
    EXPECT_EQ(ToNativePath("Z:\\..\\..\\etc"), "/etc");
    EXPECT_EQ(ToNativePath("..\\x"), "../x");
    // ".." takes back a converted name (of any byte length) and nothing else.
    EXPECT_EQ(ToNativePath("Z:\\a\\表\\..\\..\\b"), "/b");
    EXPECT_EQ(ToNativePath("a\\..\\..\\表\\..\\b"), "../b");
    EXPECT_EQ(ToNativePath("a\\b\\..\\.."), ".");
    EXPECT_EQ(ToNativePath("Z:\\表\\.."), "/");
}

TEST(NativePath, EveryByteOfANameStaysInThatName) {
    // A lone lead byte, a raw UTF-8 name and a lead byte before a slash: each name converts
    // on its own, into characters that are never separators.
    const auto native = ToNativePath("Z:\\d\\\x81!\\\xE3\x83\x88.exe\\\x88/x");
    ASSERT_TRUE(native);
    EXPECT_EQ(ToCorePath(*native), "Z:\\d\\\x81!\\\xE3\x83\x88.exe\\\x88\\x");
    EXPECT_EQ(std::count(native->begin(), native->end(), '/'), 5);
}

}  // namespace
