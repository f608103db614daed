#include "platform/win32/WideText.h"

#include "platform/ShiftJis.h"

#include <windows.h>

namespace platform::win32 {

namespace {

constexpr UINT kCodePage = 932;
constexpr wchar_t kRawByteBase = 0xF000;
constexpr char kDefaultChar[] = "?";

// Converts with MB_ERR_INVALID_CHARS; false when any character is not code page 932.
bool ConvertStrict(std::string_view text, std::wstring& out) {
    out.clear();
    if (text.empty()) {
        return true;
    }
    const int size = static_cast<int>(text.size());
    const int length =
        MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
    if (length <= 0) {
        return false;
    }
    out.resize(static_cast<std::size_t>(length));
    return MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, text.data(), size, out.data(),
                               length) == length;
}

}  // namespace

std::wstring ToWide(std::string_view text) {
    std::wstring out;
    if (ConvertStrict(text, out)) {
        return out;
    }
    // Character by character, by the program's double-byte rule.
    out.clear();
    std::wstring one;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = sjis::CharLength(text, pos);
        if (ConvertStrict(text.substr(pos, length), one) && !one.empty()) {
            out += one;
        } else {
            for (std::size_t i = 0; i < length; ++i) {
                out +=
                    static_cast<wchar_t>(kRawByteBase + static_cast<unsigned char>(text[pos + i]));
            }
        }
        pos += length;
    }
    return out;
}

std::string FromWide(std::wstring_view text) {
    std::string out;
    std::size_t start = 0;
    auto flush = [&](std::size_t end) {
        if (end <= start) {
            return;
        }
        const int size = static_cast<int>(end - start);
        // Never the best-fit mapping: it turns "é" into "e" and "¥" into a backslash, so a
        // path would name another file, or another folder. A character code page 932 has
        // not becomes "?", which no file name holds.
        const int length = WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, text.data() + start,
                                               size, nullptr, 0, kDefaultChar, nullptr);
        if (length > 0) {
            const std::size_t offset = out.size();
            out.resize(offset + static_cast<std::size_t>(length));
            WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, text.data() + start, size,
                                out.data() + offset, length, kDefaultChar, nullptr);
        }
    };
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
        const wchar_t c = text[pos];
        if (c >= kRawByteBase && c < kRawByteBase + 0x100) {
            flush(pos);
            out += static_cast<char>(c - kRawByteBase);
            start = pos + 1;
        }
    }
    flush(text.size());
    return out;
}

}  // namespace platform::win32
