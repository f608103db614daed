// The header-text decoder: character sets to Shift_JIS, encoded words, raw 8-bit text.

#include "engine/text/HeaderText.h"

#include "engine/codec/Base64Decoder.h"
#include "engine/codec/Hex.h"
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

// The double-byte set of that name in the generated tables.
const charset_tables::DoubleByteCharset& DoubleByteSet(std::string_view name) {
    for (std::size_t i = 0; i < charset_tables::kDoubleByteCount; ++i) {
        if (name == charset_tables::kDoubleByte[i].pszName) {
            return charset_tables::kDoubleByte[i];
        }
    }
    return charset_tables::kDoubleByte[0];  // not reached: the names are the tables'
}

void AddCp932Code(std::uint16_t code, CSjisBuilder& out) {
    if (code < 0x100) {
        out.AddSjisByte(static_cast<unsigned char>(code));
    } else {
        const char sjis[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
        out.AddSjis(std::string_view(sjis, 2));
    }
}

// One character of a double-byte set: its code page 932 code, or "?" when it has none.
void AddDoubleByte(const charset_tables::DoubleByteCharset& set, unsigned lead, unsigned trail,
                   CSjisBuilder& out) {
    if (lead >= set.nLeadMin && lead <= set.nLeadMax && trail >= set.nTrailMin &&
        trail <= set.nTrailMax) {
        const std::size_t width = set.nTrailMax - set.nTrailMin + 1u;
        const std::uint16_t code = set.pCodes[(lead - set.nLeadMin) * width + trail - set.nTrailMin];
        if (code != 0) {
            AddCp932Code(code, out);
            return;
        }
    }
    out.AddUnicode('?');
}

bool InRange(unsigned char c, unsigned char low, unsigned char high) {
    return c >= low && c <= high;
}

// The double-byte sets with an ASCII lower half: a lead byte and a trail byte that fits
// the set's rule make a character; any other 8-bit byte is "?" on its own.
template <typename IsTrail>
void DecodeDoubleByte(const charset_tables::DoubleByteCharset& set, std::string_view text,
                      IsTrail isTrail, CSjisBuilder& out) {
    for (std::size_t pos = 0; pos < text.size();) {
        const auto b = static_cast<unsigned char>(text[pos]);
        if (b < 0x80) {
            out.AddUnicode(b);
            ++pos;
        } else if (InRange(b, 0x81, 0xFE) && pos + 1 < text.size() &&
                   isTrail(static_cast<unsigned char>(text[pos + 1]))) {
            AddDoubleByte(set, b, static_cast<unsigned char>(text[pos + 1]), out);
            pos += 2;
        } else {
            out.AddUnicode('?');
            ++pos;
        }
    }
}

// EUC-KR and code page 949, whose trail bytes also take letters.
void DecodeKorean(std::string_view text, CSjisBuilder& out) {
    DecodeDoubleByte(DoubleByteSet("ks_c_5601"), text, [](unsigned char t) {
        return InRange(t, 0x41, 0x5A) || InRange(t, 0x61, 0x7A) || InRange(t, 0x81, 0xFE);
    }, out);
}

void DecodeBig5(std::string_view text, CSjisBuilder& out) {
    DecodeDoubleByte(DoubleByteSet("big5"), text, [](unsigned char t) {
        return InRange(t, 0x40, 0x7E) || InRange(t, 0xA1, 0xFE);
    }, out);
}

// The byte at a position of text, 0 past its end (so a code cut short matches no range).
unsigned char ByteAt(std::string_view text, std::size_t at) {
    return at < text.size() ? static_cast<unsigned char>(text[at]) : 0;
}

// GB18030, which holds GBK and GB2312: two-byte codes from the table, four-byte codes of
// the BMP by their runs; the four-byte codes beyond the BMP are "?".
void DecodeGb18030(std::string_view text, CSjisBuilder& out) {
    const charset_tables::DoubleByteCharset& set = DoubleByteSet("gb18030");
    const auto byte = [&](std::size_t at) { return ByteAt(text, at); };
    for (std::size_t pos = 0; pos < text.size();) {
        const unsigned char b = byte(pos);
        if (b < 0x80) {
            out.AddUnicode(b);
            ++pos;
        } else if (InRange(b, 0x81, 0xFE) && InRange(byte(pos + 1), 0x30, 0x39) &&
                   InRange(byte(pos + 2), 0x81, 0xFE) && InRange(byte(pos + 3), 0x30, 0x39)) {
            const unsigned index = (b - 0x81u) * 12600u + (byte(pos + 1) - 0x30u) * 1260u +
                                   (byte(pos + 2) - 0x81u) * 10u + (byte(pos + 3) - 0x30u);
            using charset_tables::kGb18030Ranges;
            const auto* const end = kGb18030Ranges + charset_tables::kGb18030RangeCount;
            if (index <= 39419) {
                const auto* run = std::upper_bound(
                    kGb18030Ranges, end, index,
                    [](unsigned value, const charset_tables::Gb18030Range& range) {
                        return value < range.nIndex;
                    });
                --run;  // the first run starts at 0
                out.AddUnicode(char32_t(run->nUnicode) + (index - run->nIndex));
            } else {
                out.AddUnicode('?');
            }
            pos += 4;
        } else if (InRange(b, 0x81, 0xFE) &&
                   (InRange(byte(pos + 1), 0x40, 0x7E) || InRange(byte(pos + 1), 0x80, 0xFE))) {
            AddDoubleByte(set, b, byte(pos + 1), out);
            pos += 2;
        } else {
            out.AddUnicode('?');
            ++pos;
        }
    }
}

// Joins UTF-16 code units into characters; a surrogate without its partner is "?".
class CUtf16Joiner {
public:
    explicit CUtf16Joiner(CSjisBuilder& out) : m_out(out) {}
    CUtf16Joiner(const CUtf16Joiner&) = delete;
    CUtf16Joiner& operator=(const CUtf16Joiner&) = delete;
    ~CUtf16Joiner() { Flush(); }

    void Add(char16_t unit) {
        if (unit >= 0xDC00 && unit <= 0xDFFF && m_high != 0) {
            m_out.AddUnicode(0x10000 + ((char32_t(m_high) - 0xD800) << 10) + (unit - 0xDC00u));
            m_high = 0;
            return;
        }
        Flush();
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            m_high = unit;
        } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
            m_out.AddUnicode('?');
        } else {
            m_out.AddUnicode(unit);
        }
    }

    void Flush() {
        if (m_high != 0) {
            m_out.AddUnicode('?');
            m_high = 0;
        }
    }

