#include "engine/codec/Base64Decoder.h"
#include "engine/extract/FileSink.h"
#include "engine/mime/MailParser.h"
#include "engine/mime/StringSink.h"
#include "platform/File.h"
#include "support/Base64Encode.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace std::string_literals;

enum class Writer { Base64, QuotedPrintable, Plain };

struct WriteResult {
    bool bOk = false;
    std::string strOutput;
    std::string strNextLine;  // what the reader reads after the writer
};

// blockSize: how many bytes the reader hands out at once, as a file's blocks.
WriteResult WriteBody(Writer writer, const std::string& body, CByteSink* sink = nullptr,
                      std::size_t blockSize = CBufferedReader::kBlockSize) {
    CMailParser parser;
    CMessageReader reader;
    reader.OpenText(body, blockSize);
    CStringSink memory;
    CByteSink& out = sink ? *sink : memory;
    WriteResult result;
    switch (writer) {
        case Writer::Base64:
            result.bOk = parser.WriteBase64Body(reader, out, "--b");
            break;
        case Writer::QuotedPrintable:
            result.bOk = parser.WriteQuotedPrintableBody(reader, out, "--b");
            break;
        case Writer::Plain:
            result.bOk = parser.WritePlainBody(reader, out, "--b");
            break;
    }
    result.strOutput = memory.GetData();
    if (!reader.ReadLine(result.strNextLine)) {
        result.strNextLine = "<end>";
    }
    return result;
}

// Deterministic bytes of every value.
std::string SampleBytes(std::size_t size) {
    std::string bytes(size, '\0');
    unsigned state = 12345;
    for (char& c : bytes) {
        state = state * 1103515245 + 12345;
        c = static_cast<char>(state >> 16);
    }
    return bytes;
}

// Cuts text into lines of the given lengths in turn, each ended by end.
std::string Lines(const std::string& text, const std::vector<std::size_t>& lengths,
                  const std::string& end = "\r\n") {
    std::string result;
    for (std::size_t pos = 0, i = 0; pos < text.size(); pos += lengths[i++ % lengths.size()]) {
        result += text.substr(pos, lengths[i % lengths.size()]) + end;
    }
    return result;
}

TEST(Base64Body, DecodesUpToTheBoundaryLine) {
    const std::string bytes = SampleBytes(100000);
    const std::string encoded = Lines(test::Base64Encode(bytes), {76});
    // 24,577 bytes without padding: the last group of two characters falls just past the
    // first chunk and still gives exactly its one byte.
    const std::string odd = SampleBytes(24577);
    std::string unpadded = test::Base64Encode(odd);
    unpadded.erase(unpadded.find('='));
    const struct {
        std::string body;
        std::string output;
        std::string nextLine;
    } cases[] = {
        {encoded + "--b--\r\n", bytes, "--b--"},  // the closing line stays for the walk
        {encoded + "--b\r\nnext", bytes, "--b"},
        {encoded, bytes, "<end>"},  // no boundary line at all
        {Lines(unpadded, {76}) + "--b\r\n", odd, "--b"},
        {Lines(test::Base64Encode(bytes), {76}, "\n"), bytes, "<end>"},
        {"QUJD RE\tVG\r\n--b", "ABCDEF", "--b"},  // white space inside a line
        {"--b\r\n", "", "--b"},                   // an empty body
        {"", "", "<end>"},
        {"QUJD\r\n--b \t\r\n", "ABC", "--b \t"},  // padding after the delimiter
        // A line that only begins with the boundary is body text ("--" is skipped).
        {"QUJD\r\n--bQUJD\r\n--b", "ABCm\x05\x09", "--b"},
    };
    for (const auto& c : cases) {
        const WriteResult result = WriteBody(Writer::Base64, c.body);
        EXPECT_TRUE(result.bOk);
        EXPECT_EQ(result.strOutput, c.output) << c.body.substr(0, 40);
        EXPECT_EQ(result.strNextLine, c.nextLine) << c.body.substr(0, 40);
    }
}

