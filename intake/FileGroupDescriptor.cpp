#include "intake/FileGroupDescriptor.h"

#include "engine/text/MapiText.h"
#include "intake/DroppedData.h"

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

// Reads count and names of a block whose descriptors are descriptorSize bytes long, each
// name nameSize bytes at the same offset; takeName turns the field into a name.
template <typename TakeName>
bool ReadDescriptors(std::string_view block, std::size_t descriptorSize, std::size_t nameSize,
                     std::vector<std::string>& names, TakeName takeName) {
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
    if (items > (block.size() - kCountSize) / descriptorSize) {
        return false;
    }
    names.reserve(items);
    for (std::size_t i = 0; i < items; ++i) {
        names.push_back(takeName(
            block.substr(kCountSize + i * descriptorSize + kFileDescriptorNameOffset, nameSize)));
    }
    return true;
}

}  // namespace

bool ReadFileGroupDescriptor(std::string_view block, std::vector<std::string>& names) {
    return ReadDescriptors(block, kFileDescriptorSize, kFileDescriptorNameSize, names,
                           [](std::string_view field) {
                               return std::string(field.substr(0, field.find('\0')));
                           });
}

bool ReadFileGroupDescriptorW(std::string_view block, std::vector<std::string>& names) {
    return ReadDescriptors(block, kFileDescriptorWSize, kFileDescriptorWNameSize, names,
                           [](std::string_view field) {
                               // The name ends at the first NUL character.
                               return engine::Utf16ToShiftJis(field);
                           });
}

bool ReadDroppedNames(IDroppedData& data, std::vector<std::string>& names) {
    // The Unicode descriptor is preferred; the ANSI one serves when it is not offered.
    if (const std::optional<std::string_view> wide = data.GetFileGroupDescriptorW()) {
        return ReadFileGroupDescriptorW(*wide, names);
    }
    const std::optional<std::string_view> block = data.GetFileGroupDescriptor();
    return block && ReadFileGroupDescriptor(*block, names);
}
