#include "engine/Base64Decoder.h"

#include <cstdint>

namespace {

constexpr unsigned char kEsc = 0x1B;

// The base64 value of every byte value, -1 outside the alphabet.
struct AlphabetTable {
    signed char values[256];
};

constexpr AlphabetTable MakeAlphabetTable() {
    AlphabetTable table{};
    for (int c = 0; c < 256; ++c) {
        table.values[c] = -1;
    }
    const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (int value = 0; value < 64; ++value) {
        table.values[static_cast<unsigned char>(alphabet[value])] = static_cast<signed char>(value);
    }
    return table;
}

constexpr AlphabetTable kAlphabetValues = MakeAlphabetTable();

bool IsJisByte(unsigned char c) {
    return c >= 0x21 && c <= 0x7E;
}

// How one group of up to four characters was read.
struct GroupScan {
    std::uint32_t nBits = 0;
    bool bHasData = false;
    bool bWhole = false;       // four positions filled
    std::size_t nPadding = 0;  // "=" bytes met
};

// Reads the group that starts at i, advancing i over the bytes skipped inside it. The
// positions of the group are i .. i + 3 once every skipped byte has been passed.
GroupScan ScanGroup(const char* text, std::size_t length, std::size_t& i) {
    GroupScan scan;
    std::size_t k = 0;
    while (k < 4) {
        if (i + k >= length) {
            return scan;
        }
        const unsigned char c = static_cast<unsigned char>(text[i + k]);
        const int value = CBase64Decoder::AlphabetValue(c);
        if (value >= 0) {
            scan.nBits |= static_cast<std::uint32_t>(value) << (18 - 6 * k);
            scan.bHasData = true;
            ++k;
        } else if (c == '=') {
            ++scan.nPadding;
            if (i + k + 1 >= length) {
                scan.bWhole = k == 3;  // the "=" fills the last position
                return scan;
            }
            ++k;
        } else {
            ++i;  // skipped: the whole group slides on by one byte
        }
    }
    scan.bWhole = true;
    return scan;
}

}  // namespace

int CBase64Decoder::AlphabetValue(unsigned char c) {
    return kAlphabetValues.values[c];
}

std::size_t CBase64Decoder::GetDecodedSize(const char* text, std::size_t length) const {
    std::size_t pairs = 0;
    for (std::size_t i = 0; i + 1 < length; ++i) {
        if (text[i] == '\r' && text[i + 1] == '\n') {
            ++pairs;
            ++i;
        }
    }
    return (length - 2 * pairs) / 4 * 3;
}

std::size_t CBase64Decoder::GetDecodedBound(std::size_t length) {
    return length < 4 ? 3 : length / 4 * 3;
}

std::size_t CBase64Decoder::Decode(const char* text, std::size_t length, unsigned char* out) const {
    std::size_t i = 0;
    std::size_t padding = 0;
    std::size_t count = 0;
    do {
        // The common case: four characters of the alphabet in a row.
        if (i + 4 <= length) {
            const int a = AlphabetValue(static_cast<unsigned char>(text[i]));
            const int b = AlphabetValue(static_cast<unsigned char>(text[i + 1]));
            const int c = AlphabetValue(static_cast<unsigned char>(text[i + 2]));
            const int d = AlphabetValue(static_cast<unsigned char>(text[i + 3]));
            if ((a | b | c | d) >= 0) {
                out[count++] = static_cast<unsigned char>(a << 2 | b >> 4);
                out[count++] = static_cast<unsigned char>((b & 0x0F) << 4 | c >> 2);
                out[count++] = static_cast<unsigned char>((c & 0x03) << 6 | d);
                i += 4;
                continue;
            }
        }
        const GroupScan scan = ScanGroup(text, length, i);
        padding += scan.nPadding;
        if (scan.bHasData) {
            out[count++] = static_cast<unsigned char>(scan.nBits >> 16);
            out[count++] = static_cast<unsigned char>(scan.nBits >> 8);
            out[count++] = static_cast<unsigned char>(scan.nBits);
        }
        i += 4;
    } while (i + 4 <= length);
    return count > padding ? count - padding : 0;
}

std::size_t CBase64Decoder::GetWholeGroupLength(const char* text, std::size_t length) const {
    std::size_t whole = 0;
    std::size_t i = 0;
    do {
        // Four characters of the alphabet in a row make a whole group without a scan.
        const bool bPlain =
            i + 4 <= length && (AlphabetValue(static_cast<unsigned char>(text[i])) |
                                AlphabetValue(static_cast<unsigned char>(text[i + 1])) |
                                AlphabetValue(static_cast<unsigned char>(text[i + 2])) |
                                AlphabetValue(static_cast<unsigned char>(text[i + 3]))) >= 0;
        if (!bPlain && !ScanGroup(text, length, i).bWhole) {
            break;
        }
        i += 4;
        whole = i;
    } while (i + 4 <= length);
    return whole;
}

std::string CBase64Decoder::JisToSjis(std::string_view jis) const {
    std::string result;
    result.reserve(jis.size() + 8);
    bool bTwoByte = false;
    for (std::size_t pos = 0; pos < jis.size();) {
        const unsigned char b = static_cast<unsigned char>(jis[pos]);
        if (b == kEsc && pos + 2 < jis.size()) {
            const char c1 = jis[pos + 1];
            const char c2 = jis[pos + 2];
            if (c1 == '$' && c2 == 'B') {
                bTwoByte = true;
                pos += 3;
                continue;
            }
            if (c1 == '(' && (c2 == 'B' || c2 == 'J')) {
                bTwoByte = false;
                pos += 3;
                continue;
            }
        }
        if (bTwoByte && IsJisByte(b)) {
            const unsigned char j1 = b;
            const unsigned char j2 =
                pos + 1 < jis.size() ? static_cast<unsigned char>(jis[pos + 1]) : 0;
            if (!IsJisByte(j2)) {
                break;  // not a JIS X 0208 code: the text ends here
            }
            // JIS X 0208 row and cell to Shift_JIS, done here rather than by the platform
            // so that it works whatever code page the process runs under.
            int lead = ((j1 - 0x21) >> 1) + 0x81;
            if (j1 >= 0x5F) {
                lead += 0x40;  // skips the single-byte katakana 0xA0-0xDF
            }
            int trail = 0;
            if (j1 & 1) {
                trail = j2 + 0x1F + (j2 >= 0x60 ? 1 : 0);  // steps over 0x7F
            } else {
                trail = j2 + 0x7E;
            }
            result += static_cast<char>(lead);
            result += static_cast<char>(trail);
            pos += 2;
            continue;
        }
        if (b == '\n' && (pos == 0 || jis[pos - 1] != '\r')) {
            result += "\r\n";
        } else if (b == 0) {
            break;
        } else {
            result += static_cast<char>(b);
        }
        ++pos;
    }
    return result;
}
