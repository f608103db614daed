#pragma once

// Hexadecimal digits: the one table the decoders of quoted-printable, Q-encoded words and
// RFC 2231 values share.

namespace engine {

struct HexTable {
    signed char values[256];  // each hex digit's value, -1 for any other byte
};

constexpr HexTable MakeHexTable() {
    HexTable table{};
    for (int c = 0; c < 256; ++c) {
        table.values[c] = -1;
    }
    for (int digit = 0; digit < 10; ++digit) {
        table.values['0' + digit] = static_cast<signed char>(digit);
    }
    for (int digit = 0; digit < 6; ++digit) {
        table.values['a' + digit] = static_cast<signed char>(10 + digit);
        table.values['A' + digit] = static_cast<signed char>(10 + digit);
    }
    return table;
}

inline constexpr HexTable kHexValues = MakeHexTable();

// The value of a hex digit (either letter case), -1 for any other character.
constexpr int HexValue(char c) {
    return kHexValues.values[static_cast<unsigned char>(c)];
}

}  // namespace engine
