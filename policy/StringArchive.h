#pragma once

// The archived string array shared by the extension list files and the record list file: a
// count, then each string with its length prefix, all integers little-endian.
//
//   count below 65535        16-bit count
//   count of 65535 or more   16-bit 0xFFFF, 32-bit count
//   length up to 254         one byte
//   length 255 to 65533      byte 0xFF, 16-bit length
//   length 65534 or more     byte 0xFF, 16-bit 0xFFFF, 32-bit length
//
// Strings are Shift_JIS bytes without terminator. A reader also accepts the wide form (byte
// 0xFF, 16-bit 0xFFFE, then a length in 16-bit units encoded the same way, then UTF-16LE
// text) and turns it into Shift_JIS; the program never writes it.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// What became of reading a list file. Only Loaded changes the list in memory: a damaged file
// leaves it as it was, like a file that cannot be read, so that a later save cannot replace
// the user's file by an empty list unnoticed.
enum class ListLoadResult {
    Loaded,
    Unreadable,  // missing, held open by another program, or a read error
    Damaged,     // truncated, or a count or length the file cannot hold
};

// Appends the archived form of strings to out. False when a count or a length does not fit
// in 32 bits; out is then unusable.
bool AppendStringArray(std::string& out, const std::vector<std::string>& strings);

// Reads archived string arrays, one after the other, from bytes held in memory. Nothing is
// read beyond the end of the bytes, and no count or length is trusted further than the
// bytes left can hold.
class CStringArchiveReader {
public:
    explicit CStringArchiveReader(std::string_view data) : m_data(data) {}

    // Reads the next array into strings, replacing its contents. False, with strings as it
    // was, when the bytes end early or claim more than they hold.
    bool ReadStringArray(std::vector<std::string>& strings);

private:
    bool ReadByte(std::uint8_t& value);
    bool ReadWord(std::uint16_t& value);
    bool ReadDword(std::uint32_t& value);
    bool ReadCount(std::size_t& count);
    bool ReadLength(std::uint64_t& length, bool& bWide);
    bool ReadString(std::string& text);
    std::size_t Remaining() const { return m_data.size() - m_nPosition; }

    std::string_view m_data;
    std::size_t m_nPosition = 0;
};
