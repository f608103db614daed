#pragma once

// The contents of one dropped item, read front to back in chunks. The drop target's OLE
// adaptor reads a stream or a global memory block through it; tests read memory. The
// source is released when the object is destroyed.

#include <cstddef>
#include <optional>

class IByteSource {
public:
    virtual ~IByteSource() = default;

    // Reads up to size bytes into buffer. Returns the count read, 0 at the end; nothing on
    // a read error. A count above size is taken as a read error as well.
    virtual std::optional<std::size_t> Read(void* buffer, std::size_t size) = 0;
};
