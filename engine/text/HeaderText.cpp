// The header-text decoder: character sets to Shift_JIS, encoded words, raw 8-bit text.

#include "engine/text/HeaderText.h"

#include "engine/codec/Base64Decoder.h"
#include "engine/text/CharsetTables.h"
#include "platform/ShiftJis.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace engine {

namespace {

constexpr unsigned char kEsc = 0x1B;
constexpr char32_t kReplacement = 0xFFFD;

// Code page 932's code for a BMP character, 0 when it has none.
std::uint16_t Cp932Code(char32_t c) {
    using engine::charset_tables::kCp932;
    const auto* const end = kCp932 + engine::charset_tables::kCp932Count;
    const auto* found = std::lower_bound(
        kCp932, end, c, [](const engine::charset_tables::Cp932Pair& pair, char32_t value) {
            return pair.nUnicode < value;
        });
    return found != end && found->nUnicode == c ? found->nCode : 0;
}

// The canonical composition of base and mark, 0 when there is none.
char32_t Compose(char32_t base, char32_t mark) {
    using engine::charset_tables::kCompositions;
    if (base > 0xFFFF || mark > 0xFFFF) {
        return 0;
    }
    const auto* const end = kCompositions + engine::charset_tables::kCompositionCount;
    const auto key = std::make_pair(base, mark);
    const auto* found = std::lower_bound(
        kCompositions, end, key,
        [](const engine::charset_tables::Composition& item, const std::pair<char32_t, char32_t>& value) {
            return std::make_pair(char32_t(item.nBase), char32_t(item.nMark)) < value;
        });
    return found != end && found->nBase == base && found->nMark == mark ? found->nComposed : 0;
}

// Collects text as Shift_JIS: Unicode characters (composed with the mark that follows
// them) and Shift_JIS bytes as they are.
class CSjisBuilder {
public:
    explicit CSjisBuilder(std::string& out) : m_out(out) {}
    CSjisBuilder(const CSjisBuilder&) = delete;
    CSjisBuilder& operator=(const CSjisBuilder&) = delete;
    ~CSjisBuilder() { Flush(); }

    void AddUnicode(char32_t c) {
        if (m_bPending) {
            if (const char32_t composed = Compose(m_cPending, c)) {
                m_cPending = composed;
                return;
            }
            Emit(m_cPending);
        }
        m_cPending = c;
        m_bPending = true;
    }

    void AddSjis(std::string_view bytes) {
        Flush();
        m_out.append(bytes);
    }

    void AddSjisByte(unsigned char byte) {
        Flush();
        m_out += static_cast<char>(byte);
    }

    void Flush() {
        if (m_bPending) {
            Emit(m_cPending);
            m_bPending = false;
        }
    }

private:
    void Emit(char32_t c) {
        if (c < 0x80) {
            m_out += static_cast<char>(c);
            return;
        }
        const std::uint16_t code = c <= 0xFFFF ? Cp932Code(c) : 0;
        if (code == 0) {
            m_out += '?';
        } else if (code < 0x100) {
            m_out += static_cast<char>(code);
        } else {
            m_out += static_cast<char>(code >> 8);
            m_out += static_cast<char>(code & 0xFF);
        }
    }

    std::string& m_out;
    char32_t m_cPending = 0;
    bool m_bPending = false;
};

// The next character of UTF-8 text at pos, advancing pos; U+FFFD for one byte that does
// not begin a well-formed sequence.
char32_t NextUtf8(std::string_view text, std::size_t& pos) {
    const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(text[at]); };
    const unsigned char b0 = byte(pos);
    if (b0 < 0x80) {
        ++pos;
        return b0;
    }
    std::size_t length = 0;
    char32_t c = 0;
    char32_t minimum = 0;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
        c = b0 & 0x1F;
        minimum = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        c = b0 & 0x0F;
        minimum = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        c = b0 & 0x07;
        minimum = 0x10000;
    } else {
        ++pos;
        return kReplacement;
    }
    if (pos + length > text.size()) {
        ++pos;
        return kReplacement;
    }
    for (std::size_t k = 1; k < length; ++k) {
        const unsigned char b = byte(pos + k);
        if ((b & 0xC0) != 0x80) {
            ++pos;
            return kReplacement;
        }
        c = c << 6 | (b & 0x3F);
    }
    if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        ++pos;
        return kReplacement;
    }
    pos += length;
    return c;
}

bool IsWellFormedUtf8(std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t start = pos;
        if (NextUtf8(text, pos) == kReplacement && pos == start + 1 &&
            static_cast<unsigned char>(text[start]) >= 0x80) {
            return false;
        }
    }
    return true;
}

void DecodeUtf8(std::string_view text, CSjisBuilder& out) {
    for (std::size_t pos = 0; pos < text.size();) {
        out.AddUnicode(NextUtf8(text, pos));
    }
}

