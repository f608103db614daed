#include "view/win/ListDragOut.h"

#include "res/resource.h"
#include "ui/Resources.h"
#include "ui/ScopedGdi.h"
#include "view/win/ListDataObject.h"
#include "view/win/ListDropSource.h"

#include <cstddef>

namespace {

constexpr char kPrivateData[] = "VELMARON1";  // 9 bytes, no terminator
constexpr std::size_t kPrivateDataSize = 9;

}  // namespace

DragOutResult DragOutFiles(HWND hwnd, POINT screenPoint, const std::string& fileList,
                           IListDesktop& desktop) {
    DragOutResult result;
    const auto privateFormat = static_cast<CLIPFORMAT>(
        RegisterClipboardFormatW(ui::LoadResourceString(IDS_PRIVATE_FORMAT).c_str()));
    ui::ScopedGlobal marker = ui::CopyToGlobal(kPrivateData, kPrivateDataSize);
    ui::ScopedGlobal files = ui::CopyToGlobal(fileList.data(), fileList.size());
    if (!marker || !files) {
        return result;
    }
    const ui::ComPtr<CListDataObject> data = CListDataObject::Create();
    data->Add(privateFormat, std::move(marker));
    data->Add(CF_HDROP, std::move(files));

    const ui::ComPtr<CListDropSource> source = CListDropSource::Create();
    if (source->BeginDrag(hwnd, screenPoint)) {
        result.effect = desktop.RunDrag(data.Get(), source.Get());
    }
    result.bStarted = source->HasDragStarted();
    return result;
}
