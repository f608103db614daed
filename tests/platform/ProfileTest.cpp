// The contract of the profile, the same for the registry and the profile file.

#include "platform/Profile.h"

#include <gtest/gtest.h>

namespace {

using platform::Profile;

// The full-width "ｋ" is part of the key's name.
Profile TestProfile() {
    return Profile("Tevo Software Development", "Morveｋ Attachment Extractor");
}

TEST(Profile, MissingValuesReadAsTheirDefaults) {
    const Profile profile("Nobody", "Nothing");
    EXPECT_EQ(profile.ReadInt("Settings", "MISSING", -1), -1);
    EXPECT_EQ(profile.ReadString("Settings", "MISSING", "default"), "default");
}

TEST(Profile, ValuesRoundTrip) {
    Profile profile = TestProfile();
    for (int value : {0, 1, -1, 2147483647, -2147483647 - 1}) {
        ASSERT_TRUE(profile.WriteInt("Settings", "NUMBER", value));
        EXPECT_EQ(profile.ReadInt("Settings", "NUMBER", 12345), value);
    }
    for (const std::string value : {"", "C:\\Program Files\\Virus Chaser\\Scanner.exe",
                                    "C:\\ソフト\\表", "line\r\nbreak \\n", "ｋ"}) {
        ASSERT_TRUE(profile.WriteString("Settings", "TEXT", value));
        EXPECT_EQ(profile.ReadString("Settings", "TEXT", "default"), value);
    }
    // Another instance of the same profile sees what was stored.
    EXPECT_EQ(TestProfile().ReadString("Settings", "TEXT", ""), "ｋ");
}

TEST(Profile, AValueOfTheWrongTypeReadsAsTheDefault) {
    Profile profile = TestProfile();
    ASSERT_TRUE(profile.WriteString("Settings", "WAS_TEXT", "1"));
    EXPECT_EQ(profile.ReadInt("Settings", "WAS_TEXT", 7), 7);
    ASSERT_TRUE(profile.WriteInt("Settings", "WAS_NUMBER", 1));
    EXPECT_EQ(profile.ReadString("Settings", "WAS_NUMBER", "default"), "default");
}

TEST(Profile, NamesIgnoreCaseAndSectionsAreSeparate) {
    Profile profile = TestProfile();
    ASSERT_TRUE(profile.WriteInt("Settings", "SCAN_VIRUS", 0));
    ASSERT_TRUE(profile.WriteInt("Other", "SCAN_VIRUS", 5));
    EXPECT_EQ(profile.ReadInt("settings", "scan_virus", 1), 0);
    EXPECT_EQ(profile.ReadInt("Other", "SCAN_VIRUS", 1), 5);
    // The application name is part of the place: a name without the full-width letter is
    // another application.
    EXPECT_EQ(Profile("Tevo Software Development", "Morvek Attachment Extractor")
                  .ReadInt("Settings", "SCAN_VIRUS", 1),
              1);
}

}  // namespace
