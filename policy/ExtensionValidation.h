#pragma once

// The checks on an extension that the user types into one of the two entry dialogs.

#include <string>
#include <string_view>

enum class ExtensionListKind {
    Allowed,     // may not take a dangerous extension
    Prohibited,  // may not take an extension that is never prohibited
};

// The four refusals. The entry dialog shows the one it gets, in a message box with an OK
// button and the application title, and stays open.
inline constexpr char kNoExtensionMessage[] = "拡張子が指定されていません。";
// It names fewer characters than the check refuses; the text is shown as it is.
inline constexpr char kInvalidCharacterMessage[] =
    "拡張子に無効な文字が含まれています。\\./:*?\"<>|は使えません。";
inline constexpr char kFullWidthMessage[] = "拡張子に全角文字が含まれています。";
inline constexpr char kProtectedExtensionMessage[] =
    "指定された拡張子は、システム保護のため追加できません。";

struct ExtensionValidation {
    bool bValid = false;
    std::string strExtension;  // valid: the trimmed, lower-case extension
    std::string strMessage;    // not valid: the message that refuses the text
};

// Checks text as a new entry of a list of the given kind: it is trimmed of single-byte white
// space, must not be empty, must hold none of \ . / : * ? " < > | CR LF tab and comma,
// is lower-cased, must hold no double-byte character, and must not be in the set that
// guards that kind of list. The first failing check gives the message.
ExtensionValidation ValidateNewExtension(ExtensionListKind kind, std::string_view text);
