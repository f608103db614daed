#pragma once

// Reads a file (or a text held in memory) in large blocks and hands it out byte by byte,
// up to a delimiter, or a block at a time, with byte-offset positions that can be moved
// back and forth. A message of many megabytes costs a few dozen reads, not one read per
// byte.
//
// A read error ends the readable bytes where it happened, as the end of the file would,
// and is remembered: HasError() tells the caller that the text was cut short.

#include "platform/File.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class CBufferedReader {
public:
    static constexpr std::size_t kBlockSize = 65536;

    CBufferedReader() = default;
    CBufferedReader(const CBufferedReader&) = delete;
    CBufferedReader& operator=(const CBufferedReader&) = delete;

    // Opens a file for reading with exclusive access; false when it cannot be opened.
    bool Open(const std::string& path);
    // Reads text from memory instead of a file, handed out in blocks of blockSize bytes as
    // a file's would be (a small block size puts block ends anywhere, for tests).
    void OpenText(std::string text, std::size_t blockSize = kBlockSize);
    void Close();
    bool IsOpen() const { return m_bOpen; }

    // Reads one byte; false at the end.
    bool ReadByte(unsigned char& byte);
    // Looks at the next byte without consuming it; false at the end.
    bool PeekByte(unsigned char& byte);
    // Appends the bytes up to and including the next delimiter (or up to the end) to out;
    // false when nothing was left to read.
    bool ReadThrough(char delimiter, std::string& out);

    // The unread bytes of the block in hand, reading the next block when none are left;
    // empty at the end. The view stays valid until the next call that reads or moves.
    std::string_view Buffered();
    // Consumes the first count bytes of what Buffered returned.
    void Consume(std::size_t count) { m_nPos += count; }

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
    bool m_bAtEnd = false;  // a file's last read gave less than a block: it is at its end
    std::unique_ptr<char[]> m_fileBlock;    // a file's block read last
    std::string m_strText;                  // the whole text in memory
    const char* m_pData = nullptr;          // the one of them in use
    std::uint64_t m_nBufferStart = 0;       // byte offset of m_pData[0]
    std::size_t m_nLength = 0;              // bytes handed out so far (in memory: the window's end)
    std::size_t m_nPos = 0;                 // next byte to hand out, index into m_pData
    std::size_t m_nTextBlock = kBlockSize;  // in memory: how many bytes a block holds
};
