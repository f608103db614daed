#pragma once

// What the intake reads from the data object of one drop. Valid only while the drop is
// handled: the file-group descriptor stays locked until the object is destroyed.

#include "intake/DroppedData.h"

#include <windows.h>

#include <ole2.h>

#include <string>
#include <vector>

class COleDroppedData final : public IDroppedData {
public:
    explicit COleDroppedData(IDataObject* data);
    ~COleDroppedData() override;
    COleDroppedData(const COleDroppedData&) = delete;
    COleDroppedData& operator=(const COleDroppedData&) = delete;

    std::vector<std::string> GetFormatNames() override;
    bool OffersPrivateFormat() override;
    bool FetchPrivateFormat() override;
    std::optional<std::string_view> GetFileGroupDescriptor() override;
    std::unique_ptr<IByteSource> OpenFileContents(std::size_t index) override;
    std::optional<std::vector<std::string>> GetFileList() override;
    std::unique_ptr<IByteSource> OpenListedFile(std::size_t index) override;

    // The clipboard format of the program's private drags (string 57606).
    static CLIPFORMAT PrivateFormat();

private:
    IDataObject* m_pData;
    STGMEDIUM m_descriptorMedium{};
    const void* m_pDescriptor = nullptr;
    bool m_bDescriptorFetched = false;
    std::vector<std::wstring> m_arrWidePaths;  // the file list as the shell gave it
};
