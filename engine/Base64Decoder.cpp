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

// Decodes text group by group. A group of four alphabet characters gives three bytes; an
// "=" ends a group of two or three characters, which gives one or two bytes, and is
// otherwise ignored; bytes outside the alphabet are skipped. Calls emit with each byte
// and returns the position after the last character that completed a group (where a
// decoding can stop and start again with the same result). An unfinished last group is
// decoded only when bLast is set.
template <typename Emit>
std::size_t DecodeGroups(const char* text, std::size_t length, bool bLast, Emit&& emit) {
    std::uint32_t bits = 0;
    std::size_t filled = 0;
    std::size_t whole = 0;
    std::size_t i = 0;
    while (i < length) {
        // The common case: four characters of the alphabet in a row at a group's start.
        if (filled == 0 && i + 4 <= length) {
            const int a = CBase64Decoder::AlphabetValue(static_cast<unsigned char>(text[i]));
            const int b = CBase64Decoder::AlphabetValue(static_cast<unsigned char>(text[i + 1]));
            const int c = CBase64Decoder::AlphabetValue(static_cast<unsigned char>(text[i + 2]));
            const int d = CBase64Decoder::AlphabetValue(static_cast<unsigned char>(text[i + 3]));
            if ((a | b | c | d) >= 0) {
                emit(static_cast<unsigned char>(a << 2 | b >> 4));
                emit(static_cast<unsigned char>((b & 0x0F) << 4 | c >> 2));
                emit(static_cast<unsigned char>((c & 0x03) << 6 | d));
                i += 4;
                whole = i;
                continue;
            }
        }
        const unsigned char c = static_cast<unsigned char>(text[i++]);
        const int value = CBase64Decoder::AlphabetValue(c);
        if (value >= 0) {
            bits = bits << 6 | static_cast<std::uint32_t>(value);
            if (++filled == 4) {
                emit(static_cast<unsigned char>(bits >> 16));
                emit(static_cast<unsigned char>(bits >> 8));
                emit(static_cast<unsigned char>(bits));
                filled = 0;
                bits = 0;
                whole = i;
            }
        } else if (c == '=' && filled >= 2) {
            bits <<= 6 * (4 - filled);
            emit(static_cast<unsigned char>(bits >> 16));
            if (filled == 3) {
                emit(static_cast<unsigned char>(bits >> 8));
            }
            filled = 0;
            bits = 0;
            whole = i;
        } else if (filled == 0) {
            whole = i;  // a skipped byte between groups
        }
    }
    if (bLast && filled >= 2) {
        // A last group without its padding.
        bits <<= 6 * (4 - filled);
        emit(static_cast<unsigned char>(bits >> 16));
        if (filled == 3) {
            emit(static_cast<unsigned char>(bits >> 8));
        }
    }
    return whole;
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
    return length / 4 * 3 + 3;
}

std::size_t CBase64Decoder::Decode(const char* text, std::size_t length, unsigned char* out) const {
    std::size_t count = 0;
    DecodeGroups(text, length, true, [&](unsigned char byte) { out[count++] = byte; });
    return count;
}

std::size_t CBase64Decoder::DecodeWholeGroups(const char* text, std::size_t length,
                                              unsigned char* out, std::size_t& count) const {
    count = 0;
    return DecodeGroups(text, length, false, [&](unsigned char byte) { out[count++] = byte; });
}

std::size_t CBase64Decoder::GetWholeGroupLength(const char* text, std::size_t length) const {
    return DecodeGroups(text, length, false, [](unsigned char) {});
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
