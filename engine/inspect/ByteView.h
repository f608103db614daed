#pragma once

// Little-endian reads from bytes whose bounds the caller has checked.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace engine {

inline std::uint32_t ReadLe16(std::string_view data, std::size_t offset) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(data[offset])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(data[offset + 1])) << 8;
}

inline std::uint32_t ReadLe32(std::string_view data, std::size_t offset) {
    return ReadLe16(data, offset) | ReadLe16(data, offset + 2) << 16;
}

inline std::uint64_t ReadLe64(std::string_view data, std::size_t offset) {
    return static_cast<std::uint64_t>(ReadLe32(data, offset)) |
           static_cast<std::uint64_t>(ReadLe32(data, offset + 4)) << 32;
}

// True when size bytes from offset lie inside data.
inline bool Fits(std::string_view data, std::uint64_t offset, std::uint64_t size) {
    return offset <= data.size() && size <= data.size() - offset;
}

}  // namespace engine
