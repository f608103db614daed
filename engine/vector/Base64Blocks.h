#pragma once

// Base64 decoding of whole blocks of alphabet characters with the processor's vector unit.
// The file that defines these is chosen by the build for the target processor; where there
// is no vector decoder, nothing is decoded and the caller's own loop does all the work.

#include <cstddef>

namespace engine {

// Decodes the blocks of 16 characters at the start of in (length characters) while every
// character of a block is in the base64 alphabet (A-Z a-z 0-9 + /), each block into 12
// bytes at out; of the first block that holds any other byte, only the whole groups of four
// before that byte. Stops there, or before a block that does not fit in length. Returns the
// number of characters decoded, a multiple of 4 (0 where the processor has no vector
// decoder). out must hold length / 4 * 3 bytes; the bytes after the decoded ones, within
// that room, may be overwritten.
std::size_t DecodeBase64Blocks(const unsigned char* in, std::size_t length, unsigned char* out);

// Whether DecodeBase64Blocks decodes anything on this processor.
bool HasBase64Blocks();

}  // namespace engine
