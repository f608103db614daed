#include "platform/Shell.h"

#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

namespace {

TEST(Shell, OpeningAMissingFileFails) {
    test::ScratchFolder scratch;
    EXPECT_FALSE(platform::ShellOpen(scratch / "missing.txt"));
}

}  // namespace
