#include "intake/FileGroupDescriptor.h"

#include "intake/DropDoubles.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

using Names = std::vector<std::string>;

TEST(FileGroupDescriptor, NamesEndAtTheirFirstZeroByte) {
    std::string block = test::DescriptorBlock({"first.eml", "予定表.eml", ""});
    // Bytes after a name's zero, and after the last descriptor, are not part of anything.
    block[4 + kFileDescriptorNameOffset + 20] = 'z';
    block += "trailing bytes of a rounded-up global block";
    Names names{"stale"};
    ASSERT_TRUE(ReadFileGroupDescriptor(block, names));
    EXPECT_EQ(names, (Names{"first.eml", "予定表.eml", ""}));
}

TEST(FileGroupDescriptor, ANameWithoutZeroEndsWithItsField) {
    // The name field is the last of a descriptor: a full one runs up to the next descriptor,
    // or to the end of the block.
    const std::string full = std::string(kFileDescriptorNameSize - 4, 'n') + ".eml";
    Names names;
    ASSERT_TRUE(ReadFileGroupDescriptor(test::DescriptorBlock({full, "next.eml"}), names));
    EXPECT_EQ(names, (Names{full, "next.eml"}));
    const std::string last = test::DescriptorBlock({full});
    ASSERT_EQ(last.size(), 4 + kFileDescriptorSize);
    ASSERT_TRUE(ReadFileGroupDescriptor(last, names));
    EXPECT_EQ(names, Names{full});
}

TEST(FileGroupDescriptor, TheCountMustFitTheBlock) {
    const std::string one = test::DescriptorBlock({"a.eml"});
    struct Case {
        const char* what;
        std::string block;
        bool bRead;
        std::size_t nNames;
    };
    const Case cases[] = {
        {"empty block", "", false, 0},
        {"three bytes", std::string("\x01\x00\x00", 3), false, 0},
        {"count zero", test::DescriptorBlock({}), true, 0},
        {"count zero, descriptors after it", test::DescriptorBlock({"a.eml"}, 0), true, 0},
        {"count -1", test::DescriptorBlock({"a.eml"}, -1), true, 0},
        {"count INT_MIN", test::DescriptorBlock({}, INT_MIN), true, 0},
        {"count 2, one descriptor", test::DescriptorBlock({"a.eml"}, 2), false, 0},
        {"one byte short", one.substr(0, one.size() - 1), false, 0},
        {"count INT_MAX", test::DescriptorBlock({"a.eml", "b.eml"}, INT_MAX), false, 0},
        {"exact fit", one, true, 1},
        {"count 1 of 2 descriptors", test::DescriptorBlock({"a.eml", "b.eml"}, 1), true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Names names{"stale"};
        EXPECT_EQ(ReadFileGroupDescriptor(c.block, names), c.bRead);
        EXPECT_EQ(names.size(), c.nNames);
    }
}

}  // namespace
