#include "platform/Profile.h"

#include "platform/detail/SandboxState.h"
#include "platform/win32/ScopedHandle.h"
#include "platform/win32/WideText.h"

#include <windows.h>

#include <vector>

namespace platform {

namespace {

// The key under HKEY_CURRENT_USER that holds every company's settings; inside a sandbox,
// a scratch key of its own.
std::string SoftwareKey() {
    std::string key = "Software";
    if (!detail::SandboxFolder().empty()) {
        key += "\\" + detail::SandboxStoreName();
    }
    return key;
}

std::wstring SectionKey(const Profile& profile, const std::string& section) {
    return win32::ToWide(SoftwareKey() + "\\" + profile.Company() + "\\" + profile.Application() +
                         "\\" + section);
}

bool OpenSection(const Profile& profile, const std::string& section, win32::ScopedKey& key) {
    return RegOpenKeyExW(HKEY_CURRENT_USER, SectionKey(profile, section).c_str(), 0,
                         KEY_QUERY_VALUE, key.Receive()) == ERROR_SUCCESS;
}

bool CreateSection(const Profile& profile, const std::string& section, win32::ScopedKey& key) {
    return RegCreateKeyExW(HKEY_CURRENT_USER, SectionKey(profile, section).c_str(), 0, nullptr,
                           REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, key.Receive(),
                           nullptr) == ERROR_SUCCESS;
}

}  // namespace

Profile::Profile(std::string company, std::string application)
    : m_strCompany(std::move(company)), m_strApplication(std::move(application)) {}

int Profile::ReadInt(const std::string& section, const std::string& key, int defaultValue) const {
    win32::ScopedKey sectionKey;
    if (!OpenSection(*this, section, sectionKey)) {
        return defaultValue;
    }
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    // A value of another type, or larger than 32 bits, reads as the default.
    if (RegQueryValueExW(sectionKey.Get(), win32::ToWide(key).c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value) {
        return defaultValue;
    }
    return static_cast<int>(value);
}

std::string Profile::ReadString(const std::string& section, const std::string& key,
                                const std::string& defaultValue) const {
    win32::ScopedKey sectionKey;
    if (!OpenSection(*this, section, sectionKey)) {
        return defaultValue;
    }
    const std::wstring name = win32::ToWide(key);
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(sectionKey.Get(), name.c_str(), nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ) {
        return defaultValue;
    }
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    if (RegQueryValueExW(sectionKey.Get(), name.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS ||
        type != REG_SZ) {
        return defaultValue;
    }
    // The stored text may or may not end with its NUL.
    std::wstring text(buffer.data(), size / sizeof(wchar_t));
    const std::size_t end = text.find(L'\0');
    if (end != std::wstring::npos) {
        text.resize(end);
    }
    return win32::FromWide(text);
}

bool Profile::WriteInt(const std::string& section, const std::string& key, int value) {
    win32::ScopedKey sectionKey;
    const DWORD data = static_cast<DWORD>(value);
    return CreateSection(*this, section, sectionKey) &&
           RegSetValueExW(sectionKey.Get(), win32::ToWide(key).c_str(), 0, REG_DWORD,
                          reinterpret_cast<const BYTE*>(&data), sizeof data) == ERROR_SUCCESS;
}

bool Profile::WriteString(const std::string& section, const std::string& key,
                          const std::string& value) {
    if (value.find('\0') != std::string::npos) {
        return false;
    }
    win32::ScopedKey sectionKey;
    const std::wstring text = win32::ToWide(value);
    return CreateSection(*this, section, sectionKey) &&
           RegSetValueExW(sectionKey.Get(), win32::ToWide(key).c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

namespace detail {

void DeleteSandboxProfileStore() {
    const std::string store = SandboxStoreName();
    if (!store.empty()) {
        RegDeleteTreeW(HKEY_CURRENT_USER, win32::ToWide("Software\\" + store).c_str());
    }
}

}  // namespace detail

}  // namespace platform
