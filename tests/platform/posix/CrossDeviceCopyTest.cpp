// Copies between two file systems, which the kernel's in-file-system copy refuses: the
// program copies messages from wherever they were dropped into its data folder.

#include "platform/File.h"
#include "platform/FileSystem.h"
#include "platform/posix/NativePath.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <string>

namespace {

using platform::posix::ToCorePath;
using platform::posix::ToNativePath;

dev_t DeviceOf(const std::string& nativePath) {
    struct stat st;
    return stat(nativePath.c_str(), &st) == 0 ? st.st_dev : 0;
}

TEST(CrossDeviceCopy, CopiesWholeBetweenFileSystemsAndWithinOne) {
    test::ScratchFolder scratch;
    const auto nativeScratch = ToNativePath(scratch.Path());
    ASSERT_TRUE(nativeScratch);
    const std::string other = "/dev/shm";
    const dev_t otherDevice = DeviceOf(other);
    if (otherDevice == 0 || otherDevice == DeviceOf(*nativeScratch) || access(other.c_str(), W_OK) != 0) {
        GTEST_SKIP() << "no writable /dev/shm on another file system than " << *nativeScratch;
    }
    const std::string elsewhere =
        test::MakeUniqueFolder(ToCorePath(other) + "\\", "morvek-copy-test");
    ASSERT_FALSE(elsewhere.empty());
    std::string data(200000, 'x');
    for (std::size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<char>(i % 253);
    }
    ASSERT_TRUE(platform::WriteWholeFile(scratch / "source", data));
    // Twice across (the second time the refusal is known), then within one file system.
    const std::string targets[] = {elsewhere + "\\first", elsewhere + "\\second",
                                   scratch / "same"};
    for (const std::string& target : targets) {
        SCOPED_TRACE(target);
        EXPECT_TRUE(platform::CopyFileTo(scratch / "source", target, true));
        std::string copied;
        ASSERT_TRUE(platform::ReadWholeFile(target, copied));
        EXPECT_TRUE(copied == data);
    }
    test::DeleteTree(elsewhere);
}

}  // namespace
