#include "policy/StringArchive.h"

#include "support/Bytes.h"

#include <gtest/gtest.h>

namespace {

using test::Bytes;

std::string Encode(const std::vector<std::string>& strings) {
    std::string out;
    EXPECT_TRUE(AppendStringArray(out, strings));
    return out;
}

bool Decode(const std::string& data, std::vector<std::string>& strings) {
    return CStringArchiveReader(data).ReadStringArray(strings);
}

TEST(StringArchive, LengthPrefixesAtEveryBoundary) {
    const std::pair<std::size_t, std::string> cases[] = {
        {0, Bytes({0x00})},
        {254, Bytes({0xFE})},
        {255, Bytes({0xFF, 0xFF, 0x00})},
        {65533, Bytes({0xFF, 0xFD, 0xFF})},
        {65534, Bytes({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00})},
        {70000, Bytes({0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00})},
    };
    for (const auto& [length, prefix] : cases) {
        SCOPED_TRACE(length);
        const std::string text(length, 'x');
        const std::string data = Encode({text});
        EXPECT_EQ(data, Bytes({0x01, 0x00}) + prefix + text);
        std::vector<std::string> read;
        ASSERT_TRUE(Decode(data, read));
        EXPECT_EQ(read, std::vector<std::string>{text});
    }
}

TEST(StringArchive, CountsOf65535AndMoreTakeTheEscape) {
    const std::pair<std::size_t, std::string> cases[] = {
        {0, Bytes({0x00, 0x00})},
        {65534, Bytes({0xFE, 0xFF})},
        {65535, Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00})},
        {65536, Bytes({0xFF, 0xFF, 0x00, 0x00, 0x01, 0x00})},
    };
    for (const auto& [count, prefix] : cases) {
        SCOPED_TRACE(count);
        const std::vector<std::string> strings(count, "a");
        const std::string data = Encode(strings);
        EXPECT_EQ(data.substr(0, prefix.size()), prefix);
        EXPECT_EQ(data.size(), prefix.size() + 2 * count);
        std::vector<std::string> read;
        ASSERT_TRUE(Decode(data, read));
        EXPECT_EQ(read, strings);
    }
}

TEST(StringArchive, ArraysFollowOneAnotherAndTrailingBytesAreIgnored) {
    const std::string data = Encode({"exe", "表"}) + Encode({""}) + "rest";
    CStringArchiveReader reader(data);
    std::vector<std::string> first;
    std::vector<std::string> second;
    ASSERT_TRUE(reader.ReadStringArray(first));
    ASSERT_TRUE(reader.ReadStringArray(second));
    EXPECT_EQ(first, (std::vector<std::string>{"exe", "表"}));
    EXPECT_EQ(second, std::vector<std::string>{""});
}

TEST(StringArchive, WideStringsAreReadAsShiftJis) {
    std::string long256 = Bytes({0x01, 0x00, 0xFF, 0xFE, 0xFF, 0xFF, 0x00, 0x01});
    std::string long70000 =
        Bytes({0x01, 0x00, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00});
    for (int i = 0; i < 256; ++i) {
        long256 += Bytes({'w', 0});
    }
    for (int i = 0; i < 70000; ++i) {
        long70000 += Bytes({'v', 0});
    }
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {Bytes({0x01, 0x00, 0xFF, 0xFE, 0xFF, 0x03, 'e', 0, 'x', 0, 'e', 0}), {"exe"}},
        // アプリ, and 表 whose Shift_JIS trail byte is 0x5C.
        {Bytes({0x01, 0x00, 0xFF, 0xFE, 0xFF, 0x03, 0xA2, 0x30, 0xD7, 0x30, 0xEA, 0x30}),
         {"アプリ"}},
        {Bytes({0x01, 0x00, 0xFF, 0xFE, 0xFF, 0x01, 0x68, 0x88}), {"表"}},
        {Bytes({0x01, 0x00, 0xFF, 0xFE, 0xFF, 0x00}), {""}},
        // A lone surrogate has no Shift_JIS form.
        {Bytes({0x01, 0x00, 0xFF, 0xFE, 0xFF, 0x02, 0x00, 0xD8, 'a', 0}), {"?a"}},
        {long256, {std::string(256, 'w')}},
        {long70000, {std::string(70000, 'v')}},
        // Wide and narrow strings mix within one array.
        {Bytes({0x02, 0x00, 0xFF, 0xFE, 0xFF, 0x01, 'a', 0, 0x01, 'b'}), {"a", "b"}},
    };
    for (const auto& [data, expected] : cases) {
        std::vector<std::string> read;
        ASSERT_TRUE(Decode(data, read));
        EXPECT_EQ(read, expected);
    }
}

TEST(StringArchive, DamagedDataFailsAndLeavesTheArrayAlone) {
    const std::string valid = Encode({"exe", std::string(300, 'd'), ""});
    std::vector<std::string> damaged;
    for (std::size_t size = 0; size < valid.size() - 1; ++size) {
        damaged.push_back(valid.substr(0, size));  // cut short at every byte but the last
    }
    // Counts and lengths the bytes cannot hold; none may be trusted enough to reserve or
    // read for it.
    damaged.push_back(Bytes({0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF}));
    damaged.push_back(Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00}));
    damaged.push_back(Bytes({0x03, 0x00, 0x00, 0x00}));
    damaged.push_back(Bytes({0x01, 0x00, 0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0x7F, 'a'}));
    damaged.push_back(
        Bytes({0x01, 0x00, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}));
    damaged.push_back(Bytes({0x01, 0x00, 0xFF, 0xFE, 0xFF, 0x02, 'a', 0, 'b'}));
    damaged.push_back(Bytes({0x01, 0x00, 0x05, 'a', 'b'}));
    for (const std::string& data : damaged) {
        SCOPED_TRACE(testing::PrintToString(data));
        std::vector<std::string> strings{"kept"};
        EXPECT_FALSE(Decode(data, strings));
        EXPECT_EQ(strings, std::vector<std::string>{"kept"});
    }
}

}  // namespace
