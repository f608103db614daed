// x86-64: blocks of base64 characters decoded with the vector unit, 32 at a time with AVX2
// and 16 at a time with SSSE3, chosen when the program starts by what the processor has (a
// baseline x86-64 processor runs the scalar loop alone).
//
// A character's two nibbles pick two bit sets from small tables; they share a bit exactly
// when the character is outside the alphabet, so one AND checks the whole block. The high
// nibble (and the one character "/", which shares its high nibble with "+") picks the offset
// that turns a character into its 6-bit value. Multiply-adds then join four 6-bit values
// into 24 bits in each 32-bit lane, and a byte shuffle puts the 3 bytes of each lane in
// order, 12 bytes for every 16 characters.

#include "engine/codec/vector/Base64Blocks.h"

#include <immintrin.h>

#include <bit>
#include <cstring>

namespace engine {
namespace {

// Bit sets by low nibble and by high nibble. Bit 0x10 is set for every low nibble and for
// the high nibbles 0, 1 and 8 to F (control bytes, bytes above 0x7F); the others mark, among
// the high nibbles 2 to 7, the bytes outside the alphabet: 0x01 for 0x20-0x2A and 0x2C-0x2E,
// 0x02 for 0x3A-0x3F, 0x04 for "@" and "`", 0x08 for 0x5B-0x5F and 0x7B-0x7F.
constexpr signed char kLowBits[16] = {0x15, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11,
                                      0x11, 0x11, 0x13, 0x1A, 0x1B, 0x1B, 0x1B, 0x1A};
constexpr signed char kHighBits[16] = {0x10, 0x10, 0x01, 0x02, 0x04, 0x08, 0x04, 0x08,
                                       0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10};
// The offset to a character's value by its high nibble, "/" by index 1.
constexpr signed char kOffsets[16] = {0, 16, 19, 4, -65, -65, -71, -71, 0, 0, 0, 0, 0, 0, 0, 0};
// The 3 bytes of each 32-bit lane, highest first; the last 4 bytes of 16 are zero.
constexpr signed char kOrder[16] = {2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1};
// Multiply-add weights: pairs of values into 12 bits (first * 64 + second), pairs of pairs
// into 24 bits.
constexpr int kPairWeights = 0x01400140;
constexpr int kQuadWeights = 0x00011000;

__attribute__((target("ssse3"))) __m128i Load16(const signed char (&table)[16]) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(table));
}

__attribute__((target("ssse3"))) std::size_t DecodeSsse3(const unsigned char* in,
                                                         std::size_t length,
                                                         unsigned char* out) {
    const __m128i lowBits = Load16(kLowBits);
    const __m128i highBits = Load16(kHighBits);
    const __m128i offsets = Load16(kOffsets);
    const __m128i order = Load16(kOrder);
    const __m128i nibble = _mm_set1_epi8(0x0F);
    const __m128i slash = _mm_set1_epi8(0x2F);
    const __m128i zero = _mm_setzero_si128();
    const __m128i pairWeights = _mm_set1_epi32(kPairWeights);
    const __m128i quadWeights = _mm_set1_epi32(kQuadWeights);

    std::size_t done = 0;
    unsigned char* o = out;
    while (length - done >= 16) {
        const __m128i text = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + done));
        const __m128i high = _mm_and_si128(_mm_srli_epi32(text, 4), nibble);
        const __m128i low = _mm_and_si128(text, nibble);
        const __m128i bad = _mm_and_si128(_mm_shuffle_epi8(lowBits, low),
                                          _mm_shuffle_epi8(highBits, high));
        // A bit for each character of the alphabet.
        const unsigned good =
            static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bad, zero)));
        // Each group of four is decoded in its own lane, so the groups before a byte
        // outside the alphabet come out right whatever that byte is.
        const __m128i index = _mm_add_epi8(_mm_cmpeq_epi8(text, slash), high);
        const __m128i values = _mm_add_epi8(text, _mm_shuffle_epi8(offsets, index));
        const __m128i pairs = _mm_maddubs_epi16(values, pairWeights);
        const __m128i bytes = _mm_shuffle_epi8(_mm_madd_epi16(pairs, quadWeights), order);
        // A whole 16-byte store where the room (length / 4 * 3 bytes) reaches 4 bytes past
        // this block's 12, which it does when 8 characters or more follow the block.
        if (length - done >= 24) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(o), bytes);
        } else {
            const long long first = _mm_cvtsi128_si64(bytes);
            const int second = _mm_cvtsi128_si32(_mm_srli_si128(bytes, 8));
            std::memcpy(o, &first, 8);
            std::memcpy(o + 8, &second, 4);
        }
        if (good != 0xFFFF) {
            // The whole groups before the first other byte.
            done += static_cast<std::size_t>(std::countr_one(good)) / 4 * 4;
            break;
        }
        done += 16;
        o += 12;
    }
    return done;
}