private:
    CSjisBuilder& m_out;
    char16_t m_high = 0;
};

// UTF-16 in the given byte order; a byte order mark first chooses the order itself (when
// bomDecides) or is dropped. An odd last byte is "?".
void DecodeUtf16(std::string_view text, bool bigEndian, bool bomDecides, CSjisBuilder& out) {
    std::size_t pos = 0;
    if (text.size() >= 2) {
        const auto b0 = static_cast<unsigned char>(text[0]);
        const auto b1 = static_cast<unsigned char>(text[1]);
        if ((b0 == 0xFE && b1 == 0xFF) || (b0 == 0xFF && b1 == 0xFE)) {
            if (bomDecides) {
                bigEndian = b0 == 0xFE;
            }
            if ((b0 == 0xFE) == bigEndian) {
                pos = 2;
            }
        }
    }
    {
        CUtf16Joiner joiner(out);
        for (; pos + 1 < text.size(); pos += 2) {
            const auto first = static_cast<unsigned char>(text[pos]);
            const auto second = static_cast<unsigned char>(text[pos + 1]);
            joiner.Add(static_cast<char16_t>(bigEndian ? first << 8 | second : second << 8 | first));
        }
    }
    if (pos < text.size()) {
        out.AddUnicode('?');
    }
}

int Base64Value(char c);

