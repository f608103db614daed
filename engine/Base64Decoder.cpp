#include "engine/Base64Decoder.h"

#include <cstdint>

namespace {

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
