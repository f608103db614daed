// What only a hand-edited profile file can hold: numbers too large for 32 bits, values
// without a type, lines that are not values.

#include "platform/File.h"
#include "platform/Profile.h"
#include "platform/detail/SandboxState.h"

#include <gtest/gtest.h>

namespace {

TEST(ProfileFile, DamagedOrForeignValuesReadAsDefaults) {
    platform::Profile profile("Tevo Software Development", "Morveｋ Attachment Extractor");
    ASSERT_TRUE(profile.WriteInt("Settings", "SCAN_VIRUS", 0));
    const std::string path = platform::detail::SandboxFolder() +
                             "\\Profile\\Tevo Software Development\\Morveｋ Attachment "
                             "Extractor.ini";
    std::string text;
    ASSERT_TRUE(platform::ReadWholeFile(path, text));
    EXPECT_NE(text.find("SCAN_VIRUS=dword:00000000"), std::string::npos) << text;

    ASSERT_TRUE(platform::WriteWholeFile(path,
                                         "garbage line\n"
                                         "[Settings]\n"
                                         "TOO_BIG=dword:100000001\n"
                                         "NOT_HEX=dword:0000000g\n"
                                         "UNTYPED=1\n"
                                         "GOOD=dword:0000002a\n"));
    EXPECT_EQ(profile.ReadInt("Settings", "TOO_BIG", -1), -1);
    EXPECT_EQ(profile.ReadInt("Settings", "NOT_HEX", -1), -1);
    EXPECT_EQ(profile.ReadInt("Settings", "UNTYPED", -1), -1);
    EXPECT_EQ(profile.ReadString("Settings", "UNTYPED", "default"), "default");
    EXPECT_EQ(profile.ReadInt("Settings", "GOOD", -1), 42);
}

}  // namespace
