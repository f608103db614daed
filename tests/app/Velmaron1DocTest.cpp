#include "app/Velmaron1Doc.h"

#include <gtest/gtest.h>

namespace {

// Closing the application asks whether to save a modified document; this one never is.
TEST(Velmaron1Doc, IsNewAndNeverModified) {
    CVelmaron1Doc document;
    EXPECT_TRUE(document.OnNewDocument());
    EXPECT_FALSE(document.IsModified());
}

}  // namespace
