// The body writers: base64, quoted-printable and plain bodies, each copied into the output
// up to the next delimiter line of the enclosing multiparts, which stays unread.

#include "engine/Base64Decoder.h"
#include "engine/MailParser.h"

#include <algorithm>

#include <vector>

namespace {

// Base64 text is decoded in chunks: once a line brings the gathered text to the flush
// threshold, or whenever the text buffer is full (inside a very long line).
constexpr std::size_t kTextBufferSize = 65536;
constexpr std::size_t kFlushThreshold = 32768;

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

// Gathers base64 text and decodes it chunk by chunk. A chunk is decoded up to its last
// whole group; the unfinished rest (at most three characters once skipped bytes are left
// out) starts the next chunk, so no group is split between chunks and no byte is lost.
class CBase64Chunker {
public:
    explicit CBase64Chunker(CGuardedOutput& out)
        : m_out(out), m_arrDecoded(CBase64Decoder::GetDecodedBound(kTextBufferSize)) {
        m_strText.reserve(kTextBufferSize);
    }

    void AppendLine(std::string_view line) {
        while (line.size() > kTextBufferSize - m_strText.size()) {
            const std::size_t room = kTextBufferSize - m_strText.size();
            m_strText.append(line.substr(0, room));
            line.remove_prefix(room);
            Flush(false);
        }
        m_strText.append(line);
        if (m_strText.size() >= kFlushThreshold) {
            Flush(false);
        }
    }

    // Decodes what is left, an unfinished last group included (its one or two bytes).
    void Finish() {
        if (!m_strText.empty()) {
            Flush(true);
        }
    }

private:
    void Flush(bool bLast) {
        std::size_t length = m_strText.size();
        std::size_t count = 0;
        if (bLast) {
            count = m_decoder.Decode(m_strText.data(), length, m_arrDecoded.data());
        } else {
            length = m_decoder.DecodeWholeGroups(m_strText.data(), m_strText.size(),
                                                 m_arrDecoded.data(), count);
        }
        m_out.Write(reinterpret_cast<const char*>(m_arrDecoded.data()), count);
        // Only alphabet characters and "=" of the rest matter to the next chunk.
        std::size_t kept = 0;
        for (std::size_t pos = length; pos < m_strText.size(); ++pos) {
            const unsigned char c = static_cast<unsigned char>(m_strText[pos]);
            if (c == '=' || CBase64Decoder::AlphabetValue(c) >= 0) {
                m_strText[kept++] = m_strText[pos];
            }
        }
        m_strText.resize(kept);
    }

    CGuardedOutput& m_out;
    CBase64Decoder m_decoder;
    std::string m_strText;                    // the text buffer
    std::vector<unsigned char> m_arrDecoded;  // the output buffer of one chunk
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

// Decodes one quoted-printable line onto the end of result; softBreak tells whether it
// ended in "=".
void AppendQuotedPrintableLine(std::string_view line, bool& softBreak, std::string& result) {
    softBreak = false;
    // A decoded line is never longer than the line: an escape of three characters gives one
    // byte, and text that is no escape stays as written.
    const std::size_t start = result.size();
    result.resize(start + line.size());
    char* out = result.data() + start;
    const char* in = line.data();
    const char* const end = in + line.size();
    while (in < end) {
        // "=" (0x3D) is never a trail byte, so a byte test cannot land inside a character.
        if (*in != '=') {
            *out++ = *in++;
            continue;
        }
        if (in + 1 == end) {
            softBreak = true;
            break;
        }
        const std::string_view escape(in + 1, std::min<std::size_t>(2, end - in - 1));
        int value = 0;
        if (escape.size() == 2 && IsHexDigit(escape[0]) && IsHexDigit(escape[1])) {
            // The common escape, read as the scan would read it.
            *out++ = static_cast<char>(HexValue(escape[0]) << 4 | HexValue(escape[1]));
        } else if (ScanHex(escape, value)) {
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
    result.resize(static_cast<std::size_t>(out - result.data()));
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
    std::string line;
    while (reader.ReadLine(line)) {
        if (IsDelimiter(line, boundaries)) {
            reader.StepBack();
            break;
        }
    }
}

bool CMailParser::WriteBase64Body(CMessageReader& reader, CByteSink& out,
                                  const CBoundaryStack& boundaries) {
    CGuardedOutput output(out);
    CBase64Chunker chunker(output);
    std::string line;
    while (reader.ReadLine(line)) {
        if (IsDelimiter(line, boundaries)) {
            reader.StepBack();
            break;
        }
        chunker.AppendLine(line);
    }
    chunker.Finish();
    return output.IsOk();
}

std::string CMailParser::DecodeQuotedPrintableLine(std::string_view line, bool& softBreak) const {
    std::string result;
    AppendQuotedPrintableLine(line, softBreak, result);
    return result;
}

bool CMailParser::WriteQuotedPrintableBody(CMessageReader& reader, CByteSink& out,
                                           const CBoundaryStack& boundaries) {
    CGuardedOutput output(out);
    std::string line;
    std::string decoded;
    std::string_view lineBreak;  // the line end of the line before, written with the next
    bool bFirst = true;
    bool bSoftBreak = false;
    while (reader.ReadLine(line)) {
        if (IsDelimiter(line, boundaries)) {
            reader.StepBack();
            break;
        }
        decoded.clear();
        if (!bFirst && !bSoftBreak) {
            decoded = lineBreak;
        }
        lineBreak = reader.LastLineBreak();
        AppendQuotedPrintableLine(line, bSoftBreak, decoded);
        output.Write(decoded);
        bFirst = false;
    }
    if (boundaries.Size() == 0 && !bSoftBreak) {
        output.Write(lineBreak);  // no delimiter line owns the last line end
    }
    return output.IsOk();
}

bool CMailParser::WritePlainBody(CMessageReader& reader, CByteSink& out,
                                 const CBoundaryStack& boundaries) {
    CGuardedOutput output(out);
    std::string line;
    std::string_view lineBreak;  // the line end of the line before, written with the next
    bool bFirst = true;
    while (reader.ReadLine(line)) {
        if (IsDelimiter(line, boundaries)) {
            reader.StepBack();
            break;
        }
        if (!bFirst) {
            output.Write(lineBreak);
        }
        lineBreak = reader.LastLineBreak();
        output.Write(line);
        bFirst = false;
    }
    if (boundaries.Size() == 0) {
        output.Write(lineBreak);  // no delimiter line owns the last line end
    }
    return output.IsOk();
}
