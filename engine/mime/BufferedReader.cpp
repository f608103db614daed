#include "engine/mime/BufferedReader.h"

#include <algorithm>
#include <cstring>
#include <utility>

bool CBufferedReader::Open(const std::string& path) {
    Close();
    if (!m_file.Open(path, platform::File::Mode::Read)) {
        return false;
    }
    if (!m_fileBlock) {
        m_fileBlock.reset(new char[kBlockSize]);  // not cleared: only what was read is used
    }
    m_pData = m_fileBlock.get();
    m_bOpen = true;
    return true;
}

void CBufferedReader::OpenText(std::string text, std::size_t blockSize) {
    Close();
    m_strText = std::move(text);
    m_pData = m_strText.data();
    m_nTextBlock = blockSize > 0 ? blockSize : 1;
    m_bInMemory = true;
    m_bOpen = true;
}

void CBufferedReader::Close() {
    m_file.Close();
    m_strText.clear();
    m_strText.shrink_to_fit();
    m_pData = nullptr;
    m_bOpen = false;
    m_bInMemory = false;
    m_bError = false;
    m_bAtEnd = false;
    m_nBufferStart = 0;
    m_nLength = 0;
    m_nPos = 0;
    m_nTextBlock = kBlockSize;
}

bool CBufferedReader::Fill() {
    if (m_nPos < m_nLength) {
        return true;
    }
    if (m_bInMemory) {
        // The next block of the text: the window's end moves on.
        m_nLength += std::min(m_nTextBlock, m_strText.size() - m_nLength);
        return m_nPos < m_nLength;
    }
    // A read that gave less than a block met the end of the file: no read is needed to
    // learn it again.
    if (!m_bOpen || m_bError || m_bAtEnd) {
        return false;
    }
    m_nBufferStart += m_nLength;
    m_nLength = 0;
    m_nPos = 0;
    const auto got = m_file.Read(m_fileBlock.get(), kBlockSize);
    if (!got) {
        m_bError = true;
        return false;
    }
    m_nLength = *got;
    m_bAtEnd = m_nLength < kBlockSize;
    return m_nLength > 0;
}

bool CBufferedReader::ReadByte(unsigned char& byte) {
    if (!Fill()) {
        return false;
    }
    byte = static_cast<unsigned char>(m_pData[m_nPos++]);
    return true;
}

bool CBufferedReader::PeekByte(unsigned char& byte) {
    if (!Fill()) {
        return false;
    }
    byte = static_cast<unsigned char>(m_pData[m_nPos]);
    return true;
}

bool CBufferedReader::ReadThrough(char delimiter, std::string& out) {
    bool bReadAny = false;
    while (Fill()) {
        const char* start = m_pData + m_nPos;
        const std::size_t available = m_nLength - m_nPos;
        const void* found = std::memchr(start, delimiter, available);
        const std::size_t take =
            found ? static_cast<std::size_t>(static_cast<const char*>(found) - start) + 1
                  : available;
        out.append(start, take);
        m_nPos += take;
        bReadAny = true;
        if (found) {
            break;
        }
    }
    return bReadAny;
}

std::string_view CBufferedReader::Buffered() {
    if (!Fill()) {
        return {};
    }
    return std::string_view(m_pData + m_nPos, m_nLength - m_nPos);
}

void CBufferedReader::Seek(std::uint64_t offset) {
    if (m_bInMemory) {
        // Beyond the end reads as the end; the window reaches at least the new position.
        m_nPos = static_cast<std::size_t>(std::min<std::uint64_t>(offset, m_strText.size()));
        m_nLength = std::max(m_nLength, m_nPos);
        return;
    }
    if (offset >= m_nBufferStart && offset - m_nBufferStart <= m_nLength) {
        m_nPos = static_cast<std::size_t>(offset - m_nBufferStart);
        return;
    }
    // Outside the block in hand: the next Fill reads from the new offset.
    m_nBufferStart = offset;
    m_nLength = 0;
    m_nPos = 0;
    m_bAtEnd = false;
    if (m_bOpen && !m_file.Seek(offset)) {
        m_bError = true;
    }
}
