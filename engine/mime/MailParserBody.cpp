// The body writers: base64, quoted-printable and plain bodies, each copied into the output
// up to the next delimiter line of the enclosing multiparts, which stays unread.

#include "engine/codec/Base64Decoder.h"
#include "engine/mime/MailParser.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

namespace {

// The decoded bytes of a body are gathered in blocks of this size before they are written.
constexpr std::size_t kOutputBlockSize = 128 * 1024;

// Writes to out until a write fails; afterwards writes nothing and stays false.
class CGuardedOutput {
public:
    explicit CGuardedOutput(CByteSink& out) : m_out(out) {}
    void Write(const char* data, std::size_t size) {
        if (m_bOk && size > 0) {
            m_bOk = m_out.Write(data, size);
        }
    }
    void Write(std::string_view text) { Write(text.data(), text.size()); }
    bool IsOk() const { return m_bOk; }

private:
    CByteSink& m_out;
    bool m_bOk = true;
};

// A block the body writers decode into directly; full blocks go to the output in one write.
class COutputBlock {
public:
    explicit COutputBlock(CGuardedOutput& out)
        : m_out(out), m_data(new char[kOutputBlockSize]), m_nSize(kOutputBlockSize) {}
    COutputBlock(const COutputBlock&) = delete;
    COutputBlock& operator=(const COutputBlock&) = delete;
    ~COutputBlock() { Flush(); }

    // Room for size more bytes (written first when the block cannot hold them; a piece
    // larger than a whole block gets a block of its size). Commit says how many were used.
    char* Reserve(std::size_t size) {
        if (m_nSize - m_nUsed < size) {
            Flush();
            if (m_nSize < size) {
                m_data.reset(new char[size]);
                m_nSize = size;
            }
        }
        return m_data.get() + m_nUsed;
    }
    void Commit(const char* end) { m_nUsed = static_cast<std::size_t>(end - m_data.get()); }

    void Append(std::string_view text) {
        if (text.empty()) {
            return;  // an empty view may have no data at all
        }
        char* at = Reserve(text.size());
        std::memcpy(at, text.data(), text.size());
        Commit(at + text.size());
    }

    void Flush() {
        m_out.Write(m_data.get(), m_nUsed);
        m_nUsed = 0;
    }

private:
    CGuardedOutput& m_out;
    std::unique_ptr<char[]> m_data;  // not cleared: only what Commit covers is written
    std::size_t m_nSize;
    std::size_t m_nUsed = 0;
};

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    return (c >= 'a' && c <= 'f') ? c - 'a' + 10 : c - 'A' + 10;
}

// Reads the (at most two) characters after "=" as the scan format "%x" would: white space
// and a sign first, then hex digits up to the first other character ("0x" reads as 0, its
// prefix needing a digit after it). False when no hex digit is read.
bool ScanHex(std::string_view text, int& value) {
    std::size_t pos = 0;
    while (pos < text.size() && (text[pos] == ' ' || (text[pos] >= '\t' && text[pos] <= '\r'))) {
        ++pos;
    }
    bool bNegative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        bNegative = text[pos] == '-';
        ++pos;
    }
    if (pos >= text.size() || !IsHexDigit(text[pos])) {
        return false;
    }
    value = 0;
    while (pos < text.size() && IsHexDigit(text[pos])) {
        value = value * 16 + HexValue(text[pos]);
        ++pos;
    }
    if (bNegative) {
        value = -value;
    }
    return true;
}

// The value of each hex digit, -1 for any other byte.
struct HexTable {
    signed char values[256];
};

constexpr HexTable MakeHexTable() {
    HexTable table{};
    for (int c = 0; c < 256; ++c) {
        table.values[c] = -1;
    }
    for (int digit = 0; digit < 10; ++digit) {
        table.values['0' + digit] = static_cast<signed char>(digit);
    }
    for (int digit = 0; digit < 6; ++digit) {
        table.values['a' + digit] = static_cast<signed char>(10 + digit);
        table.values['A' + digit] = static_cast<signed char>(10 + digit);
    }
    return table;
}

constexpr HexTable kHexValues = MakeHexTable();

// The byte of every pair of hex digits, by the pair's two characters (the first one in the
// low eight bits of the index); -1 for a pair that is not two hex digits. One look-up
// decodes an escape.
struct HexPairTable {
    std::int16_t values[65536];
};

constexpr HexPairTable MakeHexPairTable() {
    HexPairTable table{};
    for (int index = 0; index < 65536; ++index) {
        const int high = kHexValues.values[index & 0xFF];
        const int low = kHexValues.values[index >> 8];
        table.values[index] = static_cast<std::int16_t>((high | low) < 0 ? -1 : high << 4 | low);
    }
    return table;
}

