#include "engine/mime/MessageReader.h"

#include <cstring>
#include <utility>

bool CMessageReader::Open(const std::string& path) {
    m_nLastStart = 0;
    m_bError = false;
    if (!m_reader.Open(path)) {
        return false;
    }
    ReadCrLineEndsAsCrLf(CBufferedReader::kBlockSize);
    return true;
}

namespace {

// Whether the start of a text (its first block) holds a CR and no LF: lines end with CR.
bool HasCrOnlyLineEnds(std::string_view start) {
    start = start.substr(0, CBufferedReader::kBlockSize);
    return start.find('\n') == std::string_view::npos && start.find('\r') != std::string_view::npos;
}

void AppendWithCrLf(std::string_view text, std::string& out) {
    for (const char c : text) {
        out += c;
        if (c == '\r') {
            out += '\n';
        }
    }
}

}  // namespace

void CMessageReader::OpenText(std::string text, std::size_t blockSize) {
    m_nLastStart = 0;
    m_bError = false;
    if (HasCrOnlyLineEnds(text)) {
        std::string converted;
        AppendWithCrLf(text, converted);
        text = std::move(converted);
    }
    m_reader.OpenText(std::move(text), blockSize);
}

void CMessageReader::ReadCrLineEndsAsCrLf(std::size_t blockSize) {
    std::string_view block = m_reader.Buffered();
    if (!HasCrOnlyLineEnds(block)) {
        return;
    }
    std::string text;
    while (!(block = m_reader.Buffered()).empty()) {
        AppendWithCrLf(block, text);
        m_reader.Consume(block.size());
    }
    m_bError = m_reader.HasError();
    m_reader.OpenText(std::move(text), blockSize);
}

void CMessageReader::Close() {
    m_reader.Close();
    m_nLastStart = 0;
    m_bError = false;
}

bool CMessageReader::ReadLine(std::string& line) {
    std::string_view view;
    const bool bRead = ReadLineView(view);
    line.assign(view);
    return bRead;
}

bool CMessageReader::ReadLineView(std::string_view& line) {
    m_nLastStart = m_reader.Tell();
    m_lastBreak = {};
    const std::string_view block = m_reader.Buffered();
    if (block.empty()) {
        line = {};
        return false;
    }
    const void* found = std::memchr(block.data(), '\n', block.size());
    if (found != nullptr) {
        // The common case: the whole line is in the block in hand.
        const std::size_t length =
            static_cast<std::size_t>(static_cast<const char*>(found) - block.data()) + 1;
        line = block.substr(0, length);
        m_reader.Consume(length);
    } else {
        m_strLine.assign(block);
        m_reader.Consume(block.size());
        m_reader.ReadThrough('\n', m_strLine);
        line = m_strLine;
    }
    if (line.back() == '\n') {
        line.remove_suffix(1);
        m_lastBreak = "\n";
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
            m_lastBreak = "\r\n";
        }
    }
    return true;
}

bool CMessageReader::ReadByte(char& byte) {
    m_nLastStart = m_reader.Tell();
    unsigned char read = 0;
    if (!m_reader.ReadByte(read)) {
        return false;
    }
    unsigned char next = 0;
    if (read == '\r' && m_reader.PeekByte(next) && next == '\n') {
        m_reader.ReadByte(next);
        read = '\n';
    }
    byte = static_cast<char>(read);
    return true;
}

void CMessageReader::Skip(std::size_t count) {
    m_nLastStart = m_reader.Tell();
    m_reader.Consume(count);
}

void CMessageReader::StepBack() {
    m_reader.Seek(m_nLastStart);
}
