// Whatever bytes a list file holds, reading it neither crashes, nor reads beyond them, nor
// allocates for a count or length they cannot hold. A damaged file leaves the list as it
// was; a list that was read is written back and reads again unchanged.

#include "store/RecordListFile.h"
#include "policy/ExtensionListFile.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

void CheckExtensionList(std::string_view bytes, bool keepDescriptions) {
    const CExtensionList kept({"kept"}, {"kept"});
    CExtensionList list = kept;
    if (DecodeExtensionList(bytes, list, keepDescriptions) != ListLoadResult::Loaded) {
        if (list != kept) {
            std::abort();
        }
        return;
    }
    if (list.GetDescriptions().size() != list.GetCount()) {
        std::abort();
    }
    const auto encoded = EncodeExtensionList(list);
    CExtensionList again;
    if (!encoded || DecodeExtensionList(*encoded, again, true) != ListLoadResult::Loaded ||
        again != list) {
        std::abort();
    }
}

void CheckRecordList(std::string_view bytes) {
    std::vector<std::string> records{"kept"};
    if (DecodeRecordList(bytes, records) != ListLoadResult::Loaded) {
        if (records != std::vector<std::string>{"kept"}) {
            std::abort();
        }
        return;
    }
    const auto encoded = EncodeRecordList(records);
    std::vector<std::string> again;
    if (!encoded || DecodeRecordList(*encoded, again) != ListLoadResult::Loaded ||
        again != records) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CheckExtensionList(bytes, true);
    CheckExtensionList(bytes, false);
    CheckRecordList(bytes);
    return 0;
}
