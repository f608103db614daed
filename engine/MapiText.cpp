#include "engine/MapiText.h"

#include "engine/HeaderText.h"
#include "platform/Text.h"

#include <unordered_map>

namespace mapi {

namespace {

// The code page 932 form of the characters that Unicode holds twice.
char32_t PreferredForm(char32_t c) {
    switch (c) {
        case 0x301C:
            return 0xFF5E;  // WAVE DASH
        case 0x2212:
            return 0xFF0D;  // MINUS SIGN
        case 0x2014:
            return 0x2015;  // EM DASH
        case 0x2016:
            return 0x2225;  // DOUBLE VERTICAL LINE
        case 0x00A2:
            return 0xFFE0;  // CENT SIGN
        case 0x00A3:
            return 0xFFE1;  // POUND SIGN
        case 0x00AC:
            return 0xFFE2;  // NOT SIGN
        case 0x00A5:
            return 0xFFE5;  // YEN SIGN
        default:
            return c;
    }
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

// The Shift_JIS bytes of one character, "?" when code page 932 lacks it. The platform's
// conversion is asked, and its answer is kept only when it converts back to the same
// character: that refuses every look-alike a system conversion may pick.
std::string CharToShiftJis(char32_t c) {
    c = PreferredForm(c);
    if (c < 0x80) {
        return std::string(1, static_cast<char>(c));
    }
    if ((c >= 0xD800 && c <= 0xDFFF) || (c >= 0xF000 && c <= 0xF0FF) || c > 0xFFFF) {
        return "?";  // no character, or the private characters that stand for raw bytes
    }
    static std::unordered_map<char32_t, std::string> cache;
    const auto it = cache.find(c);
    if (it != cache.end()) {
        return it->second;
    }
    std::string utf8;
    AppendUtf8(utf8, c);
    const std::string sjis = platform::Utf8ToShiftJis(utf8);
    const bool bHeld = !sjis.empty() && sjis.size() <= 2 && platform::ShiftJisToUtf8(sjis) == utf8;
    return cache.emplace(c, bHeld ? sjis : std::string(1, '?')).first->second;
}

std::string CodePointsToShiftJis(const std::u32string& text) {
    std::string out;
    for (const char32_t c : text) {
        if (c == 0) {
            break;
        }
        out += CharToShiftJis(c);
    }
    return out;
}

// Windows-1252's characters for 0x80 to 0x9F (0 where it has none).
constexpr char16_t kWindows1252[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

std::u32string DecodeUtf8(std::string_view text) {
    std::u32string out;
    for (std::size_t pos = 0; pos < text.size();) {
        const auto b0 = static_cast<unsigned char>(text[pos]);
        std::size_t length = 0;
        char32_t c = 0, min = 0;
        if (b0 < 0x80) {
            out += b0;
            ++pos;
            continue;
        } else if ((b0 & 0xE0) == 0xC0) {
            length = 2, c = b0 & 0x1F, min = 0x80;
        } else if ((b0 & 0xF0) == 0xE0) {
            length = 3, c = b0 & 0x0F, min = 0x800;
        } else if ((b0 & 0xF8) == 0xF0) {
            length = 4, c = b0 & 0x07, min = 0x10000;
        }
        bool bValid = length != 0 && pos + length <= text.size();
        for (std::size_t i = 1; bValid && i < length; ++i) {
            const auto b = static_cast<unsigned char>(text[pos + i]);
            bValid = (b & 0xC0) == 0x80;
            c = c << 6 | (b & 0x3F);
        }
        if (!bValid || c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            out += U'?';
            ++pos;
            continue;
        }
        out += c;
        pos += length;
    }
    return out;
}

// EUC-JP as Shift_JIS: JIS X 0208 by the usual arithmetic, half-width katakana as their
// single bytes; JIS X 0212 and stray bytes become "?".
std::string EucJpToShiftJis(std::string_view text) {
    std::string out;
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
        const auto b = static_cast<unsigned char>(text[pos]);
        if (b < 0x80) {
            out += static_cast<char>(b);
            continue;
        }
        const auto next = pos + 1 < text.size() ? static_cast<unsigned char>(text[pos + 1]) : 0;
        if (b == 0x8E && next >= 0xA1 && next <= 0xDF) {
            out += static_cast<char>(next);
            ++pos;
        } else if (b >= 0xA1 && b <= 0xFE && next >= 0xA1 && next <= 0xFE) {
            const unsigned j1 = b - 0x80, j2 = next - 0x80;
            const unsigned s1 = ((j1 + 1) >> 1) + (j1 <= 0x5E ? 0x70 : 0xB0);
            const unsigned s2 = (j1 & 1) ? j2 + (j2 >= 0x60 ? 0x20 : 0x1F) : j2 + 0x7E;
            out += static_cast<char>(s1);
            out += static_cast<char>(s2);
            ++pos;
        } else {
            if (b == 0x8F && pos + 2 < text.size()) {
                pos += 2;
            }
            out += '?';
        }
    }
    return out;
}

std::string_view UpToNul(std::string_view text) {
    const std::size_t nul = text.find('\0');
    return nul == std::string_view::npos ? text : text.substr(0, nul);
}

}  // namespace

std::string Utf16ToShiftJis(std::u16string_view text) {
    std::u32string codePoints;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            codePoints += 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) +
                          (static_cast<char32_t>(text[i + 1]) - 0xDC00);
            ++i;
        } else {
            codePoints += unit;
        }
    }
    return CodePointsToShiftJis(codePoints);
}

std::string Utf16ToShiftJis(std::string_view utf16le) {
    std::u16string units;
    for (std::size_t i = 0; i + 1 < utf16le.size(); i += 2) {
        units += static_cast<char16_t>(static_cast<unsigned char>(utf16le[i]) |
                                       static_cast<unsigned char>(utf16le[i + 1]) << 8);
    }
    return Utf16ToShiftJis(std::u16string_view(units));
}

std::string CodePageToShiftJis(std::string_view text, std::uint32_t codePage) {
    text = UpToNul(text);
    switch (codePage) {
        case 0:
        case 932:
            return std::string(text);
        case 65001:
            return CodePointsToShiftJis(DecodeUtf8(text));
        case 51932:
        case 20932:
            return EucJpToShiftJis(text);
        case 50220:
        case 50221:
        case 50222: {
            std::string out;
            return engine::ConvertToShiftJis("iso-2022-jp", text, out) ? out : std::string(text);
        }
        case 1252:
        case 28591: {
            std::u32string codePoints;
            for (const char c : text) {
                const auto b = static_cast<unsigned char>(c);
                char32_t cp = b;
                if (codePage == 1252 && b >= 0x80 && b <= 0x9F) {
                    cp = kWindows1252[b - 0x80] ? kWindows1252[b - 0x80] : U'?';
                }
                codePoints += cp;
            }
            return CodePointsToShiftJis(codePoints);
        }
        default: {
            std::string out;
            for (const char c : text) {
                out += static_cast<unsigned char>(c) < 0x80 ? c : '?';
            }
            return out;
        }
    }
}

}  // namespace mapi
