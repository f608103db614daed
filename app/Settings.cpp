#include "app/Settings.h"

#include "app/AppStrings.h"
#include "app/FilePath.h"

platform::Profile ApplicationProfile() {
    return platform::Profile(app::kRegistryRoot, app::kAppTitle);
}

CSettings::CSettings() : m_profile(ApplicationProfile()) {}

CSettings::CSettings(platform::Profile profile) : m_profile(std::move(profile)) {}

bool CSettings::GetExitOnCloseList() const {
    return m_profile.ReadInt(settings::kSection, settings::kExitOnCloseList, 0) != 0;
}

bool CSettings::GetScanVirus() const {
    return m_profile.ReadInt(settings::kSection, settings::kScanVirus, 1) != 0;
}

std::string CSettings::GetVirusScanExeName() const {
    return m_profile.ReadString(settings::kSection, settings::kVirusScanExeName, "");
}

int CSettings::GetVirusScanApp() const {
    return m_profile.ReadInt(settings::kSection, settings::kVirusScanApp, settings::kNoScanApp);
}

bool CSettings::GetUseUnsendMailFunc() const {
    return m_profile.ReadInt(settings::kSection, settings::kUseUnsendMailFunc, 0) != 0;
}

bool CSettings::GetKeepUncheckableArchives() const {
    return m_profile.ReadInt(settings::kSection, settings::kKeepUncheckableArchives, 0) != 0;
}

std::string CSettings::GetScannerToRun() const {
    if (!GetScanVirus()) {
        return {};
    }
    const std::string program = GetVirusScanExeName();
    if (program.empty() || !CFilePath(program).Exists()) {
        return {};
    }
    return program;
}

SettingsValues CSettings::Read() const {
    return {GetExitOnCloseList(), GetVirusScanExeName(), GetScanVirus(), GetVirusScanApp(),
            GetUseUnsendMailFunc(), GetKeepUncheckableArchives()};
}

void CSettings::Write(const SettingsValues& values) {
    m_profile.WriteInt(settings::kSection, settings::kExitOnCloseList,
                       values.exitOnCloseList ? 1 : 0);
    m_profile.WriteString(settings::kSection, settings::kVirusScanExeName, values.virusScanExeName);
    m_profile.WriteInt(settings::kSection, settings::kScanVirus, values.scanVirus ? 1 : 0);
    m_profile.WriteInt(settings::kSection, settings::kVirusScanApp, values.virusScanApp);
    m_profile.WriteInt(settings::kSection, settings::kUseUnsendMailFunc,
                       values.useUnsendMailFunc ? 1 : 0);
    m_profile.WriteInt(settings::kSection, settings::kKeepUncheckableArchives,
                       values.keepUncheckableArchives ? 1 : 0);
}
