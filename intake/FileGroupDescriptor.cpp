#include "intake/FileGroupDescriptor.h"

#include <cstdint>

namespace {

constexpr std::size_t kCountSize = 4;

std::int32_t ReadCount(std::string_view block) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < kCountSize; ++i) {
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(block[i])) << (8 * i);
    }
    return static_cast<std::int32_t>(value);
}

}  // namespace

bool ReadFileGroupDescriptor(std::string_view block, std::vector<std::string>& names) {
    names.clear();
    if (block.size() < kCountSize) {
        return false;
    }
    const std::int32_t count = ReadCount(block);
    if (count <= 0) {
        return true;
    }
    // Divided rather than multiplied, so that no count can overflow the test.
    const std::size_t items = static_cast<std::size_t>(count);
    if (items > (block.size() - kCountSize) / kFileDescriptorSize) {
        return false;
    }
    names.reserve(items);
    for (std::size_t i = 0; i < items; ++i) {
        const std::string_view name =
            block.substr(kCountSize + i * kFileDescriptorSize + kFileDescriptorNameOffset,
                         kFileDescriptorNameSize);
        names.emplace_back(name.substr(0, name.find('\0')));
    }
    return true;
}
