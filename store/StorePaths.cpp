#include "store/StorePaths.h"

#include "platform/ShiftJis.h"

namespace store {

bool EndsWithBackslash(std::string_view path) {
    return !path.empty() && sjis::FindLastOf(path, "\\") == path.size() - 1;
}

std::string WithBackslash(std::string_view path) {
    std::string result(path);
    if (!EndsWithBackslash(path)) {
        result += '\\';
    }
    return result;
}

std::string RecordFolderOf(std::string_view recordFile) {
    if (recordFile.size() < kRecordSuffixLength) {
        return {};
    }
    return std::string(recordFile.substr(0, recordFile.size() - kRecordSuffixLength));
}

}  // namespace store
