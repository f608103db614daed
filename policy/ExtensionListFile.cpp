#include "policy/ExtensionListFile.h"

#include "platform/File.h"

#include <utility>
#include <vector>

std::optional<std::string> EncodeExtensionList(const CExtensionList& list) {
    std::string data;
    if (!AppendStringArray(data, list.GetExtensions()) ||
        !AppendStringArray(data, list.GetDescriptions())) {
        return std::nullopt;
    }
    return data;
}

ListLoadResult DecodeExtensionList(std::string_view data, CExtensionList& list,
                                   bool keepDescriptions) {
    CStringArchiveReader reader(data);
    std::vector<std::string> extensions;
    std::vector<std::string> descriptions;
    if (!reader.ReadStringArray(extensions) || !reader.ReadStringArray(descriptions)) {
        return ListLoadResult::Damaged;
    }
    if (!keepDescriptions) {
        descriptions.clear();
    }
    list = CExtensionList(std::move(extensions), std::move(descriptions));
    return ListLoadResult::Loaded;
}

ListLoadResult LoadExtensionList(const std::string& path, CExtensionList& list,
                                 bool keepDescriptions) {
    std::string data;
    if (!platform::ReadWholeFile(path, data)) {
        return ListLoadResult::Unreadable;
    }
    return DecodeExtensionList(data, list, keepDescriptions);
}

ListLoadResult LoadProhibitedList(const std::string& path, CExtensionList& list) {
    const ListLoadResult result = LoadExtensionList(path, list, false);
    if (result == ListLoadResult::Loaded) {
        list.Add(kAlertExtension);
    }
    return result;
}

bool SaveExtensionList(const std::string& path, const CExtensionList& list) {
    const std::optional<std::string> data = EncodeExtensionList(list);
    return data && platform::WriteWholeFile(path, *data);
}