// A JIS X 0208 code (both bytes 0x21-0x7E) as Shift_JIS.
void AddJisX0208(unsigned char j1, unsigned char j2, CSjisBuilder& out) {
    unsigned lead = ((j1 - 0x21u) >> 1) + 0x81u;
    if (lead > 0x9F) {
        lead += 0x40;  // steps over the single-byte katakana 0xA0-0xDF
    }
    unsigned trail = 0;
    if (j1 & 1) {
        trail = j2 + 0x1Fu + (j2 >= 0x60 ? 1u : 0u);  // steps over 0x7F
    } else {
        trail = j2 + 0x7Eu;
    }
    const char sjis[2] = {static_cast<char>(lead), static_cast<char>(trail)};
    out.AddSjis(std::string_view(sjis, 2));
}

bool IsJisByte(unsigned char c) {
    return c >= 0x21 && c <= 0x7E;
}

// ISO-2022-JP and its variants: ASCII, JIS X 0201 Roman and katakana, JIS X 0208 (1978 and
// 1983); the two-byte sets code page 932 lacks (JIS X 0212, and the Chinese and Korean sets
// of ISO-2022-JP-2) give "?" per character. Unknown escape sequences stay as written.
void DecodeIso2022Jp(std::string_view text, CSjisBuilder& out) {
    enum class Mode { Ascii, Roman, Kana, Kanji, OtherTwoByte };
    Mode mode = Mode::Ascii;
    for (std::size_t pos = 0; pos < text.size();) {
        const auto b = static_cast<unsigned char>(text[pos]);
        if (b == kEsc) {
            const std::string_view rest = text.substr(pos + 1);
            struct Escape {
                std::string_view sequence;
                Mode mode;
            };
            static constexpr Escape kEscapes[] = {
                {"(B", Mode::Ascii},    {"(J", Mode::Roman},        {"(H", Mode::Roman},
                {"(I", Mode::Kana},     {"$@", Mode::Kanji},        {"$B", Mode::Kanji},
                {"$(B", Mode::Kanji},   {"$(@", Mode::Kanji},       {"$A", Mode::OtherTwoByte},
                {"$(C", Mode::OtherTwoByte}, {"$(D", Mode::OtherTwoByte},
                {"$(O", Mode::OtherTwoByte}, {"$(P", Mode::OtherTwoByte},
                {"$(Q", Mode::OtherTwoByte},
            };
            bool bKnown = false;
            for (const Escape& escape : kEscapes) {
                if (rest.substr(0, escape.sequence.size()) == escape.sequence) {
                    mode = escape.mode;
                    pos += 1 + escape.sequence.size();
                    bKnown = true;
                    break;
                }
            }
            if (!bKnown && rest.substr(0, 2) == "&@") {
                pos += 3;  // announces the revised JIS X 0208 that follows
                bKnown = true;
            }
            if (bKnown) {
                continue;
            }
        }
        if ((mode == Mode::Kanji || mode == Mode::OtherTwoByte) && IsJisByte(b)) {
            if (pos + 1 >= text.size() || !IsJisByte(static_cast<unsigned char>(text[pos + 1]))) {
                out.AddUnicode('?');
                ++pos;
                continue;
            }
            if (mode == Mode::Kanji) {
                AddJisX0208(b, static_cast<unsigned char>(text[pos + 1]), out);
            } else {
                out.AddUnicode('?');
            }
            pos += 2;
            continue;
        }
        if (mode == Mode::Kana && b >= 0x21 && b <= 0x5F) {
            out.AddSjisByte(static_cast<unsigned char>(b + 0x80));
        } else if (mode == Mode::Roman && b == 0x5C) {
            out.AddUnicode(0x00A5);
        } else if (mode == Mode::Roman && b == 0x7E) {
            out.AddUnicode(0x203E);
        } else if (b >= 0x80) {
            out.AddUnicode('?');  // no 8-bit byte belongs in ISO-2022-JP
        } else {
            out.AddUnicode(b);
        }
        ++pos;
    }
}

void DecodeEucJp(std::string_view text, CSjisBuilder& out) {
    const auto byte = [&](std::size_t at) {
        return at < text.size() ? static_cast<unsigned char>(text[at]) : 0;
    };
    for (std::size_t pos = 0; pos < text.size();) {
        const unsigned char b = byte(pos);
        if (b < 0x80) {
            out.AddUnicode(b);
            ++pos;
        } else if (b == 0x8E && byte(pos + 1) >= 0xA1 && byte(pos + 1) <= 0xDF) {
            out.AddSjisByte(byte(pos + 1));  // half-width katakana
            pos += 2;
        } else if (b == 0x8F && byte(pos + 1) >= 0xA1 && byte(pos + 2) >= 0xA1 &&
                   byte(pos + 1) <= 0xFE && byte(pos + 2) <= 0xFE) {
            out.AddUnicode('?');  // JIS X 0212, which code page 932 lacks
            pos += 3;
        } else if (b >= 0xA1 && b <= 0xFE && byte(pos + 1) >= 0xA1 && byte(pos + 1) <= 0xFE) {
            AddJisX0208(b & 0x7F, byte(pos + 1) & 0x7F, out);
            pos += 2;
        } else {
            out.AddUnicode('?');
            ++pos;
        }
    }
}