__attribute__((target("avx2"))) __m256i Load32(const signed char (&table)[16]) {
    return _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(table)));
}

// Blocks of 32 while 12 characters or more follow the block (then a 32-byte store of its 24
// bytes stays in the room), the rest by the SSSE3 loop.
__attribute__((target("avx2"))) std::size_t DecodeAvx2(const unsigned char* in,
                                                       std::size_t length,
                                                       unsigned char* out) {
    const __m256i lowBits = Load32(kLowBits);
    const __m256i highBits = Load32(kHighBits);
    const __m256i offsets = Load32(kOffsets);
    const __m256i order = Load32(kOrder);
    const __m256i nibble = _mm256_set1_epi8(0x0F);
    const __m256i slash = _mm256_set1_epi8(0x2F);
    const __m256i zero = _mm256_setzero_si256();
    const __m256i pairWeights = _mm256_set1_epi32(kPairWeights);
    const __m256i quadWeights = _mm256_set1_epi32(kQuadWeights);
    // The 12 bytes of each 16-byte half side by side.
    const __m256i halves = _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 7, 7);

    std::size_t done = 0;
    unsigned char* o = out;
    while (length - done >= 44) {
        const __m256i text = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + done));
        const __m256i high = _mm256_and_si256(_mm256_srli_epi32(text, 4), nibble);
        const __m256i low = _mm256_and_si256(text, nibble);
        const __m256i bad = _mm256_and_si256(_mm256_shuffle_epi8(lowBits, low),
                                             _mm256_shuffle_epi8(highBits, high));
        // A bit for each character of the alphabet.
        const unsigned good =
            static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(bad, zero)));
        const __m256i index = _mm256_add_epi8(_mm256_cmpeq_epi8(text, slash), high);
        const __m256i values = _mm256_add_epi8(text, _mm256_shuffle_epi8(offsets, index));
        const __m256i pairs = _mm256_maddubs_epi16(values, pairWeights);
        const __m256i bytes =
            _mm256_shuffle_epi8(_mm256_madd_epi16(pairs, quadWeights), order);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(o),
                            _mm256_permutevar8x32_epi32(bytes, halves));
        if (good != 0xFFFFFFFFu) {
            // The whole groups before the first other byte.
            return done + static_cast<std::size_t>(std::countr_one(good)) / 4 * 4;
        }
        done += 32;
        o += 24;
    }
    return done + DecodeSsse3(in + done, length - done, o);
}

bool DetectSsse3() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("ssse3");
}

bool DetectAvx2() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}

// Set once when the program starts; until then (a decoding from another static
// initializer) they are false and the scalar loop decodes alone, with the same result.
const bool kHasSsse3 = DetectSsse3();
const bool kHasAvx2 = kHasSsse3 && DetectAvx2();

}  // namespace

std::size_t DecodeBase64Blocks(const unsigned char* in, std::size_t length, unsigned char* out) {
    if (length < 16 || !kHasSsse3) {
        return 0;
    }
    return kHasAvx2 ? DecodeAvx2(in, length, out) : DecodeSsse3(in, length, out);
}

bool HasBase64Blocks() {
    return kHasSsse3;
}

}  // namespace engine
