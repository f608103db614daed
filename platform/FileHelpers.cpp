#include "platform/File.h"

#include <utility>

namespace platform {

// Ownership is the same on every backend; only Open, Close and the transfers differ.
File::~File() {
    Close();
}

File::File(File&& other) noexcept : m_handle(std::exchange(other.m_handle, kInvalid)) {}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        Close();
        m_handle = std::exchange(other.m_handle, kInvalid);
    }
    return *this;
}

bool ReadWholeFile(const std::string& path, std::string& data) {
    File file;
    if (!file.Open(path, File::Mode::Read)) {
        return false;
    }
    data.clear();
    char buffer[65536];
    while (true) {
        const auto got = file.Read(buffer, sizeof buffer);
        if (!got) {
            return false;
        }
        if (*got == 0) {
            return true;
        }
        data.append(buffer, *got);
    }
}

bool WriteWholeFile(const std::string& path, const std::string& data) {
    File file;
    return file.Open(path, File::Mode::Write) && file.Write(data);
}

}  // namespace platform
