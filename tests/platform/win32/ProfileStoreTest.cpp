// What only the registry can hold: values of other registry types.

#include "platform/Profile.h"
#include "platform/Text.h"
#include "platform/detail/SandboxState.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

std::wstring Wide(const std::string& sjis) {
    const std::string utf8 = platform::ShiftJisToUtf8(sjis);
    std::wstring wide(utf8.size(), L'\0');
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                           wide.data(), static_cast<int>(wide.size()));
    wide.resize(static_cast<std::size_t>(length));
    return wide;
}

TEST(ProfileRegistry, ValuesLiveUnderTheFullWidthKeyAndForeignTypesReadAsDefaults) {
    platform::Profile profile("Tevo Software Development", "Morveｋ Attachment Extractor");
    ASSERT_TRUE(profile.WriteInt("Settings", "SCAN_VIRUS", 0));

    const std::wstring keyName = Wide("Software\\" + platform::detail::SandboxStoreName() +
                                      "\\Tevo Software Development\\Morveｋ Attachment "
                                      "Extractor\\Settings");
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, keyName.c_str(), 0, KEY_ALL_ACCESS, &key),
              ERROR_SUCCESS);
    DWORD type = 0, value = 99, size = sizeof value;
    EXPECT_EQ(RegQueryValueExW(key, L"SCAN_VIRUS", nullptr, &type, reinterpret_cast<BYTE*>(&value),
                               &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(value, 0u);

    const unsigned long long big = 0x100000001ull;
    RegSetValueExW(key, L"TOO_BIG", 0, REG_QWORD, reinterpret_cast<const BYTE*>(&big), sizeof big);
    const BYTE two[2] = {1, 0};
    RegSetValueExW(key, L"TOO_SMALL", 0, REG_BINARY, two, sizeof two);
    const wchar_t text[] = L"%TEMP%";
    RegSetValueExW(key, L"EXPANDABLE", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(text),
                   sizeof text);
    RegCloseKey(key);

    EXPECT_EQ(profile.ReadInt("Settings", "TOO_BIG", -1), -1);
    EXPECT_EQ(profile.ReadInt("Settings", "TOO_SMALL", -1), -1);
    EXPECT_EQ(profile.ReadString("Settings", "EXPANDABLE", "default"), "default");
}

}  // namespace