// UTF-7: "+" opens modified base64 of UTF-16 big-endian up to the first byte that is not
// base64 ("-" right after it closes it and goes); "+-" is "+".
void DecodeUtf7(std::string_view text, CSjisBuilder& out) {
    for (std::size_t pos = 0; pos < text.size();) {
        const auto c = static_cast<unsigned char>(text[pos]);
        if (c != '+') {
            out.AddUnicode(c < 0x80 ? char32_t(c) : char32_t('?'));
            ++pos;
            continue;
        }
        ++pos;
        if (pos < text.size() && text[pos] == '-') {
            out.AddUnicode('+');
            ++pos;
            continue;
        }
        CUtf16Joiner joiner(out);
        std::uint32_t bits = 0;
        int count = 0;
        for (int value = 0; pos < text.size() && (value = Base64Value(text[pos])) >= 0; ++pos) {
            bits = (bits << 6 | static_cast<std::uint32_t>(value)) & 0xFFFFFF;
            count += 6;
            if (count >= 16) {
                count -= 16;
                joiner.Add(static_cast<char16_t>(bits >> count & 0xFFFF));
            }
        }
        if (pos < text.size() && text[pos] == '-') {
            ++pos;
        }
    }
}

int Base64Value(char c) {
    if (c >= 'A' && c <= 'Z') {
        return c - 'A';
    }
    if (c >= 'a' && c <= 'z') {
        return c - 'a' + 26;
    }
    if (c >= '0' && c <= '9') {
        return c - '0' + 52;
    }
    return c == '+' ? 62 : c == '/' ? 63 : -1;
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
// 1983), JIS X 0212 (what code page 932 holds of it); the Chinese and Korean sets of
// ISO-2022-JP-2 give "?" per character. Unknown escape sequences stay as written.
void DecodeIso2022Jp(std::string_view text, CSjisBuilder& out) {
    enum class Mode { Ascii, Roman, Kana, Kanji, Supplementary, OtherTwoByte };
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
                {"$(C", Mode::OtherTwoByte}, {"$(D", Mode::Supplementary},
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
        if ((mode == Mode::Kanji || mode == Mode::Supplementary || mode == Mode::OtherTwoByte) &&
            IsJisByte(b)) {
            if (pos + 1 >= text.size() || !IsJisByte(static_cast<unsigned char>(text[pos + 1]))) {
                out.AddUnicode('?');
                ++pos;
                continue;
            }
            if (mode == Mode::Kanji) {
                AddJisX0208(b, static_cast<unsigned char>(text[pos + 1]), out);
            } else if (mode == Mode::Supplementary) {
                AddDoubleByte(DoubleByteSet("jis_x0212"), b | 0x80u,
                              static_cast<unsigned char>(text[pos + 1]) | 0x80u, out);
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
    const auto byte = [&](std::size_t at) { return ByteAt(text, at); };
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
            AddDoubleByte(DoubleByteSet("jis_x0212"), byte(pos + 1), byte(pos + 2), out);
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
        {"euckr", Charset::Korean},       {"xeuckr", Charset::Korean},
        {"ksc56011987", Charset::Korean}, {"ksc56011989", Charset::Korean},
        {"ksc5601", Charset::Korean},     {"csksc56011987", Charset::Korean},
        {"ksx1001", Charset::Korean},     {"cp949", Charset::Korean},
        {"windows949", Charset::Korean},  {"uhc", Charset::Korean},
        {"cseuckr", Charset::Korean},     {"korean", Charset::Korean},
        {"gb2312", Charset::Chinese},     {"csgb2312", Charset::Chinese},
        {"euccn", Charset::Chinese},      {"xeuccn", Charset::Chinese},
        {"gbk", Charset::Chinese},        {"xgbk", Charset::Chinese},
        {"cp936", Charset::Chinese},      {"windows936", Charset::Chinese},
        {"ms936", Charset::Chinese},      {"gb18030", Charset::Chinese},
        {"chinese", Charset::Chinese},    {"csgbk", Charset::Chinese},
        {"big5", Charset::Big5},          {"csbig5", Charset::Big5},
        {"xxbig5", Charset::Big5},        {"big5hkscs", Charset::Big5},
        {"cp950", Charset::Big5},         {"windows950", Charset::Big5},
        {"ms950", Charset::Big5},         {"cnbig5", Charset::Big5},
        {"utf7", Charset::Utf7},          {"unicode11utf7", Charset::Utf7},
        {"csunicode11utf7", Charset::Utf7}, {"xunicode20utf7", Charset::Utf7},
        {"utf16", Charset::Utf16},        {"ucs2", Charset::Utf16},
        {"utf16le", Charset::Utf16Le},    {"utf16be", Charset::Utf16Be},
        {"unicodefffe", Charset::Utf16Be}, {"unicode", Charset::Utf16Le},
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
        case Charset::Korean:
            DecodeKorean(bytes, out);
            break;
        case Charset::Chinese:
            DecodeGb18030(bytes, out);
            break;
        case Charset::Big5:
            DecodeBig5(bytes, out);
            break;
        case Charset::Utf7:
            DecodeUtf7(bytes, out);
            break;
        case Charset::Utf16:
            DecodeUtf16(bytes, true, true, out);
            break;
        case Charset::Utf16Le:
            DecodeUtf16(bytes, false, false, out);
            break;
        case Charset::Utf16Be:
            DecodeUtf16(bytes, true, false, out);
            break;
        case Charset::Unknown:
            out.AddSjis(bytes);
            break;
    }
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

// Finds the encoded words of one text. Candidates are tried left to right, and the two
// searches a candidate needs past its "?B?" (the closing "?=" and the first byte no encoded
// word may hold) each move only forward over the text, so a text full of "=?" that never
// close costs one pass, not one pass per candidate.
class CEncodedWordScanner {
public:
    explicit CEncodedWordScanner(std::string_view text) : m_text(text) {}

    // Reads the encoded word that starts at pos ("=?"); false when there is none there.
    bool Read(std::size_t pos, EncodedWord& word) {
        const std::string_view text = m_text;
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
        const std::size_t end = NextClose(textStart);
        if (end == std::string_view::npos || NextInvalid(textStart) < end) {
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
        if (word.choice.kind == Charset::Unknown && IsWellFormedUtf8(word.bytes)) {
            word.choice.kind = Charset::Utf8;
        }
        return true;
    }

private:
    // The first "?=" at or after from, npos when there is none.
    std::size_t NextClose(std::size_t from) {
        if (!m_bCloseKnown || m_nClose < from || from < m_nCloseFrom) {
            m_nClose = m_text.find("?=", from);
            m_nCloseFrom = from;
            m_bCloseKnown = true;
            if (m_nClose == std::string_view::npos) {
                m_nCloseFrom = 0;  // none at or after any later start either
            }
        }
        return m_nClose;
    }

    // The first byte at or after from that no encoded word holds (white space, control
    // characters, 8-bit bytes), the text's size when there is none.
    std::size_t NextInvalid(std::size_t from) {
        if (!m_bInvalidKnown || m_nInvalid < from || from < m_nInvalidFrom) {
            std::size_t at = from;
            while (at < m_text.size()) {
                const auto c = static_cast<unsigned char>(m_text[at]);
                if (c <= 0x20 || c >= 0x7F) {
                    break;
                }
                ++at;
            }
            m_nInvalid = at;
            m_nInvalidFrom = from;
            m_bInvalidKnown = true;
        }
        return m_nInvalid;
    }

    std::string_view m_text;
    bool m_bCloseKnown = false;
    std::size_t m_nClose = 0;
    std::size_t m_nCloseFrom = 0;
    bool m_bInvalidKnown = false;
    std::size_t m_nInvalid = 0;
    std::size_t m_nInvalidFrom = 0;
};

// Whether text is well-formed Shift_JIS of characters code page 932 defines, outside its
// user-defined rows (0xF0-0xF9), which no sender means by an ordinary name.
bool IsDefinedShiftJis(std::string_view text) {
    static const std::vector<bool> defined = [] {
        std::vector<bool> codes(0x10000, false);
        for (std::size_t i = 0; i < charset_tables::kCp932Count; ++i) {
            codes[charset_tables::kCp932[i].nCode] = true;
        }
        return codes;
    }();
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
        const auto b = static_cast<unsigned char>(text[pos]);
        if (b < 0x80) {
            continue;
        }
        if (b >= 0xF0 && b <= 0xF9) {
            return false;
        }
        if (sjis::IsLeadByte(b)) {
            if (pos + 1 >= text.size()) {
                return false;
            }
            const auto trail = static_cast<unsigned char>(text[pos + 1]);
            if (!defined[static_cast<std::size_t>(b) << 8 | trail]) {
                return false;
            }
            ++pos;
        } else if (!defined[b]) {
            return false;
        }
    }
    return true;
}

// Whether text is well-formed UTF-8 whose 8-bit characters are all accented Latin letters
// inside words ("ciële.txt"): each has an ASCII letter beside it. Read as Shift_JIS, such
// text is half-width katakana between Latin letters, which Japanese names do not write.
bool IsLatinWordUtf8(std::string_view text) {
    std::vector<char32_t> chars;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t start = pos;
        const char32_t c = NextUtf8(text, pos);
        if (c == kReplacement && pos == start + 1 && static_cast<unsigned char>(text[start]) >= 0x80) {
            return false;
        }
        chars.push_back(c);
    }
    const auto isAsciiLetter = [&](std::size_t i) {
        return i < chars.size() && ((chars[i] >= 'a' && chars[i] <= 'z') || (chars[i] >= 'A' && chars[i] <= 'Z'));
    };
    bool bAny = false;
    for (std::size_t i = 0; i < chars.size(); ++i) {
        const char32_t c = chars[i];
        if (c < 0x80) {
            continue;
        }
        const bool bLatinLetter = c >= 0xC0 && c <= 0x24F && c != 0xD7 && c != 0xF7;
        if (!bLatinLetter || !((i > 0 && isAsciiLetter(i - 1)) || isAsciiLetter(i + 1))) {
            return false;
        }
        bAny = true;
    }
    return bAny;
}

// Whether text is well-formed UTF-8 whose every character code page 932 holds.
bool IsUtf8OfCodePage932(std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t start = pos;
        const char32_t c = NextUtf8(text, pos);
        if (c == kReplacement && pos == start + 1 && static_cast<unsigned char>(text[start]) >= 0x80) {
            return false;
        }
        if (c >= 0x80 && (c > 0xFFFF || Cp932Code(c) == 0)) {
            return false;
        }
    }
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
            } else if (c == '=' && pos + 2 < text.size() && engine::HexValue(text[pos + 1]) >= 0 &&
                       engine::HexValue(text[pos + 2]) >= 0) {
                bytes += static_cast<char>(engine::HexValue(text[pos + 1]) << 4 | engine::HexValue(text[pos + 2]));
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
    } else if (!bEightBit) {
        out.assign(raw);
    } else if (IsUtf8OfCodePage932(raw)) {
        CSjisBuilder builder(out);
        DecodeUtf8(raw, builder);
    } else if (IsDefinedShiftJis(raw) && !IsLatinWordUtf8(raw)) {
        out.assign(raw);
    } else if (IsWellFormedUtf8(raw)) {
        CSjisBuilder builder(out);
        DecodeUtf8(raw, builder);
    } else {
        CSjisBuilder builder(out);
        DecodeSingleByte(*FindCharset("windows-1252").pSingle, raw, builder);
    }
    return out;
}

std::string DropControlCharacters(std::string text) {
    std::size_t kept = 0;
    bool bInBreak = false;  // within a run of CR and LF
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b == '\r' || b == '\n') {
            if (!bInBreak) {
                text[kept++] = ' ';
            }
            bInBreak = true;
            continue;
        }
        bInBreak = false;
        if (b == '\t') {
            text[kept++] = ' ';
        } else if (b >= 0x20) {
            text[kept++] = c;
        }
    }
    text.resize(kept);
    return text;
}

namespace {

// The header-text rule before the control characters go.
std::string DecodeRawAndWords(std::string_view raw) {
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
    CEncodedWordScanner scanner(text);
    while (true) {
        const std::size_t start = sjis::Find(text, "=?", scan);
        if (start == std::string::npos) {
            break;
        }
        if (!scanner.Read(start, word) || word.choice.kind == Charset::Unknown) {
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

}  // namespace

std::string DecodeHeaderText(std::string_view raw) {
    return DropControlCharacters(DecodeRawAndWords(raw));
}

}  // namespace engine
