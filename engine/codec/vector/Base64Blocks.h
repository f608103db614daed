#pragma once

// Base64 decoding of whole blocks of alphabet characters with the processor's vector unit.
// The file that defines these is chosen by the build for the target processor; where there
// is no vector decoder, nothing is decoded and the caller's own loop does all the work.

#include <cstddef>

namespace engine {

// Decodes the characters at the start of in (length characters) block by block, 16 or 32
// characters a block, while every character of a block is in the base64 alphabet (A-Z a-z
// 0-9 + /), every four characters into three bytes at out; of the first block that holds
// any other byte, only the whole groups of four before that byte. Stops there, or where
// fewer than 16 characters are left. Returns the number of characters decoded, a multiple
// of 4 (0 where the processor has no vector decoder). out must hold length / 4 * 3 bytes;
// the bytes after the decoded ones, within that room, may be overwritten.
std::size_t DecodeBase64Blocks(const unsigned char* in, std::size_t length, unsigned char* out);

// Whether DecodeBase64Blocks decodes anything on this processor.
bool HasBase64Blocks();

}  // namespace engine
