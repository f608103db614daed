#pragma once

// What the intake reads from a dropped data object. The OLE adaptor answers from the
// IDataObject of the drop, which is valid only while the drop is handled; tests answer from
// memory. Every text is Shift_JIS.

#include "intake/ByteSource.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class IDroppedData {
public:
    virtual ~IDroppedData() = default;

    // The registered names of the formats on offer, as far as they have one (up to 255
    // characters each); the standard formats have none.
    virtual std::vector<std::string> GetFormatNames() = 0;

    // Whether the program's private format (kPrivateFormatName) is on offer, and whether
    // fetching its data gives any.
    virtual bool OffersPrivateFormat() = 0;
    virtual bool FetchPrivateFormat() = 0;

    // The bytes of the "FileGroupDescriptor" block, valid until the drop has been handled;
    // nothing when it is not on offer or cannot be fetched or locked.
    virtual std::optional<std::string_view> GetFileGroupDescriptor() = 0;

    // The same for the "FileGroupDescriptorW" block (the Unicode descriptor).
    virtual std::optional<std::string_view> GetFileGroupDescriptorW() = 0;

    // The "FileContents" of item index (content aspect, that item index, any medium: a
    // storage comes as the bytes of a compound file holding it); null when none comes back.
    virtual std::unique_ptr<IByteSource> OpenFileContents(std::size_t index) = 0;

    // The paths of the shell file list (CF_HDROP) in its order; nothing when it is not on
    // offer or cannot be fetched. A character Shift_JIS cannot hold comes as "?" (never as
    // a look-alike), so a path may not name the file; its name serves for the copy's name.
    virtual std::optional<std::vector<std::string>> GetFileList() = 0;

    // The contents of item index of the file list, read through the path exactly as the
    // shell gave it; null when the file cannot be opened.
    virtual std::unique_ptr<IByteSource> OpenListedFile(std::size_t index) = 0;
};
