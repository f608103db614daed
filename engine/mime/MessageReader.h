#pragma once

// A message file read as text: line by line, with a one-byte look-ahead and a step back to
// the start of what was read last. Positions are byte offsets into the file.
//
// A line ends at LF; a CR just before the LF is not part of the line, any other CR is. A
// last line without LF is still a line, and lines have no length limit. A message whose
// lines end with CR alone (old Mac mail: its first block holds a CR and no LF) is read
// from memory with each CR as CR LF, so that it reads like any other. Every byte is
// text, NUL and 0x1A included: a binary body written as 8bit reaches the output whole.
// A read error ends the text where it happened, like the end of the file; HasError() then
// tells the caller that the message was cut short.

#include "engine/mime/BufferedReader.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class CMessageReader {
public:
    CMessageReader() = default;
    CMessageReader(const CMessageReader&) = delete;
    CMessageReader& operator=(const CMessageReader&) = delete;

    // Opens a message file with exclusive access; false when it cannot be opened.
    bool Open(const std::string& path);
    // Reads a message held in memory, handed out in blocks of blockSize bytes as a file's
    // would be.
    void OpenText(std::string text, std::size_t blockSize = CBufferedReader::kBlockSize);
    void Close();

    // The next line without its line end; false (and line empty) at the end of the file.
    bool ReadLine(std::string& line);

    // The same line as a view: into the reader's block when the line lies within it, else
    // into a copy held by the reader. Valid until the next call that reads or moves.
    bool ReadLineView(std::string_view& line);

    // The line end of the line ReadLine read last: "\r\n", "\n", or empty when it had none
    // (the last line of the file).
    std::string_view LastLineBreak() const { return m_lastBreak; }

    // The next byte, a CR LF pair reading as one LF; false at the end of the file, where
    // nothing is consumed and a step back stays where it is.
    bool ReadByte(char& byte);

    // The unread bytes of the block in hand (see CBufferedReader::Buffered), for readers
    // that take a body in bulk; Skip consumes the first count of them, which a step back
    // returns to.
    std::string_view Buffered() { return m_reader.Buffered(); }
    void Skip(std::size_t count);

    // Returns to the offset where the last ReadLine, ReadByte or Skip began, so that the line or
    // byte is read again.
    void StepBack();

    std::uint64_t Tell() const { return m_reader.Tell(); }
    void Seek(std::uint64_t offset) { m_reader.Seek(offset); }
    bool HasError() const { return m_bError || m_reader.HasError(); }

private:
    // Switches to reading the text from memory with CR LF line ends when the lines end with
    // CR alone.
    void ReadCrLineEndsAsCrLf(std::size_t blockSize);

    bool m_bError = false;  // a read error before the switch to memory
    CBufferedReader m_reader;
    std::uint64_t m_nLastStart = 0;
    std::string_view m_lastBreak;
    std::string m_strLine;  // a line that straddles blocks
};
