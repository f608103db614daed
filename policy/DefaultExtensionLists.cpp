#include "policy/DefaultExtensionLists.h"

#include "policy/FileTypeDescriptions.h"

#include <string_view>

namespace {

CExtensionList ListOf(std::span<const FileTypeDescription> rows, std::string_view skipped) {
    CExtensionList list;
    for (const FileTypeDescription& row : rows) {
        if (row.extension != skipped) {
            list.Add(row.extension, row.description);
        }
    }
    return list;
}

}  // namespace

CExtensionList DefaultAllowedList() {
    // The allowed dialog's table, less the one extension it offers beyond the defaults.
    return ListOf(AllowedDescriptionTable(), "eml");
}

CExtensionList DefaultProhibitedList() {
    // The prohibited dialog's table adds exactly these rows to the allowed one.
    return ListOf(ProhibitedDescriptionTable().subspan(AllowedDescriptionTable().size()), {});
}
