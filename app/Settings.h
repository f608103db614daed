#pragma once

// The user settings, in the profile's "Settings" section. Every read asks the profile
// at that moment: nothing is cached, so a value saved by the settings dialog applies at
// its next read.

#include "platform/Profile.h"

#include <string>

namespace settings {
inline constexpr char kSection[] = "Settings";
inline constexpr char kExitOnCloseList[] = "EXIT_ON_CLOSE_LIST";
inline constexpr char kScanVirus[] = "SCAN_VIRUS";
inline constexpr char kVirusScanExeName[] = "VIRUS_SCAN_EXE_NAME";
inline constexpr char kVirusScanApp[] = "VIRUS_SCAN_APP";
inline constexpr char kUseUnsendMailFunc[] = "USE_UNSENDMAIL_FUNC";
// Archives that cannot be checked inside (encrypted, too large, damaged) are written
// instead of held.
inline constexpr char kKeepUncheckableArchives[] = "KEEP_UNCHECKABLE_ARCHIVES";

// VIRUS_SCAN_APP: the product chosen in the settings dialog.
inline constexpr int kNoScanApp = -1;
inline constexpr int kNortonAntiVirus = 0;
inline constexpr int kVirusChaser = 1;
inline constexpr int kMicrosoftDefender = 2;
}  // namespace settings

// The application's own profile.
platform::Profile ApplicationProfile();

struct SettingsValues {
    bool exitOnCloseList = false;
    std::string virusScanExeName;
    bool scanVirus = true;
    int virusScanApp = settings::kNoScanApp;
    bool useUnsendMailFunc = false;
    bool keepUncheckableArchives = false;
};

class CSettings {
public:
    CSettings();
    explicit CSettings(platform::Profile profile);

    bool GetExitOnCloseList() const;
    bool GetScanVirus() const;
    std::string GetVirusScanExeName() const;
    int GetVirusScanApp() const;
    bool GetUseUnsendMailFunc() const;
    bool GetKeepUncheckableArchives() const;

    // The antivirus program to run after an extraction: VIRUS_SCAN_EXE_NAME when
    // SCAN_VIRUS is on, the name is set and the file exists; otherwise empty (no scan).
    std::string GetScannerToRun() const;

    // Reads all the values.
    SettingsValues Read() const;

    // Writes all the values, in the order the settings dialog writes them.
    void Write(const SettingsValues& values);

private:
    platform::Profile m_profile;
};
