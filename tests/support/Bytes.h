#pragma once

// Byte strings written out as numbers, for tests of binary file formats.

#include <initializer_list>
#include <string>

namespace test {

inline std::string Bytes(std::initializer_list<int> values) {
    std::string out;
    for (const int value : values) {
        out += static_cast<char>(value);
    }
    return out;
}

}  // namespace test
