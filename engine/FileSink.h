#pragma once

// A body writer's output into a file opened by the caller for writing (binary: the bytes
// are written as they are).

#include "engine/ByteSink.h"
#include "platform/File.h"

class CFileSink : public CByteSink {
public:
    explicit CFileSink(platform::File& file) : m_file(file) {}
    bool Write(const char* data, std::size_t size) override { return m_file.Write(data, size); }

private:
    platform::File& m_file;
};
