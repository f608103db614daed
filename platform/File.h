#pragma once

// An open file, held with exclusive access: while it is open, no other opener (this process
// or another one) can open it.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace platform {

class File {
public:
    enum class Mode {
        Read,   // an existing file, for reading
        Write,  // created, or truncated when it exists, for writing
        CreateNew,  // created for writing; fails when anything of that name exists, which
                    // is never opened (the file system's idea of "that name": letter case
                    // aside on Windows)
    };

    File() = default;
    ~File();
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    bool Open(const std::string& path, Mode mode);
    bool IsOpen() const { return m_handle != kInvalid; }
    void Close();

    // Reads up to size bytes. Returns the count read (0 at the end of the file), or nothing
    // on a read error.
    std::optional<std::size_t> Read(void* buffer, std::size_t size);

    // Writes all of data; false when not all of it could be written.
    bool Write(const void* data, std::size_t size);
    bool Write(const std::string& data) { return Write(data.data(), data.size()); }

    // Moves the file position to offset bytes from the start.
    bool Seek(std::uint64_t offset);

    // The file's length in bytes.
    std::optional<std::uint64_t> Size() const;

private:
    static constexpr std::intptr_t kInvalid = -1;
    std::intptr_t m_handle = kInvalid;  // a HANDLE on Windows, a descriptor elsewhere
};

// Reads a whole file into data; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& data);

// Creates or truncates a file and writes data into it; false on any failure.
bool WriteWholeFile(const std::string& path, const std::string& data);

}  // namespace platform
