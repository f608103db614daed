#include "store/RecordListFile.h"

#include "platform/File.h"

std::optional<std::string> EncodeRecordList(const std::vector<std::string>& records) {
    std::string data;
    if (!AppendStringArray(data, records)) {
        return std::nullopt;
    }
    return data;
}

ListLoadResult DecodeRecordList(std::string_view data, std::vector<std::string>& records) {
    CStringArchiveReader reader(data);
    return reader.ReadStringArray(records) ? ListLoadResult::Loaded : ListLoadResult::Damaged;
}

ListLoadResult LoadRecordListFile(const std::string& path, std::vector<std::string>& records) {
    std::string data;
    if (!platform::ReadWholeFile(path, data)) {
        return ListLoadResult::Unreadable;
    }
    return DecodeRecordList(data, records);
}

bool SaveRecordListFile(const std::string& path, const std::vector<std::string>& records) {
    const std::optional<std::string> data = EncodeRecordList(records);
    return data && platform::WriteWholeFile(path, *data);
}
