#pragma once

// Reads a file (or a text held in memory) in large blocks and hands it out byte by byte
// or up to a delimiter, with byte-offset positions that can be moved back and forth. A
// message of many megabytes costs a few dozen reads, not one read per byte.
//
// A read error ends the readable bytes where it happened, as the end of the file would,
// and is remembered: HasError() tells the caller that the text was cut short.

#include "platform/File.h"

#include <cstddef>
#include <cstdint>
#include <string>

class CBufferedReader {
public:
    static constexpr std::size_t kBlockSize = 65536;

    CBufferedReader() = default;
    CBufferedReader(const CBufferedReader&) = delete;
    CBufferedReader& operator=(const CBufferedReader&) = delete;

    // Opens a file for reading with exclusive access; false when it cannot be opened.
    bool Open(const std::string& path);
    // Reads text from memory instead of a file.
    void OpenText(std::string text);
    void Close();
    bool IsOpen() const { return m_bOpen; }

    // Reads one byte; false at the end.
    bool ReadByte(unsigned char& byte);
    // Looks at the next byte without consuming it; false at the end.
    bool PeekByte(unsigned char& byte);
    // Appends the bytes up to and including the next delimiter (or up to the end) to out;
    // false when nothing was left to read.
    bool ReadThrough(char delimiter, std::string& out);

    // The byte offset of the next byte to be read.
    std::uint64_t Tell() const { return m_nBufferStart + m_nPos; }
    // Moves to a byte offset; an offset beyond the end reads as the end.
    void Seek(std::uint64_t offset);

    bool HasError() const { return m_bError; }

private:
    // Makes sure at least one unread byte is in the buffer; false at the end.
    bool Fill();

    platform::File m_file;
    bool m_bOpen = false;
    bool m_bInMemory = false;
    bool m_bError = false;
    std::string m_strBuffer;           // the block read last, or the whole text in memory
    std::uint64_t m_nBufferStart = 0;  // byte offset of m_strBuffer[0]
    std::size_t m_nLength = 0;         // valid bytes in m_strBuffer
    std::size_t m_nPos = 0;            // next byte to hand out, index into m_strBuffer
};
