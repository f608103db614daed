#include "engine/mime/MessageReader.h"

#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace std::string_literals;

std::vector<std::string> ReadAllLines(CMessageReader& reader) {
    std::vector<std::string> lines;
    std::string line;
    while (reader.ReadLine(line)) {
        lines.push_back(line);
    }
    EXPECT_TRUE(line.empty());
    return lines;
}

TEST(MessageReader, SplitsLinesAtLf) {
    const struct {
        std::string text;
        std::vector<std::string> lines;
    } cases[] = {
        {"a\nb", {"a", "b"}},        // a last line without LF is still a line
        {"a\r\nb\r\n", {"a", "b"}},  // the CR before LF is no part of the line
        {"a\rb\n", {"a\rb"}},        // any other CR is
        {"a\r\r\n", {"a\r"}},        // only one CR goes
        // A text whose lines end with CR alone (old Mac mail) reads as CR LF; where LF ends
        // lines, a CR alone is text.
        {"\r", {""}},
        {"a\rb\r\rc", {"a", "b", "", "c"}},
        {"", {}},
        {"\n", {""}},
        {"x\n\n", {"x", ""}},
        {"a\0b\nc\x1A"s + "d",
         {"a\0b"s,
          "c\x1A"
          "d"}},  // NUL and 0x1A are text
    };
    for (const auto& c : cases) {
        CMessageReader reader;
        reader.OpenText(c.text);
        EXPECT_EQ(ReadAllLines(reader), c.lines);
    }
}

// A CR-only message reads through its line ends and its bytes as a CR LF one.
TEST(MessageReader, ReadsCrOnlyLineEndsAsCrLf) {
    CMessageReader reader;
    reader.OpenText("Subject: x\r\rbody\r");
    std::string line;
    ASSERT_TRUE(reader.ReadLine(line));
    EXPECT_EQ(line, "Subject: x");
    EXPECT_EQ(reader.LastLineBreak(), "\r\n");
    char byte = 0;
    ASSERT_TRUE(reader.ReadByte(byte));
    EXPECT_EQ(byte, '\n');
    ASSERT_TRUE(reader.ReadLine(line));
    EXPECT_EQ(line, "body");
    EXPECT_FALSE(reader.ReadLine(line));
    EXPECT_FALSE(reader.HasError());
}

TEST(MessageReader, LooksAheadOneByteAndStepsBack) {
    CMessageReader reader;
    reader.OpenText("ab\r\n\r\nX");
    std::string line;
    ASSERT_TRUE(reader.ReadLine(line));
    reader.StepBack();
    ASSERT_TRUE(reader.ReadLine(line));
    EXPECT_EQ(line, "ab");
    char byte = 0;
    ASSERT_TRUE(reader.ReadByte(byte));
    EXPECT_EQ(byte, '\n');  // CR LF reads as one LF
    EXPECT_EQ(reader.Tell(), 6u);
    reader.StepBack();
    EXPECT_EQ(reader.Tell(), 4u);
    ASSERT_TRUE(reader.ReadLine(line));
    EXPECT_EQ(line, "");
    ASSERT_TRUE(reader.ReadByte(byte));
    EXPECT_EQ(byte, 'X');
    // At the end nothing is read, and a step back stays at the end.
    EXPECT_FALSE(reader.ReadByte(byte));
    reader.StepBack();
    EXPECT_EQ(reader.Tell(), 7u);
    EXPECT_FALSE(reader.ReadLine(line));
}

// A file is read in blocks: lines that straddle blocks, a line of several megabytes and a
// step back into an earlier block must read exactly as from memory.
TEST(MessageReader, ReadsLargeFilesAcrossBlocks) {
    std::string text;
    for (int i = 0; i < 20000; ++i) {
        text += "line " + std::to_string(i) + std::string(i % 97, 'x') + (i % 3 ? "\r\n" : "\n");
    }
    const std::string longLine(3 * 1024 * 1024 + 7, 'L');
    text += longLine + "\r\nlast";
    test::ScratchFolder scratch;
    test::WriteFile(scratch / "big.eml", text);

    CMessageReader fromFile;
    ASSERT_TRUE(fromFile.Open(scratch / "big.eml"));
    CMessageReader fromMemory;
    fromMemory.OpenText(text);
    std::string fileLine;
    std::string memoryLine;
    std::size_t count = 0;
    while (fromMemory.ReadLine(memoryLine)) {
        ASSERT_TRUE(fromFile.ReadLine(fileLine));
        ASSERT_EQ(fileLine, memoryLine);
        ASSERT_EQ(fromFile.Tell(), fromMemory.Tell());
        if (++count % 4999 == 0) {  // every so often, read the line again
            fromFile.StepBack();
            ASSERT_TRUE(fromFile.ReadLine(fileLine));
            ASSERT_EQ(fileLine, memoryLine);
        }
    }
    EXPECT_FALSE(fromFile.ReadLine(fileLine));
    EXPECT_EQ(count, 20002u);
    EXPECT_EQ(memoryLine, "");

    // Back into a block read long ago.
    fromFile.Seek(5);
    ASSERT_TRUE(fromFile.ReadLine(fileLine));
    EXPECT_EQ(fileLine, "0");  // the rest of "line 0"
    EXPECT_FALSE(fromFile.HasError());
}

TEST(MessageReader, EndsExactlyAtTheEndWhateverTheBlockSplit) {
    // Files that end in a block, on a block's end and just past it: every byte read once,
    // nothing after the end, and the last byte read again after a step back.
    test::ScratchFolder scratch;
    constexpr std::size_t kBlock = CBufferedReader::kBlockSize;
    for (const std::size_t size : {std::size_t{0}, std::size_t{1}, kBlock - 1, kBlock, kBlock + 1,
                                   2 * kBlock}) {
        SCOPED_TRACE(size);
        std::string text(size, 'x');
        for (std::size_t i = 0; i < size; ++i) {
            text[i] = static_cast<char>('a' + i % 26);
        }
        test::WriteFile(scratch / "m.eml", text);
        CMessageReader reader;
        ASSERT_TRUE(reader.Open(scratch / "m.eml"));
        std::string read;
        char byte = 0;
        while (reader.ReadByte(byte)) {
            read += byte;
        }
        EXPECT_TRUE(read == text);
        EXPECT_EQ(reader.Tell(), size);
        if (size > 0) {
            reader.Seek(size - 1);
            ASSERT_TRUE(reader.ReadByte(byte));
            EXPECT_EQ(byte, text.back());
        }
        EXPECT_FALSE(reader.ReadByte(byte));
        EXPECT_FALSE(reader.HasError());
    }
}

TEST(MessageReader, OpenFailsForAMissingFile) {
    test::ScratchFolder scratch;
    CMessageReader reader;
    EXPECT_FALSE(reader.Open(scratch / "missing.eml"));
    std::string line;
    EXPECT_FALSE(reader.ReadLine(line));
}

}  // namespace