void DecodeSingleByte(const engine::charset_tables::SingleByteCharset& charset, std::string_view text,
                      CSjisBuilder& out) {
    for (char c : text) {
        const auto b = static_cast<unsigned char>(c);
        out.AddUnicode(b < 0x80 ? char32_t(b) : char32_t(charset.arrUpper[b - 0x80]));
    }
}

// The charset name in lower case without "-", "_", spaces and the RFC 2231 "*language".
std::string NormaliseCharsetName(std::string_view name) {
    const std::size_t star = name.find('*');
    if (star != std::string_view::npos) {
        name = name.substr(0, star);
    }
    std::string normal;
    for (char c : name) {
        if (c == '-' || c == '_' || c == ' ' || c == '\t') {
            continue;
        }
        normal += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return normal;
}

struct CharsetChoice {
    Charset kind = Charset::Unknown;
    const engine::charset_tables::SingleByteCharset* pSingle = nullptr;
};

CharsetChoice FindCharset(std::string_view name) {
    const std::string normal = NormaliseCharsetName(name);
    static const struct {
        std::string_view name;
        Charset kind;
    } kNames[] = {
        {"utf8", Charset::Utf8},          {"usascii", Charset::Utf8},
        {"ascii", Charset::Utf8},         {"shiftjis", Charset::ShiftJis},
        {"sjis", Charset::ShiftJis},      {"xsjis", Charset::ShiftJis},
        {"cp932", Charset::ShiftJis},     {"windows31j", Charset::ShiftJis},
        {"ms932", Charset::ShiftJis},     {"mskanji", Charset::ShiftJis},
        {"csshiftjis", Charset::ShiftJis}, {"xmscp932", Charset::ShiftJis},
        {"eucjp", Charset::EucJp},        {"xeucjp", Charset::EucJp},
        {"cseucpkdfmtjapanese", Charset::EucJp}, {"ujis", Charset::EucJp},
        {"iso2022jp", Charset::Iso2022Jp}, {"csiso2022jp", Charset::Iso2022Jp},
        {"iso2022jp1", Charset::Iso2022Jp}, {"iso2022jp2", Charset::Iso2022Jp},
        {"iso2022jp3", Charset::Iso2022Jp}, {"iso2022jpms", Charset::Iso2022Jp},
        {"jis", Charset::Iso2022Jp},
    };
    for (const auto& entry : kNames) {
        if (normal == entry.name) {
            return {entry.kind, nullptr};
        }
    }
    // ISO-8859-x, windows-125x (also cp125x), KOI8, and the latin1 names.
    std::string single = normal;
    if (single == "latin1" || single == "l1") {
        single = "iso88591";
    } else if (single.rfind("cp125", 0) == 0) {
        single = "windows" + single.substr(2);
    }
    for (std::size_t i = 0; i < engine::charset_tables::kSingleByteCount; ++i) {
        const engine::charset_tables::SingleByteCharset& charset = engine::charset_tables::kSingleByte[i];
        if (NormaliseCharsetName(charset.pszName) == single) {
            return {Charset::SingleByte, &charset};
        }
    }
    return {};
}

void Convert(const CharsetChoice& charset, std::string_view bytes, CSjisBuilder& out) {
    switch (charset.kind) {
        case Charset::Utf8:
            DecodeUtf8(bytes, out);
            break;
        case Charset::ShiftJis:
            out.AddSjis(bytes);
            break;
        case Charset::EucJp:
            DecodeEucJp(bytes, out);
            break;
        case Charset::Iso2022Jp:
            DecodeIso2022Jp(bytes, out);
            break;
        case Charset::SingleByte:
            DecodeSingleByte(*charset.pSingle, bytes, out);
            break;
        case Charset::Unknown:
            out.AddSjis(bytes);
            break;
    }
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// One encoded word found in text.
struct EncodedWord {
    std::size_t nStart = 0;
    std::size_t nEnd = 0;  // after "?="
    std::string_view charset;
    std::string bytes;
    CharsetChoice choice;
};

// Reads the encoded word that starts at pos ("=?"); false when there is none there.
bool ReadEncodedWord(std::string_view text, std::size_t pos, EncodedWord& word) {
    std::size_t at = pos + 2;
    const std::size_t charsetStart = at;
    while (at < text.size() && text[at] != '?') {
        const auto c = static_cast<unsigned char>(text[at]);
        if (c <= 0x20 || c >= 0x7F || c == '=') {
            return false;
        }
        ++at;
    }
    if (at == charsetStart || at + 2 >= text.size() || text[at + 2] != '?') {
        return false;
    }
    const char encoding = text[at + 1];
    const std::size_t textStart = at + 3;
    std::size_t end = textStart;
    while (end + 1 < text.size() && !(text[end] == '?' && text[end + 1] == '=')) {
        const auto c = static_cast<unsigned char>(text[end]);
        if (c <= 0x20 || c >= 0x7F) {
            return false;
        }
        ++end;
    }
    if (end + 1 >= text.size()) {
        return false;
    }
    word.nStart = pos;
    word.nEnd = end + 2;
    word.charset = text.substr(charsetStart, at - charsetStart);
    word.bytes.clear();
    if (!DecodeEncodedText(encoding, text.substr(textStart, end - textStart), word.bytes)) {
        return false;
    }
    word.choice = FindCharset(word.charset);
    return true;
}

}  // namespace

bool DecodeEncodedText(char encoding, std::string_view text, std::string& bytes) {
    if (encoding == 'B' || encoding == 'b') {
        CBase64Decoder decoder;
        std::vector<unsigned char> decoded(CBase64Decoder::GetDecodedBound(text.size()));
        const std::size_t count = decoder.Decode(text.data(), text.size(), decoded.data());
        bytes.append(reinterpret_cast<const char*>(decoded.data()), count);
        return true;
    }
    if (encoding == 'Q' || encoding == 'q') {
        for (std::size_t pos = 0; pos < text.size(); ++pos) {
            const char c = text[pos];
            if (c == '_') {
                bytes += ' ';
            } else if (c == '=' && pos + 2 < text.size() && HexValue(text[pos + 1]) >= 0 &&
                       HexValue(text[pos + 2]) >= 0) {
                bytes += static_cast<char>(HexValue(text[pos + 1]) << 4 | HexValue(text[pos + 2]));
                pos += 2;
            } else {
                bytes += c;
            }
        }
        return true;
    }
    return false;
}

bool ConvertToShiftJis(std::string_view charsetName, std::string_view bytes, std::string& out) {
    const CharsetChoice choice = FindCharset(charsetName);
    if (choice.kind == Charset::Unknown) {
        return false;
    }
    CSjisBuilder builder(out);
    Convert(choice, bytes, builder);
    return true;
}

std::string ConvertRawHeaderText(std::string_view raw) {
    bool bEscape = false;
    bool bEightBit = false;
    for (char c : raw) {
        bEscape |= static_cast<unsigned char>(c) == kEsc;
        bEightBit |= static_cast<unsigned char>(c) >= 0x80;
    }
    std::string out;
    if (bEscape) {
        CSjisBuilder builder(out);
        DecodeIso2022Jp(raw, builder);
    } else if (bEightBit && IsWellFormedUtf8(raw)) {
        CSjisBuilder builder(out);
        DecodeUtf8(raw, builder);
    } else {
        out.assign(raw);
    }
    return out;
}

std::string DecodeHeaderText(std::string_view raw) {
    const std::string text = ConvertRawHeaderText(raw);
    if (sjis::Find(text, "=?") == std::string::npos) {
        return text;
    }
    std::string out;
    std::size_t pos = 0;       // what is not yet in out starts here
    std::size_t scan = 0;      // where the search for the next word goes on
    bool bAfterWord = false;   // out ends with a decoded word (pos is right after it)
    std::string pendingBytes;  // bytes of adjacent decoded words of one charset
    CharsetChoice pendingCharset;
    std::string pendingName;
    const auto flushPending = [&]() {
        if (!pendingBytes.empty()) {
            CSjisBuilder builder(out);
            Convert(pendingCharset, pendingBytes, builder);
            pendingBytes.clear();
        }
    };
    EncodedWord word;
    while (true) {
        const std::size_t start = sjis::Find(text, "=?", scan);
        if (start == std::string::npos) {
            break;
        }
        if (!ReadEncodedWord(text, start, word) || word.choice.kind == Charset::Unknown) {
            scan = start + 2;
            continue;
        }
        const std::string_view between(text.data() + pos, start - pos);
        const bool bAdjacent =
            bAfterWord && std::all_of(between.begin(), between.end(), IsSpace);
        const std::string name = NormaliseCharsetName(word.charset);
        if (!bAdjacent || name != pendingName) {
            flushPending();
        }
        if (!bAdjacent) {
            out.append(between);
        }
        pendingBytes += word.bytes;
        pendingCharset = word.choice;
        pendingName = name;
        bAfterWord = true;
        pos = scan = word.nEnd;
    }
    flushPending();
    out.append(text, pos, std::string::npos);
    return out;
}

}  // namespace engine