// Padding ends a part's data unless only base64 text follows it: a delimiter line of
// another boundary, a signature or a delimiter glued to the padding is never decoded.
TEST(Base64Body, PaddingEndsTheDataUnlessBase64Follows) {
    const struct {
        std::string body;
        std::string output;
        std::string nextLine;
    } cases[] = {
        {"QUJDRA==\r\n--other--\r\n--b--\r\n", "ABCD", "--b--"},
        {"QUJDRA==--other--\r\n--b\r\n", "ABCD", "--b"},
        {"QUJDRA==\r\n\r\nThanks, Taro\r\n--b\r\n", "ABCD", "--b"},
        {"QQ==\r\nQkM=\r\n\r\n--b", "ABC", "--b"},    // base64 goes on after padding
        {"QQ==QkM=\r\n--b", "ABC", "--b"},
        {"QUI=\r\n", "AB", "<end>"},
    };
    for (const auto& c : cases) {
        for (const std::size_t blockSize : {std::size_t{3}, CBufferedReader::kBlockSize}) {
            const WriteResult result = WriteBody(Writer::Base64, c.body, nullptr, blockSize);
            EXPECT_TRUE(result.bOk);
            EXPECT_EQ(result.strOutput, c.output) << c.body;
            EXPECT_EQ(result.strNextLine, c.nextLine) << c.body;
        }
    }
}

// uuencoded data from its "begin" line to its "end" line; what follows is read past.
TEST(UuencodedBody, DecodesFromBeginToEnd) {
    std::string name;
    EXPECT_TRUE(CMailParser::IsUuencodeBegin("begin 644 report 1.txt ", name));
    EXPECT_EQ(name, "report 1.txt");
    for (const char* line : {"begin 64 a", "begin 644", "begin 644 ", "begin x44 a", "Begin 644 a"}) {
        EXPECT_FALSE(CMailParser::IsUuencodeBegin(line, name)) << line;
    }
    const struct {
        std::string body;
        std::string output;
        std::string nextLine;
    } cases[] = {
        {"text before\r\nbegin 644 a.txt\r\n#04)#\r\n`\r\nend\r\nafter\r\n--b\r\n", "ABC", "--b"},
        // Trailing spaces stripped by a mailer read as spaces; "`" and " " are zero.
        {"begin 644 a\n-2&5L;&\\L('=O<FQD(0\n \nend\n", "Hello, world!", "<end>"},
        {"begin 644 a\r\nM  $\" P0%!@<(\"0H+# T.#Q 1$A,4%187&!D:&QP='A\\@(2(C)\"4F)R@I*BLL\r\n"
         "end\r\n--b",
         std::string("\0\1\2\3\4\5\6\7\10\11\12\13\14\15\16\17", 16) +
             "\x10\x11\x12\x13\x14\x15\x16\x17\x18\x19\x1A\x1B\x1C\x1D\x1E\x1F !\"#$%&'()*+,",
         "--b"},
        {"begin 644 a\r\n#04)#\r\n--b\r\n", "ABC", "--b"},  // no "end": up to the delimiter
        {"no data\r\n--b\r\n", "", "--b"},
    };
    for (const auto& c : cases) {
        CMailParser parser;
        CMessageReader reader;
        reader.OpenText(c.body);
        CStringSink out;
        EXPECT_TRUE(parser.WriteUuencodedBody(reader, out, CBoundaryStack("--b")));
        EXPECT_EQ(out.GetData(), c.output) << c.body;
        std::string next;
        EXPECT_EQ(reader.ReadLine(next) ? next : "<end>", c.nextLine) << c.body;
    }
    CMailParser parser;
    for (const char* encoding : {"x-uuencode", "X-UUE", "uuencode"}) {
        EXPECT_EQ(parser.GetTransferEncoding(encoding), TransferEncoding::Uuencode) << encoding;
    }
    EXPECT_EQ(parser.GetTransferEncoding("x-uuencoded"), TransferEncoding::Unrecognised);
}

// Lines of any length decode completely: one line far longer than the text buffer, and
// lines whose lengths are no multiple of four, so that chunk ends fall inside groups.
TEST(Base64Body, DecodesLinesOfAnyLength) {
    const std::string bytes = SampleBytes(300000);
    const std::string text = test::Base64Encode(bytes);
    const std::vector<std::vector<std::size_t>> layouts = {
        {text.size()}, {77}, {75, 1, 2}, {32767}, {32769, 65537}, {100001, 3}};
    for (const auto& layout : layouts) {
        const WriteResult result = WriteBody(Writer::Base64, Lines(text, layout) + "--b--");
        EXPECT_TRUE(result.bOk);
        EXPECT_EQ(result.strOutput.size(), bytes.size()) << layout[0];
        EXPECT_TRUE(result.strOutput == bytes) << layout[0];
    }
}

