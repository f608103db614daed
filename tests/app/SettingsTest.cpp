#include "app/Settings.h"

#include "app/AppStrings.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

namespace {

// Each test starts from a profile nobody wrote to.
class SettingsTest : public ::testing::Test {
protected:
    SettingsTest() : m_settings(platform::Profile(app::kRegistryRoot, UniqueApplication())) {}

    static std::string UniqueApplication() {
        static int count = 0;
        return std::string(app::kAppTitle) + " " + std::to_string(++count);
    }

    CSettings m_settings;
};

TEST_F(SettingsTest, FirstStartDefaults) {
    const SettingsValues values = m_settings.Read();
    EXPECT_FALSE(values.exitOnCloseList);
    EXPECT_TRUE(values.scanVirus);
    EXPECT_EQ(values.virusScanExeName, "");
    EXPECT_EQ(values.virusScanApp, settings::kNoScanApp);
    EXPECT_FALSE(values.useUnsendMailFunc);
    EXPECT_FALSE(values.keepUncheckableArchives);
    EXPECT_FALSE(m_settings.GetKeepUncheckableArchives());
    // Scanning is on, but no program is named: nothing runs.
    EXPECT_EQ(m_settings.GetScannerToRun(), "");
}

TEST_F(SettingsTest, WrittenValuesAreReadBackAtOnce) {
    SettingsValues values;
    values.exitOnCloseList = true;
    values.virusScanExeName = "C:\\Program Files\\ウィルス対策\\表.exe";
    values.scanVirus = false;
    values.virusScanApp = settings::kVirusChaser;
    values.useUnsendMailFunc = true;
    values.keepUncheckableArchives = true;
    m_settings.Write(values);
    const SettingsValues read = m_settings.Read();
    EXPECT_TRUE(read.exitOnCloseList);
    EXPECT_EQ(read.virusScanExeName, values.virusScanExeName);
    EXPECT_FALSE(read.scanVirus);
    EXPECT_EQ(read.virusScanApp, settings::kVirusChaser);
    EXPECT_TRUE(read.useUnsendMailFunc);
    EXPECT_TRUE(read.keepUncheckableArchives);
    EXPECT_TRUE(m_settings.GetKeepUncheckableArchives());
}

TEST_F(SettingsTest, TheScannerRunsOnlyWhenOnNamedAndPresent) {
    test::ScratchFolder scratch;
    const std::string program = scratch / "scanner.exe";
    test::WriteFile(program, "");
    struct Case {
        bool scan;
        std::string name;
        bool runs;
    };
    const Case cases[] = {
        {true, program, true},
        {false, program, false},
        {true, "", false},
        {true, scratch / "deleted.exe", false},
    };
    for (const Case& c : cases) {
        SettingsValues values;
        values.scanVirus = c.scan;
        values.virusScanExeName = c.name;
        m_settings.Write(values);
        EXPECT_EQ(m_settings.GetScannerToRun(), c.runs ? program : "") << c.name;
    }
}

TEST(ApplicationProfile, IsTheCompanyAndTitleKey) {
    const platform::Profile profile = ApplicationProfile();
    EXPECT_EQ(profile.Company(), "Tevo Software Development");
    EXPECT_EQ(profile.Application(), "Morve\x82\x8B Attachment Extractor");
}

}  // namespace