constexpr HexPairTable kHexPairs = MakeHexPairTable();

// Copies the run of text from in up to the next "=" (or end) to out; returns where it
// stopped and moves out past the copy. Eight bytes are copied at a time, and the run's end
// found among them by arithmetic: in a word whose bytes were XORed with "=", the lowest
// zero byte is where the first "=" was.
const char* CopyRun(const char* in, const char* end, char*& out) {
    if constexpr (std::endian::native == std::endian::little) {
        constexpr std::uint64_t kOnes = 0x0101010101010101;
        constexpr std::uint64_t kHighs = 0x8080808080808080;
        constexpr std::uint64_t kEquals = kOnes * '=';
        while (end - in >= 8) {
            std::uint64_t word = 0;
            std::memcpy(&word, in, 8);
            // The output never runs ahead of the input, so eight bytes fit.
            std::memcpy(out, &word, 8);
            const std::uint64_t x = word ^ kEquals;
            const std::uint64_t zeros = (x - kOnes) & ~x & kHighs;
            if (zeros != 0) {
                const int length = std::countr_zero(zeros) / 8;
                out += length;
                return in + length;
            }
            in += 8;
            out += 8;
        }
    }
    while (in < end && *in != '=') {
        *out++ = *in++;
    }
    return in;
}

// Decodes one quoted-printable line into out, which must hold line.size() bytes (a decoded
// line is never longer than the line: an escape of three characters gives one byte, and
// text that is no escape stays as written). Returns the end of what was written; softBreak
// tells whether the line ended in "=".
char* DecodeQuotedPrintableInto(std::string_view line, bool& softBreak, char* out) {
    softBreak = false;
    const char* in = line.data();
    const char* const end = in + line.size();
    while (in < end) {
        // "=" (0x3D) is never a trail byte, so a byte test cannot land inside a character.
        if (*in != '=') {
            in = CopyRun(in, end, out);
            continue;
        }
        // The common escape, two hex digits, often many in a row (text in another script).
        const char* const escapesStart = in;
        for (const char* const last = end - 2; in < last && *in == '=';) {
            const int value = kHexPairs.values[static_cast<unsigned char>(in[1]) |
                                               static_cast<unsigned char>(in[2]) << 8];
            if (value < 0) {
                break;
            }
            *out++ = static_cast<char>(value);
            in += 3;
        }
        if (in != escapesStart) {
            continue;
        }
        if (in + 1 == end) {
            softBreak = true;
            break;
        }
        const std::string_view escape(in + 1, std::min<std::ptrdiff_t>(2, end - in - 1));
        int value = 0;
        if (ScanHex(escape, value)) {
            // Read as the scan format "%x" would read it.
            *out++ = static_cast<char>(value & 0xFF);
        } else {
            // No hex digit at all: not an escape, so the text stays as it was written.
            *out++ = '=';
            for (char c : escape) {
                *out++ = c;
            }
        }
        in += 1 + escape.size();
    }
    return out;
}

}  // namespace

int CBoundaryStack::Match(std::string_view line, bool& closing) const {
    for (std::size_t level = m_arrLines.size(); level-- > 0;) {
        const std::string& boundaryLine = m_arrLines[level];
        if (line.size() < boundaryLine.size() ||
            line.compare(0, boundaryLine.size(), boundaryLine) != 0) {
            continue;
        }
        std::string_view rest = line.substr(boundaryLine.size());
        closing = rest.substr(0, 2) == "--";
        if (closing) {
            rest.remove_prefix(2);
        }
        if (std::all_of(rest.begin(), rest.end(), [](char c) { return c == ' ' || c == '\t'; })) {
            return static_cast<int>(level);
        }
    }
    closing = false;
    return -1;
}

bool CMailParser::IsBoundaryStart(std::string_view line, std::string_view boundaryLine) {
    return line.substr(0, boundaryLine.size()) == boundaryLine;
}

namespace {

// Whether line is a delimiter line of any of the boundaries.
bool IsDelimiter(std::string_view line, const CBoundaryStack& boundaries) {
    bool closing = false;
    return boundaries.Size() > 0 && line.size() >= 2 && line[0] == '-' && line[1] == '-' &&
           boundaries.Match(line, closing) >= 0;
}

}  // namespace

bool CMailParser::WriteBase64Body(CMessageReader& reader, CByteSink& out,
                                  std::string_view boundaryLine) {
    return WriteBase64Body(reader, out, CBoundaryStack(std::string(boundaryLine)));
}

