#include "platform/NamedMutex.h"

#include "platform/detail/SandboxState.h"
#include "platform/win32/WideText.h"

#include <windows.h>

namespace platform {

NamedMutex::NamedMutex(const std::string& name) {
    HANDLE handle = CreateMutexW(nullptr, FALSE, win32::ToWide(detail::SandboxedName(name)).c_str());
    if (handle == nullptr) {
        return;
    }
    m_bAlreadyExisted = GetLastError() == ERROR_ALREADY_EXISTS;
    m_handle = reinterpret_cast<std::intptr_t>(handle);
}

NamedMutex::~NamedMutex() {
    if (IsValid()) {
        CloseHandle(reinterpret_cast<HANDLE>(m_handle));
    }
}

}  // namespace platform
