#include "policy/ExtensionValidation.h"

#include "platform/ShiftJis.h"
#include "policy/ExtensionPolicy.h"

#include <algorithm>

namespace {

ExtensionValidation Refuse(const char* message) {
    return {false, {}, message};
}

}  // namespace

ExtensionValidation ValidateNewExtension(ExtensionListKind kind, std::string_view text) {
    const std::string trimmed = TrimSpace(text);
    if (trimmed.empty()) {
        return Refuse(kNoExtensionMessage);
    }
    // The scan steps over double-byte characters: a trail byte equal to one of these codes
    // is not that character.
    if (sjis::FindFirstOf(trimmed, "\\./:*?\"<>|\r\n\t,") != std::string::npos) {
        return Refuse(kInvalidCharacterMessage);
    }
    const std::string lower = sjis::ToLowerAscii(trimmed);
    // Any lead byte counts, also one without a trail byte; half-width katakana are single
    // bytes and pass.
    if (std::any_of(lower.begin(), lower.end(),
                    [](char c) { return sjis::IsLeadByte(static_cast<unsigned char>(c)); })) {
        return Refuse(kFullWidthMessage);
    }
    const bool bProtected = kind == ExtensionListKind::Allowed ? IsDangerousExtension(lower)
                                                               : IsNeverProhibitedExtension(lower);
    if (bProtected) {
        return Refuse(kProtectedExtensionMessage);
    }
    return {true, lower, {}};
}
