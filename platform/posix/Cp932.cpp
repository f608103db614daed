#include "platform/posix/Cp932.h"

#include "platform/ShiftJis.h"

#include <iconv.h>

#include <array>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace platform::posix {

namespace {

constexpr char32_t kRawByteBase = 0xF000;

class Cp932Table {
public:
    Cp932Table() {
        m_single.fill(0);
        m_double.assign(0x10000, 0);
        iconv_t cd = iconv_open("UTF-32LE", "CP932");
        if (cd == reinterpret_cast<iconv_t>(-1)) {
            return;
        }
        for (unsigned b = 0; b < 0x100; ++b) {
            const char in[1] = {static_cast<char>(b)};
            m_single[b] = Convert(cd, in, 1);
        }
        // Preferred codes first, so that the reverse map picks what Windows picks for the
        // characters that code page 932 holds twice: NEC-selected IBM extensions (0xED,
        // 0xEE) come after the IBM extensions (0xFA-0xFC).
        std::vector<unsigned> leads;
        for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
            if (sjis::IsLeadByte(static_cast<unsigned char>(lead)) && lead != 0xED &&
                lead != 0xEE) {
                leads.push_back(lead);
            }
        }
        leads.push_back(0xED);
        leads.push_back(0xEE);
        for (unsigned b = 0; b < 0x80; ++b) {
            AddReverse(m_single[b], static_cast<std::uint16_t>(b));
        }
        for (unsigned b = 0xA1; b <= 0xDF; ++b) {
            AddReverse(m_single[b], static_cast<std::uint16_t>(b));
        }
        for (unsigned lead : leads) {
            for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
                if (!sjis::IsTrailByte(static_cast<unsigned char>(trail))) {
                    continue;
                }
                const char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                const char32_t c = Convert(cd, in, 2);
                const auto code = static_cast<std::uint16_t>(lead << 8 | trail);
                m_double[code] = c;
                AddReverse(c, code);
            }
        }
        iconv_close(cd);
    }

    // Whether a byte is ASCII (not NUL) and its own character in code page 932.
    bool IsPlainAscii(unsigned char b) const {
        return b != 0 && b < 0x80 && m_single[b] == static_cast<char32_t>(b);
    }

    // The character of a single byte or a double-byte code, or 0 when it has none.
    char32_t Single(unsigned char b) const { return m_single[b]; }
    char32_t Double(std::uint16_t code) const { return m_double[code]; }

    // The code for a character, or 0 when code page 932 lacks it.
    std::uint16_t Reverse(char32_t c) const {
        const auto it = m_reverse.find(c);
        return it == m_reverse.end() ? 0 : it->second;
    }

private:
    static char32_t Convert(iconv_t cd, const char* in, std::size_t size) {
        char* inPtr = const_cast<char*>(in);
        std::uint8_t out[8] = {};
        char* outPtr = reinterpret_cast<char*>(out);
        std::size_t inLeft = size, outLeft = sizeof out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) ||
            inLeft != 0 || outLeft != 4) {
            return 0;
        }
        const char32_t c = static_cast<char32_t>(out[0] | out[1] << 8 | out[2] << 16 |
                                                 static_cast<std::uint32_t>(out[3]) << 24);
        // NUL is only ever the byte 0x00.
        return (c == 0 && !(size == 1 && in[0] == 0)) ? 0 : c;
    }

    void AddReverse(char32_t c, std::uint16_t code) {
        if (c != 0 || code == 0) {
            m_reverse.emplace(c, code);
        }
    }

    std::array<char32_t, 256> m_single;
    std::vector<char32_t> m_double;
    std::unordered_map<char32_t, std::uint16_t> m_reverse;
};

const Cp932Table& Table() {
    // Built once and kept to the end: taking it apart at exit would only cost time.
    static const Cp932Table* const table = new Cp932Table();
    return *table;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Decodes one UTF-8 character at text[pos]; returns its length, or 0 when the bytes there
// are not well-formed UTF-8.
std::size_t DecodeUtf8(std::string_view text, std::size_t pos, char32_t& c) {
    const auto b0 = static_cast<unsigned char>(text[pos]);
    std::size_t length;
    char32_t min;
    if (b0 < 0x80) {
        c = b0;
        return 1;
    } else if ((b0 & 0xE0) == 0xC0) {
        length = 2, c = b0 & 0x1F, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        length = 3, c = b0 & 0x0F, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        length = 4, c = b0 & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (pos + length > text.size()) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto b = static_cast<unsigned char>(text[pos + i]);
        if ((b & 0xC0) != 0x80) {
            return 0;
        }
        c = c << 6 | (b & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        return 0;
    }
    return length;
}

}  // namespace

std::string SjisToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 3 / 2);
    AppendSjisAsUtf8(out, text);
    return out;
}

void AppendSjisAsUtf8(std::string& out, std::string_view text) {
    const Cp932Table& table = Table();
    for (std::size_t pos = 0; pos < text.size();) {
        // A run of ASCII bytes that the table keeps as they are goes over in one piece.
        std::size_t run = pos;
        while (run < text.size() && table.IsPlainAscii(static_cast<unsigned char>(text[run]))) {
            ++run;
        }
        if (run > pos) {
            out.append(text.substr(pos, run - pos));
            pos = run;
            continue;
        }
        const std::size_t length = sjis::CharLength(text, pos);
        const auto b0 = static_cast<unsigned char>(text[pos]);
        char32_t c = 0;
        if (length == 2) {
            c = table.Double(
                static_cast<std::uint16_t>(b0 << 8 | static_cast<unsigned char>(text[pos + 1])));
        } else {
            c = table.Single(b0);
        }
        if (c == 0 && b0 != 0) {
            for (std::size_t i = 0; i < length; ++i) {
                AppendUtf8(out, kRawByteBase + static_cast<unsigned char>(text[pos + i]));
            }
        } else {
            AppendUtf8(out, c);
        }
        pos += length;
    }
}

std::string Utf8ToSjis(std::string_view text) {
    const Cp932Table& table = Table();
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        char32_t c = 0;
        const std::size_t length = DecodeUtf8(text, pos, c);
        if (length == 0) {
            out += '?';
            ++pos;
            continue;
        }
        pos += length;
        if (c >= kRawByteBase && c < kRawByteBase + 0x100) {
            out += static_cast<char>(c - kRawByteBase);
            continue;
        }
        const std::uint16_t code = c == 0 ? 0 : table.Reverse(c);
        if (c == 0) {
            out += '\0';
        } else if (code == 0) {
            out += '?';
        } else if (code > 0xFF) {
            out += static_cast<char>(code >> 8);
            out += static_cast<char>(code & 0xFF);
        } else {
            out += static_cast<char>(code);
        }
    }
    return out;
}

}  // namespace platform::posix
