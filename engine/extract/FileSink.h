#pragma once

// A body writer's output into a file opened by the caller for writing (binary: the bytes
// are written as they are). Writes are gathered into blocks, so a body of many short lines
// costs a few large writes instead of two per line; Flush writes what is gathered and must
// be called (and its result taken) before the file is closed. A piece of 8 KiB or more
// (what the body writers hand over once they have gathered a block themselves, or the
// whole of a small attachment decoded at once) is written as it is, without a copy.

#include "engine/mime/ByteSink.h"
#include "platform/File.h"

#include <algorithm>
#include <cstdint>
#include <string>

class CFileSink : public CByteSink {
public:
    static constexpr std::size_t kBlockSize = 256 * 1024;
    static constexpr std::size_t kDirectSize = 8 * 1024;

    // headSize: how many of the first bytes to keep (Head) for a look at what the file is.
    explicit CFileSink(platform::File& file, std::size_t headSize = 0)
        : m_file(file), m_nHeadSize(headSize) {}
    CFileSink(const CFileSink&) = delete;
    CFileSink& operator=(const CFileSink&) = delete;

    bool Write(const char* data, std::size_t size) override {
        if (m_strHead.size() < m_nHeadSize) {
            m_strHead.append(data, std::min(size, m_nHeadSize - m_strHead.size()));
        }
        m_nSize += size;
        if ((size >= kDirectSize || m_strBlock.size() + size > kBlockSize) && !Flush()) {
            return false;
        }
        if (size >= kDirectSize) {
            return m_file.Write(data, size);
        }
        if (m_strBlock.capacity() < kBlockSize) {
            m_strBlock.reserve(kBlockSize);  // only a file written in small pieces needs it
        }
        m_strBlock.append(data, size);
        return true;
    }

    // Writes what is gathered; false when the file did not take all of it.
    bool Flush() {
        const bool bOk = m_strBlock.empty() || m_file.Write(m_strBlock);
        m_strBlock.clear();
        return bOk;
    }

    // The first bytes handed over (up to the head size given), and how many there were.
    const std::string& Head() const { return m_strHead; }
    std::string TakeHead() { return std::move(m_strHead); }
    std::uint64_t Size() const { return m_nSize; }

private:
    platform::File& m_file;
    std::string m_strBlock;
    std::size_t m_nHeadSize;
    std::string m_strHead;
    std::uint64_t m_nSize = 0;
};