// For lines of whole groups the output is exactly that of decoding chunks made of whole
// lines, flushed once 32768 bytes are gathered, even where "=" stands mid-text (several
// encoded pieces joined), which makes each chunk lose bytes at its own end.
TEST(Base64Body, OrdinaryLinesDecodeChunkByChunk) {
    std::string body;
    std::vector<std::string> lines;
    for (int i = 0; i < 3000; ++i) {
        lines.push_back(i % 7 == 3 ? "QQ==" : test::Base64Encode(SampleBytes(57 - i % 5 * 3)));
    }
    std::string expected;
    std::string gathered;
    CBase64Decoder decoder;
    const auto flush = [&] {
        std::vector<unsigned char> out(CBase64Decoder::GetDecodedBound(gathered.size()));
        const std::size_t count = decoder.Decode(gathered.data(), gathered.size(), out.data());
        expected.append(reinterpret_cast<const char*>(out.data()), count);
        gathered.clear();
    };
    for (const std::string& line : lines) {
        body += line + "\r\n";
        gathered += line;
        if (gathered.size() >= 32768) {
            flush();
        }
    }
    flush();
    const WriteResult result = WriteBody(Writer::Base64, body);
    EXPECT_EQ(result.strOutput.size(), expected.size());
    EXPECT_TRUE(result.strOutput == expected);
}

TEST(QuotedPrintable, DecodesOneLine) {
    const struct {
        std::string line;
        std::string decoded;
        bool bSoftBreak;
    } cases[] = {
        {"caf=E9=3d", "caf\xE9=", false},
        {"abc=", "abc", true},
        {"=", "", true},
        {"=00x", "\0x"s, false},  // NUL is counted, not an end
        {"a=4", "a\x04", false},  // only one character left
        {"a=5Gb",
         "a\x05"
         "b",
         false},                    // reading stops at G, which is consumed
        {"= 5x", "\x05x", false},   // leading white space is skipped
        {"=-1", "\xFF", false},     // a sign is read, the low byte kept
        {"a=0xb", "a\0b"s, false},  // "0x" reads as 0
        {"a=ZZb", "a=ZZb", false},  // no hex digit: copied as written
        {"a=G5b", "a=G5b", false},
        {"a= \tb", "a= \tb", false},
        {"x=Z", "x=Z", false},
        {"\x82\xA0=41",
         "\x82\xA0"
         "A",
         false},
    };
    CMailParser parser;
    for (const auto& c : cases) {
        bool bSoftBreak = !c.bSoftBreak;
        EXPECT_EQ(parser.DecodeQuotedPrintableLine(c.line, bSoftBreak), c.decoded) << c.line;
        EXPECT_EQ(bSoftBreak, c.bSoftBreak) << c.line;
    }
}

TEST(LineBodies, KeepTheMessagesLineEndsBetweenLines) {
    const struct {
        Writer writer;
        std::string body;
        std::string output;
        std::string nextLine;
    } cases[] = {
        {Writer::QuotedPrintable, "long =\r\nline=\r\n split\r\n--b--\r\n", "long line split",
         "--b--"},
        {Writer::QuotedPrintable, "one\r\ntwo=\nthree\r\n--b", "one\r\ntwothree", "--b"},
        {Writer::QuotedPrintable, "a\r\nb\r\nc\r\n", "a\r\nb\r\nc", "<end>"},
        {Writer::Plain, "one\ntwo\n\nfour\n--b\n", "one\ntwo\n\nfour", "--b"},
        {Writer::Plain, "one\r\ntwo\n\r\n--b\n", "one\r\ntwo\n", "--b"},
        {Writer::QuotedPrintable, "a=3D\nb\n--b", "a=\nb", "--b"},
        {Writer::Plain, "line\r\n--b   \r\n", "line", "--b   "},
        {Writer::Plain, "--b\r\n", "", "--b"},
        {Writer::Plain, "bin\0\x1A\xFF\rx\n"s, "bin\0\x1A\xFF\rx"s, "<end>"},
    };
    for (const auto& c : cases) {
        const WriteResult result = WriteBody(c.writer, c.body);
        EXPECT_TRUE(result.bOk);
        EXPECT_EQ(result.strOutput, c.output) << c.body;
        EXPECT_EQ(result.strNextLine, c.nextLine) << c.body;
    }
}

