// Processors without a vector decoder: the base64 decoder's own loop does all the work.

#include "engine/codec/vector/Base64Blocks.h"

namespace engine {

std::size_t DecodeBase64Blocks(const unsigned char*, std::size_t, unsigned char*) {
    return 0;
}

bool HasBase64Blocks() {
    return false;
}

}  // namespace engine
