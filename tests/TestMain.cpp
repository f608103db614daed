// Runs every test inside a sandbox: the application-data folder, the temporary path and
// the profile all point into one scratch folder, removed at the end.

#include "platform/Sandbox.h"
#include "platform/SpecialFolders.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

class SandboxEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        m_strRoot = test::MakeUniqueFolder(platform::TempPath(), "mvk");
        ASSERT_FALSE(m_strRoot.empty()) << "cannot create the scratch folder";
        platform::EnterSandbox(m_strRoot);
    }

    void TearDown() override {
        platform::LeaveSandbox();
        test::DeleteTree(m_strRoot);
    }

private:
    std::string m_strRoot;
};

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new SandboxEnvironment);
    return RUN_ALL_TESTS();
}
