#include "engine/codec/Base64Decoder.h"

#include "engine/codec/vector/Base64Blocks.h"

#include <bit>
#include <cstdint>
#include <cstring>

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

// The decoding tables of whole groups: for each of the four places in a group, every byte
// value's bits already moved to where they land in the three decoded bytes, so a group
// decodes by four look-ups joined with OR. A byte outside the alphabet sets kBadGroup,
// which no valid group has. On a little-endian machine the bytes lie in memory order (the
// first decoded byte lowest), ready for one four-byte store; elsewhere the first decoded
// byte is the highest of the three.
constexpr std::uint32_t kBadGroup = 0x01000000;
constexpr bool kLittleEndian = std::endian::native == std::endian::little;

struct GroupTables {
    std::uint32_t places[4][256];
};

constexpr std::uint32_t PlaceBits(int place, std::uint32_t value) {
    // The 24 bits of a group, first decoded byte highest.
    const std::uint32_t bits = value << (18 - 6 * place);
    if (!kLittleEndian) {
        return bits;
    }
    return (bits >> 16 & 0xFF) | (bits & 0xFF00) | (bits & 0xFF) << 16;
}

constexpr GroupTables MakeGroupTables() {
    GroupTables tables{};
    for (int place = 0; place < 4; ++place) {
        for (int c = 0; c < 256; ++c) {
            const int value = kAlphabetValues.values[c];
            tables.places[place][c] =
                value < 0 ? kBadGroup : PlaceBits(place, static_cast<std::uint32_t>(value));
        }
    }
    return tables;
}

constexpr GroupTables kGroupTables = MakeGroupTables();

// Decodes as many whole groups as follow each other from in, stopping before the first
// group that holds a byte outside the alphabet (or fewer than four bytes). Writes three
// bytes a group and may write one byte past them. Moves in and out past what it did.
inline void DecodeWholeGroupRun(const unsigned char*& in, const unsigned char* end,
                                unsigned char*& out) {
    const auto& t = kGroupTables.places;
    const unsigned char* p = in;
    unsigned char* o = out;
    while (end - p >= 8) {
        const std::uint32_t first = t[0][p[0]] | t[1][p[1]] | t[2][p[2]] | t[3][p[3]];
        const std::uint32_t second = t[0][p[4]] | t[1][p[5]] | t[2][p[6]] | t[3][p[7]];
        if ((first | second) & kBadGroup) {
            break;
        }
        if constexpr (kLittleEndian) {
            std::memcpy(o, &first, 4);
            std::memcpy(o + 3, &second, 4);
        } else {
            o[0] = static_cast<unsigned char>(first >> 16);
            o[1] = static_cast<unsigned char>(first >> 8);
            o[2] = static_cast<unsigned char>(first);
            o[3] = static_cast<unsigned char>(second >> 16);
            o[4] = static_cast<unsigned char>(second >> 8);
            o[5] = static_cast<unsigned char>(second);
        }
        p += 8;
        o += 6;
    }
    while (end - p >= 4) {
        const std::uint32_t group = t[0][p[0]] | t[1][p[1]] | t[2][p[2]] | t[3][p[3]];
        if (group & kBadGroup) {
            break;
        }
        if constexpr (kLittleEndian) {
            std::memcpy(o, &group, 4);
        } else {
            o[0] = static_cast<unsigned char>(group >> 16);
            o[1] = static_cast<unsigned char>(group >> 8);
            o[2] = static_cast<unsigned char>(group);
        }
        p += 4;
        o += 3;
    }
    in = p;
    out = o;
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
    // From the start of a group, whole groups end at most (length / 4) * 3 bytes in, so
    // the stream's one byte past them stays inside the bound.
    CBase64Stream stream;
    std::size_t count = 0;
    stream.Decode(text, length, out, count);
    return count + stream.Finish(out + count);
}

std::size_t CBase64Decoder::DecodeWholeGroups(const char* text, std::size_t length,
                                              unsigned char* out, std::size_t& count) const {
    count = 0;
    return DecodeGroups(text, length, false, [&](unsigned char byte) { out[count++] = byte; });
}

std::size_t CBase64Decoder::GetWholeGroupLength(const char* text, std::size_t length) const {
    return DecodeGroups(text, length, false, [](unsigned char) {});
}

std::size_t CBase64Stream::Decode(const char* text, std::size_t length, unsigned char* out,
                                  std::size_t& count, char lineStart) {
    const unsigned char* in = reinterpret_cast<const unsigned char*>(text);
    const unsigned char* const end = in + length;
    unsigned char* o = out;
    std::uint32_t bits = m_nBits;
    int filled = m_nFilled;
    for (;;) {
        if (filled == 0) {
            // Blocks of alphabet characters by the vector unit, then any groups left before
            // the first other byte by table; neither is tried on a line end or other byte.
            // From a group's start the room left in out holds every whole group of what
            // remains (see GetOutputSize), which is what the blocks need.
            if (in != end && kAlphabetValues.values[*in] >= 0) {
                const std::size_t decoded =
                    engine::DecodeBase64Blocks(in, static_cast<std::size_t>(end - in), o);
                in += decoded;
                o += decoded / 4 * 3;
                if (in != end && kAlphabetValues.values[*in] >= 0) {
                    DecodeWholeGroupRun(in, end, o);
                }
            }
        }
        if (in == end) {
            break;
        }
        // One character the slow way: the same rules as CBase64Decoder::Decode.
        const unsigned char c = *in++;
        const int value = kAlphabetValues.values[c];
        if (value >= 0) {
            bits = bits << 6 | static_cast<std::uint32_t>(value);
            if (++filled == 4) {
                o[0] = static_cast<unsigned char>(bits >> 16);
                o[1] = static_cast<unsigned char>(bits >> 8);
                o[2] = static_cast<unsigned char>(bits);
                o += 3;
                filled = 0;
                bits = 0;
            }
        } else if (c == '=' && filled >= 2) {
            bits <<= 6 * (4 - filled);
            *o++ = static_cast<unsigned char>(bits >> 16);
            if (filled == 3) {
                *o++ = static_cast<unsigned char>(bits >> 8);
            }
            filled = 0;
            bits = 0;
            m_bPadded = true;
            if (m_bStopAfterPadding) {
                break;
            }
        } else if (c == '\n' && lineStart != '\0' && in != end &&
                   *in == static_cast<unsigned char>(lineStart)) {
            break;
        }
    }
    m_nBits = bits;
    m_nFilled = filled;
    count = static_cast<std::size_t>(o - out);
    return static_cast<std::size_t>(in - reinterpret_cast<const unsigned char*>(text));
}

std::size_t CBase64Stream::Finish(unsigned char* out) {
    std::size_t count = 0;
    if (m_nFilled >= 2) {
        // A last group without its padding.
        const std::uint32_t bits = m_nBits << 6 * (4 - m_nFilled);
        out[count++] = static_cast<unsigned char>(bits >> 16);
        if (m_nFilled == 3) {
            out[count++] = static_cast<unsigned char>(bits >> 8);
        }
    }
    m_nBits = 0;
    m_nFilled = 0;
    return count;
}
