// Whatever bytes a name holds, the native path of folder + "\" + name is that folder plus
// one native name: no byte may turn into a separator, a NUL or a way up.

#include "platform/ShiftJis.h"
#include "platform/posix/NativePath.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string name(reinterpret_cast<const char*>(data), size);
    if (name.empty() || sjis::FindFirstOf(name, "\\/") != std::string::npos || name == "." ||
        name == "..") {
        return 0;  // a path of several names, not one name
    }
    const auto native = platform::posix::ToNativePath("Z:\\base\\" + name);
    if (!native) {
        return 0;
    }
    const std::string prefix = "/base/";
    if (native->compare(0, prefix.size(), prefix) != 0 ||
        native->find('/', prefix.size()) != std::string::npos ||
        native->find('\0') != std::string::npos || *native == "/base/.." || *native == "/base/.") {
        std::abort();
    }
    return 0;
}
