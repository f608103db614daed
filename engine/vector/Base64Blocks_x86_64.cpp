// x86-64: blocks of 16 base64 characters decoded with SSSE3, chosen when the program starts
// on a processor that has it (a baseline x86-64 processor runs the scalar loop alone).
//
// A character's two nibbles pick two bit sets from small tables; they share a bit exactly
// when the character is outside the alphabet, so one AND checks all 16 characters. The high
// nibble (and the one character "/", which shares its high nibble with "+") picks the offset
// that turns a character into its 6-bit value. Multiply-adds then join four 6-bit values
// into 24 bits in each 32-bit lane, and a byte shuffle puts the 3 bytes of each lane in
// order, 12 bytes a block.

#include "engine/vector/Base64Blocks.h"

#include <immintrin.h>

#include <bit>
#include <cstring>

namespace engine {
namespace {

__attribute__((target("ssse3"))) std::size_t DecodeSsse3(const unsigned char* in,
                                                         std::size_t length,
                                                         unsigned char* out) {
    // Bit sets by low nibble and by high nibble. Bit 0x10 is set for every low nibble and
    // for the high nibbles 0, 1 and 8 to F (control bytes, bytes above 0x7F); the others
    // mark, among the high nibbles 2 to 7, the bytes outside the alphabet: 0x01 for 0x20-0x2A
    // and 0x2C-0x2E, 0x02 for 0x3A-0x3F, 0x04 for "@" and "`", 0x08 for 0x5B-0x5F and
    // 0x7B-0x7F.
    const __m128i lowBits = _mm_setr_epi8(0x15, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11,
                                          0x11, 0x13, 0x1A, 0x1B, 0x1B, 0x1B, 0x1A);
    const __m128i highBits = _mm_setr_epi8(0x10, 0x10, 0x01, 0x02, 0x04, 0x08, 0x04, 0x08, 0x10,
                                           0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10);
    // The offset to a character's value by its high nibble, "/" by index 1.
    const __m128i offsets =
        _mm_setr_epi8(0, 16, 19, 4, -65, -65, -71, -71, 0, 0, 0, 0, 0, 0, 0, 0);
    const __m128i nibble = _mm_set1_epi8(0x0F);
    const __m128i slash = _mm_set1_epi8(0x2F);
    const __m128i zero = _mm_setzero_si128();
    // Pairs of values into 12 bits (first * 64 + second), pairs of pairs into 24 bits.
    const __m128i pairWeights = _mm_set1_epi32(0x01400140);
    const __m128i quadWeights = _mm_set1_epi32(0x00011000);
    // The 3 bytes of each lane, highest first; the last 4 bytes of the block are zero.
    const __m128i order =
        _mm_setr_epi8(2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1);

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

bool DetectSsse3() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("ssse3");
}

// Set once when the program starts; until then (a decoding from another static
// initializer) it is false and the scalar loop decodes alone, with the same result.
const bool kHasSsse3 = DetectSsse3();

}  // namespace

std::size_t DecodeBase64Blocks(const unsigned char* in, std::size_t length, unsigned char* out) {
    if (length < 16 || !kHasSsse3) {
        return 0;
    }
    return DecodeSsse3(in, length, out);
}

bool HasBase64Blocks() {
    return kHasSsse3;
}

}  // namespace engine
