#include "policy/StringArchive.h"

#include "platform/Text.h"

#include <cstdint>
#include <utility>

namespace {

constexpr std::uint16_t kCountEscape = 0xFFFF;
constexpr std::uint8_t kLengthEscape = 0xFF;
constexpr std::uint16_t kLongLength = 0xFFFF;
constexpr std::uint16_t kWideMarker = 0xFFFE;
// The 32-bit all-ones value would announce a longer form still, which the program does not
// know; nothing that long is ever written.
constexpr std::uint64_t kLargest32 = 0xFFFFFFFE;

void AppendWord(std::string& out, std::uint16_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8);
}

void AppendDword(std::string& out, std::uint32_t value) {
    AppendWord(out, static_cast<std::uint16_t>(value & 0xFFFF));
    AppendWord(out, static_cast<std::uint16_t>(value >> 16));
}

void AppendUtf8(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// UTF-16LE text to Shift_JIS. A lone surrogate becomes U+FFFD, which code page 932 lacks, so
// it turns into "?" like every other character the code page cannot show.
std::string WideToShiftJis(std::string_view bytes) {
    std::string utf8;
    utf8.reserve(bytes.size() * 3 / 2);
    const auto unit = [&](std::size_t i) {
        return static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[2 * i]) |
                                          static_cast<std::uint8_t>(bytes[2 * i + 1]) << 8);
    };
    const std::size_t count = bytes.size() / 2;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t first = unit(i);
        if (first >= 0xD800 && first <= 0xDBFF && i + 1 < count && unit(i + 1) >= 0xDC00 &&
            unit(i + 1) <= 0xDFFF) {
            AppendUtf8(utf8, 0x10000 + ((first - 0xD800) << 10) + (unit(i + 1) - 0xDC00));
            ++i;
        } else if (first >= 0xD800 && first <= 0xDFFF) {
            AppendUtf8(utf8, 0xFFFD);
        } else {
            AppendUtf8(utf8, first);
        }
    }
    return platform::Utf8ToShiftJis(utf8);
}

}  // namespace

bool AppendStringArray(std::string& out, const std::vector<std::string>& strings) {
    if (strings.size() > kLargest32) {
        return false;
    }
    if (strings.size() < kCountEscape) {
        AppendWord(out, static_cast<std::uint16_t>(strings.size()));
    } else {
        AppendWord(out, kCountEscape);
        AppendDword(out, static_cast<std::uint32_t>(strings.size()));
    }
    for (const std::string& text : strings) {
        const std::size_t length = text.size();
        if (length < kLengthEscape) {
            out += static_cast<char>(length);
        } else if (length < kWideMarker) {
            out += static_cast<char>(kLengthEscape);
            AppendWord(out, static_cast<std::uint16_t>(length));
        } else if (length <= kLargest32) {
            out += static_cast<char>(kLengthEscape);
            AppendWord(out, kLongLength);
            AppendDword(out, static_cast<std::uint32_t>(length));
        } else {
            return false;
        }
        out += text;
    }
    return true;
}

bool CStringArchiveReader::ReadByte(std::uint8_t& value) {
    if (Remaining() < 1) {
        return false;
    }
    value = static_cast<std::uint8_t>(m_data[m_nPosition++]);
    return true;
}

bool CStringArchiveReader::ReadWord(std::uint16_t& value) {
    std::uint8_t low = 0;
    std::uint8_t high = 0;
    if (!ReadByte(low) || !ReadByte(high)) {
        return false;
    }
    value = static_cast<std::uint16_t>(low | high << 8);
    return true;
}

bool CStringArchiveReader::ReadDword(std::uint32_t& value) {
    std::uint16_t low = 0;
    std::uint16_t high = 0;
    if (!ReadWord(low) || !ReadWord(high)) {
        return false;
    }
    value = static_cast<std::uint32_t>(low) | static_cast<std::uint32_t>(high) << 16;
    return true;
}

bool CStringArchiveReader::ReadCount(std::size_t& count) {
    std::uint16_t word = 0;
    if (!ReadWord(word)) {
        return false;
    }
    if (word != kCountEscape) {
        count = word;
        return true;
    }
    std::uint32_t dword = 0;
    if (!ReadDword(dword)) {
        return false;
    }
    count = dword;
    return true;
}

bool CStringArchiveReader::ReadLength(std::uint64_t& length, bool& bWide) {
    bWide = false;
    std::uint8_t byte = 0;
    if (!ReadByte(byte)) {
        return false;
    }
    if (byte != kLengthEscape) {
        length = byte;
        return true;
    }
    std::uint16_t word = 0;
    if (!ReadWord(word)) {
        return false;
    }
    if (word == kWideMarker) {
        // The wide form: the length starts over, counting 16-bit units.
        bWide = true;
        if (!ReadByte(byte)) {
            return false;
        }
        if (byte != kLengthEscape) {
            length = byte;
            return true;
        }
        if (!ReadWord(word)) {
            return false;
        }
    }
    if (word != kLongLength) {
        length = word;
        return true;
    }
    std::uint32_t dword = 0;
    if (!ReadDword(dword)) {
        return false;
    }
    length = dword;
    return true;
}

bool CStringArchiveReader::ReadString(std::string& text) {
    std::uint64_t length = 0;
    bool bWide = false;
    if (!ReadLength(length, bWide)) {
        return false;
    }
    const std::uint64_t bytes = bWide ? length * 2 : length;
    if (bytes > Remaining()) {
        return false;
    }
    const std::string_view body = m_data.substr(m_nPosition, static_cast<std::size_t>(bytes));
    m_nPosition += body.size();
    text = bWide ? WideToShiftJis(body) : std::string(body);
    return true;
}

bool CStringArchiveReader::ReadStringArray(std::vector<std::string>& strings) {
    std::size_t count = 0;
    if (!ReadCount(count) || count > Remaining()) {
        // Every string takes at least its one length byte.
        return false;
    }
    // No room is reserved ahead: memory grows only with the strings actually read.
    std::vector<std::string> read;
    for (std::size_t i = 0; i < count; ++i) {
        std::string text;
        if (!ReadString(text)) {
            return false;
        }
        read.push_back(std::move(text));
    }
    strings = std::move(read);
    return true;
}
