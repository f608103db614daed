#pragma once

// The application profile: per-user integer and string values, grouped in sections.
//
// On Windows it is the registry key HKEY_CURRENT_USER\Software\<company>\<application>,
// with one subkey per section. Elsewhere it is a text file under the user's configuration
// folder. A value that is missing, of another type, or too large for 32 bits reads as the
// caller's default.

#include <string>

namespace platform {

class Profile {
public:
    Profile(std::string company, std::string application);

    int ReadInt(const std::string& section, const std::string& key, int defaultValue) const;
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultValue) const;

    // Store a value, creating the section as needed; false when it could not be stored.
    bool WriteInt(const std::string& section, const std::string& key, int value);
    bool WriteString(const std::string& section, const std::string& key, const std::string& value);

    const std::string& Company() const { return m_strCompany; }
    const std::string& Application() const { return m_strApplication; }

private:
    std::string m_strCompany;
    std::string m_strApplication;
};

}  // namespace platform