bool CMailParser::WriteQuotedPrintableBody(CMessageReader& reader, CByteSink& out,
                                           std::string_view boundaryLine) {
    return WriteQuotedPrintableBody(reader, out, CBoundaryStack(std::string(boundaryLine)));
}

bool CMailParser::WritePlainBody(CMessageReader& reader, CByteSink& out,
                                 std::string_view boundaryLine) {
    return WritePlainBody(reader, out, CBoundaryStack(std::string(boundaryLine)));
}

void CMailParser::SkipBody(CMessageReader& reader, const CBoundaryStack& boundaries) {
    std::string_view line;
    while (reader.ReadLineView(line)) {
        if (IsDelimiter(line, boundaries)) {
            reader.StepBack();
            break;
        }
    }
}

bool CMailParser::WriteBase64Body(CMessageReader& reader, CByteSink& out,
                                  const CBoundaryStack& boundaries) {
    CGuardedOutput output(out);
    CBase64Stream stream;
    const std::unique_ptr<unsigned char[]> decoded(
        new unsigned char[CBase64Stream::GetOutputSize(CBufferedReader::kBlockSize)]);
    const auto decode = [&](std::string_view text) {
        // In pieces no larger than a block, the size of the output buffer.
        while (!text.empty()) {
            std::size_t count = 0;
            const std::size_t piece = std::min(text.size(), CBufferedReader::kBlockSize);
            const std::size_t used = stream.Decode(text.data(), piece, decoded.get(), count);
            output.Write(reinterpret_cast<const char*>(decoded.get()), count);
            text.remove_prefix(used);
        }
    };
    // The body is decoded block by block as it lies in the reader. Only a line that begins
    // with "-" can be a delimiter line: the decoding stops before each one, which is then
    // read as a line and looked at. Padding ends the data unless only base64 text follows:
    // from the first "=" on the rest goes line by line, and the first text that is not
    // base64 (a signature, a delimiter line of another boundary, one glued to the padding)
    // ends the data; the body is then skipped up to its delimiter line.
    stream.StopAfterPadding();
    const auto isBase64Text = [](std::string_view text) {
        return std::all_of(text.begin(), text.end(), [](char c) {
            return CBase64Decoder::AlphabetValue(static_cast<unsigned char>(c)) >= 0 ||
                   c == '=' || c == ' ' || c == '\t' || c == '\r';
        });
    };
    bool bLineStart = true;
    for (;;) {
        const std::string_view block = reader.Buffered();
        if (block.empty()) {
            break;
        }
        if (stream.HasSeenPadding()) {
            std::string_view line;  // the rest of the line, at first the one of the padding
            reader.ReadLineView(line);
            if (bLineStart && IsDelimiter(line, boundaries)) {
                reader.StepBack();
                break;
            }
            if (!isBase64Text(line)) {
                SkipBody(reader, boundaries);
                break;
            }
            decode(line);
            bLineStart = true;
            continue;
        }
        if (bLineStart && block[0] == '-') {
            std::string_view line;
            reader.ReadLineView(line);
            if (IsDelimiter(line, boundaries)) {
                reader.StepBack();
                break;
            }
            decode(line);  // the line end is no base64 text
            continue;
        }
        std::size_t count = 0;
        const std::size_t used =
            stream.Decode(block.data(), block.size(), decoded.get(), count, '-');
        reader.Skip(used);
        output.Write(reinterpret_cast<const char*>(decoded.get()), count);
        bLineStart = block[used - 1] == '\n';
    }
    const std::size_t count = stream.Finish(decoded.get());
    output.Write(reinterpret_cast<const char*>(decoded.get()), count);
    return output.IsOk();
}

std::string CMailParser::DecodeQuotedPrintableLine(std::string_view line, bool& softBreak) const {
    std::string result(line.size(), '\0');
    result.resize(static_cast<std::size_t>(
        DecodeQuotedPrintableInto(line, softBreak, result.data()) - result.data()));
    return result;
}

bool CMailParser::WriteQuotedPrintableBody(CMessageReader& reader, CByteSink& out,
                                           const CBoundaryStack& boundaries) {
    CGuardedOutput output(out);
    std::string_view line;
    std::string_view lineBreak;  // the line end of the line before, written with the next
    bool bFirst = true;
    bool bSoftBreak = false;
    {
        COutputBlock block(output);
        while (reader.ReadLineView(line)) {
            if (IsDelimiter(line, boundaries)) {
                reader.StepBack();
                break;
            }
            if (!bFirst && !bSoftBreak) {
                block.Append(lineBreak);
            }
            lineBreak = reader.LastLineBreak();
            block.Commit(DecodeQuotedPrintableInto(line, bSoftBreak, block.Reserve(line.size())));
            bFirst = false;
        }
        if (boundaries.Size() == 0 && !bSoftBreak) {
            block.Append(lineBreak);  // no delimiter line owns the last line end
        }
    }
    return output.IsOk();
}

