#pragma once

// A mutex that all processes of the user's session share by name; the program uses it to
// find out whether another instance is running.

#include <cstdint>
#include <string>

namespace platform {

class NamedMutex {
public:
    // Opens or creates the mutex; AlreadyExisted tells which.
    explicit NamedMutex(const std::string& name);
    ~NamedMutex();
    NamedMutex(const NamedMutex&) = delete;
    NamedMutex& operator=(const NamedMutex&) = delete;

    bool IsValid() const { return m_handle != kInvalid; }

    // True when another holder had already created the mutex.
    bool AlreadyExisted() const { return m_bAlreadyExisted; }

private:
    static constexpr std::intptr_t kInvalid = -1;
    std::intptr_t m_handle = kInvalid;
    bool m_bAlreadyExisted = false;
};

}  // namespace platform
