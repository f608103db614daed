#include "policy/ExtensionValidation.h"

#include <gtest/gtest.h>

namespace {

constexpr auto kAllowed = ExtensionListKind::Allowed;
constexpr auto kProhibited = ExtensionListKind::Prohibited;

struct Case {
    ExtensionListKind kind;
    const char* text;
    const char* extension;  // nullptr when refused
    const char* message;
};

TEST(ExtensionValidation, ChecksInOrder) {
    const Case cases[] = {
        {kAllowed, "", nullptr, kNoExtensionMessage},
        {kAllowed, "   ", nullptr, kNoExtensionMessage},
        {kProhibited, " \t\r\n\v\f", nullptr, kNoExtensionMessage},
        {kAllowed, ".txt", nullptr, kInvalidCharacterMessage},
        {kAllowed, "t,xt", nullptr, kInvalidCharacterMessage},
        {kProhibited, "a\tb", nullptr, kInvalidCharacterMessage},
        {kProhibited, "a\nb", nullptr, kInvalidCharacterMessage},
        {kProhibited, "a\\b", nullptr, kInvalidCharacterMessage},
        {kProhibited, "\"", nullptr, kInvalidCharacterMessage},
        {kProhibited, "*.EXE", nullptr, kInvalidCharacterMessage},
        {kAllowed, "\x81.", nullptr, kInvalidCharacterMessage},  // a lead byte without trail
        {kAllowed, "ｔｘｔ", nullptr, kFullWidthMessage},
        {kAllowed, "表", nullptr, kFullWidthMessage},  // trail byte 0x5C is no backslash
        {kAllowed, "ソ|", nullptr, kInvalidCharacterMessage},
        {kAllowed, "　txt", nullptr, kFullWidthMessage},  // a full-width space stays
        {kAllowed, "a\x81", nullptr, kFullWidthMessage},
        {kAllowed, "EXE", nullptr, kProtectedExtensionMessage},
        {kAllowed, " Html ", nullptr, kProtectedExtensionMessage},
        {kProhibited, "TXT", nullptr, kProtectedExtensionMessage},
        {kProhibited, "Jpeg", nullptr, kProtectedExtensionMessage},
        {kProhibited, "png", nullptr, kProtectedExtensionMessage},
        {kProhibited, "zip", "zip", ""},
        {kProhibited, "exe", "exe", ""},
        {kProhibited, "tx", "tx", ""},
        {kAllowed, "\t ZIP \r\n", "zip", ""},
        {kAllowed, "txt", "txt", ""},
        {kAllowed, "ｱｲｳ", "ｱｲｳ", ""},  // half-width katakana are single bytes
        {kAllowed, "a b", "a b", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::string(c.text)));
        const ExtensionValidation result = ValidateNewExtension(c.kind, c.text);
        EXPECT_EQ(result.bValid, c.extension != nullptr);
        EXPECT_EQ(result.strExtension, c.extension ? c.extension : "");
        EXPECT_EQ(result.strMessage, c.message);
    }
}

TEST(ExtensionValidation, MessagesAreShiftJis) {
    // The invalid-characters message names one backslash and one double quote.
    const std::string message = kInvalidCharacterMessage;
    EXPECT_NE(message.find("。\\./:*?\"<>|は"), std::string::npos);
    EXPECT_EQ(std::string(kNoExtensionMessage).substr(0, 4), "\x8A\x67\x92\xA3");  // 拡張
}

}  // namespace