bool CMailParser::WritePlainBody(CMessageReader& reader, CByteSink& out,
                                 const CBoundaryStack& boundaries) {
    CGuardedOutput output(out);
    std::string_view line;
    std::string_view lineBreak;  // the line end of the line before, written with the next
    bool bFirst = true;
    {
        COutputBlock block(output);
        while (reader.ReadLineView(line)) {
            if (IsDelimiter(line, boundaries)) {
                reader.StepBack();
                break;
            }
            if (!bFirst) {
                block.Append(lineBreak);
            }
            lineBreak = reader.LastLineBreak();
            block.Append(line);
            bFirst = false;
        }
        if (boundaries.Size() == 0) {
            block.Append(lineBreak);  // no delimiter line owns the last line end
        }
    }
    return output.IsOk();
}

namespace {

// The 6-bit value of a uuencoded character ("`" stands for 0 as a space does); -1 outside.
int UuValue(char c) {
    return c >= 0x20 && c <= 0x60 ? (c - 0x20) & 0x3F : -1;
}

// Decodes one uuencoded line into bytes: its first character tells how many bytes it holds,
// four characters give three. A line cut short (mailers strip trailing spaces) reads as
// ending in spaces. False when it is no uuencoded line.
bool DecodeUuencodedLine(std::string_view line, std::string& bytes) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) {
        line.remove_suffix(1);
    }
    if (line.empty() || UuValue(line[0]) < 0) {
        return false;
    }
    const std::size_t count = static_cast<std::size_t>(UuValue(line[0]));
    const std::size_t characters = (count + 2) / 3 * 4;
    if (line.size() - 1 > characters + 1) {  // one checksum character may follow
        return false;
    }
    std::uint32_t group = 0;
    for (std::size_t i = 0; i < characters; ++i) {
        const int value = i + 1 < line.size() ? UuValue(line[i + 1]) : 0;
        if (value < 0) {
            return false;
        }
        group = group << 6 | static_cast<std::uint32_t>(value);
        if (i % 4 == 3) {
            bytes += static_cast<char>(group >> 16);
            bytes += static_cast<char>(group >> 8 & 0xFF);
            bytes += static_cast<char>(group & 0xFF);
            group = 0;
        }
    }
    bytes.resize(bytes.size() - (characters / 4 * 3 - count));
    return true;
}

}  // namespace

bool CMailParser::IsUuencodeBegin(std::string_view line, std::string& name) {
    // "begin", a space, three or four octal digits of the mode, a space, the name.
    if (line.substr(0, 6) != "begin ") {
        return false;
    }
    std::size_t pos = 6;
    const std::size_t modeStart = pos;
    while (pos < line.size() && line[pos] >= '0' && line[pos] <= '7') {
        ++pos;
    }
    if (pos - modeStart < 3 || pos - modeStart > 4 || pos >= line.size() || line[pos] != ' ') {
        return false;
    }
    std::string_view rest = line.substr(pos + 1);
    while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\t' || rest.back() == '\r')) {
        rest.remove_suffix(1);
    }
    if (rest.empty()) {
        return false;
    }
    name.assign(rest);
    return true;
}

bool CMailParser::WriteUuencodedData(CMessageReader& reader, CByteSink& out,
                                     const CBoundaryStack& boundaries) {
    CGuardedOutput output(out);
    std::string_view line;
    std::string bytes;
    bytes.reserve(64);  // a line holds at most 63 bytes
    while (reader.ReadLineView(line)) {
        if (IsDelimiter(line, boundaries)) {
            reader.StepBack();
            break;
        }
        if (line.substr(0, 3) == "end" &&
            std::all_of(line.begin() + 3, line.end(), [](char c) { return c == ' ' || c == '\t'; })) {
            break;
        }
        bytes.clear();
        if (DecodeUuencodedLine(line, bytes)) {
            output.Write(bytes);
        }
    }
    return output.IsOk();
}

bool CMailParser::WriteUuencodedBody(CMessageReader& reader, CByteSink& out,
                                     const CBoundaryStack& boundaries) {
    std::string_view line;
    std::string name;
    while (reader.ReadLineView(line)) {
        if (IsDelimiter(line, boundaries)) {
            reader.StepBack();
            return true;
        }
        if (IsUuencodeBegin(line, name)) {
            const bool bWritten = WriteUuencodedData(reader, out, boundaries);
            SkipBody(reader, boundaries);
            return bWritten;
        }
    }
    return true;
}
