#include "intake/DropWindowLayout.h"

DropZone CDropWindowLayout::TestZone(DropPoint point, bool useUnsentFunction) {
    if (kMainZone.Contains(point)) {
        return DropZone::Extraction;
    }
    if (useUnsentFunction && kUnsentZone.Contains(point)) {
        return DropZone::Unsent;
    }
    return DropZone::None;
}

bool CDropWindowLayout::IsClientPoint(DropPoint point) {
    return kMainZone.Contains(point) || kCloseZone.Contains(point);
}

CDropWindowLayout::ClickAction CDropWindowLayout::Click(DropPoint down, DropPoint up) {
    if (kMainZone.Contains(down) && kMainZone.Contains(up)) {
        return ClickAction::OpenList;
    }
    if (kCloseZone.Contains(down) && kCloseZone.Contains(up)) {
        return ClickAction::Exit;
    }
    return ClickAction::None;
}

std::vector<DropWindowTool> CDropWindowLayout::Tooltips(bool useUnsentFunction) {
    std::vector<DropWindowTool> tools;
    tools.push_back({1, kMainZone, "メールをドラッグ、\nここをクリックでリストが開きます。"});
    if (useUnsentFunction) {
        tools.push_back({2, kUnsentZone, "未送信状態にするメールをドラッグ"});
    }
    tools.push_back({static_cast<unsigned>(tools.size() + 1), kCloseZone, "閉じる"});
    return tools;
}

ScreenPosition CDropWindowLayout::Place(const WorkArea& workArea, int windowWidth) {
    return {workArea.right - 21 - windowWidth,
            workArea.top + (workArea.bottom - workArea.top) / 4};
}
