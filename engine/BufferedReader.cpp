#include "engine/BufferedReader.h"

#include <cstring>
#include <utility>

bool CBufferedReader::Open(const std::string& path) {
    Close();
    if (!m_file.Open(path, platform::File::Mode::Read)) {
        return false;
    }
    m_strBuffer.resize(kBlockSize);
    m_bOpen = true;
    return true;
}

void CBufferedReader::OpenText(std::string text) {
    Close();
    m_strBuffer = std::move(text);
    m_nLength = m_strBuffer.size();
    m_bInMemory = true;
    m_bOpen = true;
}

void CBufferedReader::Close() {
    m_file.Close();
    m_strBuffer.clear();
    m_strBuffer.shrink_to_fit();
    m_bOpen = false;
    m_bInMemory = false;
    m_bError = false;
    m_nBufferStart = 0;
    m_nLength = 0;
    m_nPos = 0;
}

bool CBufferedReader::Fill() {
    if (m_nPos < m_nLength) {
        return true;
    }
    if (!m_bOpen || m_bInMemory || m_bError) {
        return false;
    }
    m_nBufferStart += m_nLength;
    m_nLength = 0;
    m_nPos = 0;
    const auto got = m_file.Read(m_strBuffer.data(), m_strBuffer.size());
    if (!got) {
        m_bError = true;
        return false;
    }
    m_nLength = *got;
    return m_nLength > 0;
}

bool CBufferedReader::ReadByte(unsigned char& byte) {
    if (!Fill()) {
        return false;
    }
    byte = static_cast<unsigned char>(m_strBuffer[m_nPos++]);
    return true;
}

bool CBufferedReader::PeekByte(unsigned char& byte) {
    if (!Fill()) {
        return false;
    }
    byte = static_cast<unsigned char>(m_strBuffer[m_nPos]);
    return true;
}

bool CBufferedReader::ReadThrough(char delimiter, std::string& out) {
    bool bReadAny = false;
    while (Fill()) {
        const char* start = m_strBuffer.data() + m_nPos;
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

void CBufferedReader::Seek(std::uint64_t offset) {
    if (offset >= m_nBufferStart && offset - m_nBufferStart <= m_nLength) {
        m_nPos = static_cast<std::size_t>(offset - m_nBufferStart);
        return;
    }
    if (m_bInMemory) {
        m_nPos = m_nLength;  // beyond the end of the text
        return;
    }
    // Outside the block in hand: the next Fill reads from the new offset.
    m_nBufferStart = offset;
    m_nLength = 0;
    m_nPos = 0;
    if (m_bOpen && !m_file.Seek(offset)) {
        m_bError = true;
    }
}
