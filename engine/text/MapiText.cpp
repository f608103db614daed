#include "engine/text/MapiText.h"

#include "engine/text/HeaderText.h"

#include <string>

namespace engine {

namespace {

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

std::string_view UpToNul(std::string_view text) {
    const std::size_t nul = text.find('\0');
    return nul == std::string_view::npos ? text : text.substr(0, nul);
}

// The charset name the engine's conversion knows for a Windows code page; empty when none.
std::string CharsetOfCodePage(std::uint32_t codePage) {
    switch (codePage) {
        case 65001:
            return "utf-8";
        case 51932:
        case 20932:
            return "euc-jp";
        case 50220:
        case 50221:
        case 50222:
            return "iso-2022-jp";
        case 65000:
            return "utf-7";
        case 949:
        case 51949:
            return "euc-kr";
        case 936:
        case 54936:
        case 20936:
        case 51936:
            return "gb18030";
        case 950:
            return "big5";
        default:
            if (codePage >= 1250 && codePage <= 1258) {
                return "windows-" + std::to_string(codePage);
            }
            if (codePage >= 28591 && codePage <= 28606) {
                return "iso-8859-" + std::to_string(codePage - 28590);
            }
            if (codePage == 20866) {
                return "koi8-r";
            }
            if (codePage == 21866) {
                return "koi8-u";
            }
            return {};
    }
}

}  // namespace

std::string Utf16ToShiftJis(std::u16string_view text) {
    // UTF-8 first, then the engine's one conversion to Shift_JIS; a lone surrogate is "?".
    std::string utf8;
    for (std::size_t i = 0; i < text.size() && text[i] != 0; ++i) {
        const char16_t unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            AppendUtf8(utf8, 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) +
                                 (static_cast<char32_t>(text[i + 1]) - 0xDC00));
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            utf8 += '?';
        } else {
            AppendUtf8(utf8, unit);
        }
    }
    std::string out;
    engine::ConvertToShiftJis("utf-8", utf8, out);
    return out;
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
    if (codePage == 0 || codePage == 932) {
        return std::string(text);
    }
    std::string out;
    const std::string charset = CharsetOfCodePage(codePage);
    if (!charset.empty() && engine::ConvertToShiftJis(charset, text, out)) {
        return out;
    }
    out.clear();
    for (const char c : text) {
        out += static_cast<unsigned char>(c) < 0x80 ? c : '?';
    }
    return out;
}

}  // namespace engine