// The writers take the body block by block as the reader holds it: wherever the blocks end
// (inside a group, between CR and LF, after an "=" of padding or of a soft line break, in
// an escape, inside a delimiter line) the output and the line read next are those of a
// body read in one block.
TEST(BodyWriters, GiveTheSameResultWhereverBlocksEnd) {
    const std::string encoded = Lines(test::Base64Encode(SampleBytes(700)), {76, 75, 2});
    const struct {
        Writer writer;
        std::string body;
    } cases[] = {
        {Writer::Base64, encoded + "--b--\r\n"},
        {Writer::Base64, "QQ==QkM=\r\nQUJD\nQUJD\r\n--bQUJD\r\n-\r\nQ\r\nQ\r\n--b \r\nx"},
        {Writer::Base64, "QUJD\r\n-QUJD\r\n-- \r\nQUJDRA"},  // unpadded, no delimiter line
        {Writer::QuotedPrintable,
         "caf=E9=3d =\r\nsoft=\nhard\r\n=4=\r\n=ZZ=G5= 5x\r\n-=\r\n--bx\r\n--b--\r\n"},
        {Writer::QuotedPrintable, "a long run without escapes, copied at once=\r\n=82=A0\r\n"},
        {Writer::Plain, "one\r\ntwo\n\r\n\rx\r\r\n--c\r\n--b\n"},
    };
    for (const auto& c : cases) {
        const WriteResult whole = WriteBody(c.writer, c.body);
        for (std::size_t blockSize = 1; blockSize <= 17; ++blockSize) {
            const WriteResult result = WriteBody(c.writer, c.body, nullptr, blockSize);
            EXPECT_TRUE(result.bOk);
            EXPECT_EQ(result.strOutput, whole.strOutput) << c.body << " / " << blockSize;
            EXPECT_EQ(result.strNextLine, whole.strNextLine) << c.body << " / " << blockSize;
        }
    }
    // Base64 bodies decode as their text up to the delimiter line does in one piece (unless
    // a line that is no base64 follows padding, which ends the data), and quoted-printable
    // escapes and soft breaks read as within a line.
    CBase64Decoder decoder;
    for (const auto& c : cases) {
        const std::size_t delimiter = c.body.rfind("\n--b");
        const std::size_t padding = c.body.find('=');
        if (c.writer == Writer::Base64 && delimiter != std::string::npos &&
            (padding == std::string::npos || c.body.find('-', padding) >= delimiter)) {
            const std::string text = c.body.substr(0, delimiter);
            std::vector<unsigned char> out(CBase64Decoder::GetDecodedBound(text.size()));
            out.resize(decoder.Decode(text.data(), text.size(), out.data()));
            EXPECT_EQ(WriteBody(c.writer, c.body).strOutput, std::string(out.begin(), out.end()));
        }
    }
    EXPECT_EQ(WriteBody(Writer::Base64, cases[1].body).strOutput, "ABCABCABC");
    EXPECT_EQ(WriteBody(Writer::Base64, cases[1].body).strNextLine, "--b ");
    EXPECT_EQ(WriteBody(Writer::Base64, cases[2].body).strOutput, "ABCABCABCD");
    EXPECT_EQ(WriteBody(Writer::QuotedPrintable, cases[3].body).strOutput,
              "caf\xE9= softhard\r\n\x04\r\n=ZZ=G5\x05x\r\n---bx");
}

class CFailingSink : public CByteSink {
public:
    bool Write(const char*, std::size_t) override {
        ++m_nWrites;
        return false;
    }
    int m_nWrites = 0;
};

TEST(BodyWriters, ReportAFailedWriteAndStillStopAtTheBoundary) {
    for (Writer writer : {Writer::Base64, Writer::QuotedPrintable, Writer::Plain}) {
        CFailingSink sink;
        const WriteResult result = WriteBody(writer, "QUJD\r\nQUJD\r\n--b\r\n", &sink);
        EXPECT_FALSE(result.bOk);
        EXPECT_EQ(sink.m_nWrites, 1);  // nothing more is tried after a failure
        EXPECT_EQ(result.strNextLine, "--b");
    }
}

TEST(BodyWriters, WriteIntoAnOpenFile) {
    test::ScratchFolder scratch;
    {
        platform::File file;
        ASSERT_TRUE(file.Open(scratch / "a.bin", platform::File::Mode::Write));
        CFileSink sink(file);
        EXPECT_TRUE(WriteBody(Writer::Base64, "AAEC/w==\r\n--b\r\n", &sink).bOk);
        EXPECT_EQ(test::ReadFile(scratch / "a.bin"), "<unreadable>");  // gathered, held open
        EXPECT_TRUE(sink.Flush());
    }
    EXPECT_EQ(test::ReadFile(scratch / "a.bin"), "\0\x01\x02\xFF"s);
}

}  // namespace
