#pragma once

// Where a body writer puts the decoded bytes of a part: the attachment's output file, or
// memory. A failed write is reported by the result; the writer then writes nothing more.

#include <cstddef>

class CByteSink {
public:
    virtual ~CByteSink() = default;
    // Writes all of data; false when not all of it could be written.
    virtual bool Write(const char* data, std::size_t size) = 0;
};
