#include "engine/MessageReader.h"

#include <utility>

bool CMessageReader::Open(const std::string& path) {
    m_nLastStart = 0;
    return m_reader.Open(path);
}

void CMessageReader::OpenText(std::string text) {
    m_nLastStart = 0;
    m_reader.OpenText(std::move(text));
}

void CMessageReader::Close() {
    m_reader.Close();
    m_nLastStart = 0;
}

bool CMessageReader::ReadLine(std::string& line) {
    line.clear();
    m_nLastStart = m_reader.Tell();
    m_lastBreak = {};
    if (!m_reader.ReadThrough('\n', line)) {
        return false;
    }
    if (!line.empty() && line.back() == '\n') {
        line.pop_back();
        m_lastBreak = "\n";
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
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

void CMessageReader::StepBack() {
    m_reader.Seek(m_nLastStart);
}
