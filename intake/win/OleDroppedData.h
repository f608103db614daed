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
    std::optional<std::string_view> GetFileGroupDescriptorW() override;
    std::unique_ptr<IByteSource> OpenFileContents(std::size_t index) override;
    std::optional<std::vector<std::string>> GetFileList() override;
    std::unique_ptr<IByteSource> OpenListedFile(std::size_t index) override;

    // The clipboard format of the program's private drags (string 57606).
    static CLIPFORMAT PrivateFormat();

private:
    // One descriptor block, fetched once and locked until the object goes.
    struct Descriptor {
        STGMEDIUM medium{};
        const void* pBlock = nullptr;
        bool bFetched = false;
    };
    std::optional<std::string_view> FetchDescriptor(const char* formatName, Descriptor& descriptor);
    static void ReleaseDescriptor(Descriptor& descriptor);

    IDataObject* m_pData;
    Descriptor m_descriptor;
    Descriptor m_descriptorW;
    std::vector<std::wstring> m_arrWidePaths;  // the file list as the shell gave it
};
