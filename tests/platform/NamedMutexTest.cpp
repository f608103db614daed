#include "platform/NamedMutex.h"

#include "platform/detail/SandboxState.h"

#include <gtest/gtest.h>

namespace {

TEST(NamedMutex, TheSecondOpenerFindsTheFirst) {
    // A name of this test run only, so that a running program is not disturbed.
    const std::string name = "MORVEK_TEST_表_" + platform::detail::SandboxStoreName();
    {
        platform::NamedMutex first(name);
        ASSERT_TRUE(first.IsValid());
        EXPECT_FALSE(first.AlreadyExisted());
        platform::NamedMutex second(name);
        EXPECT_TRUE(second.AlreadyExisted());
    }
    platform::NamedMutex again(name);
    EXPECT_FALSE(again.AlreadyExisted());
}

}  // namespace
