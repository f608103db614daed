#include "intake/DropWindowLayout.h"

#include <algorithm>

namespace {

ZoneRect ScaleRect(const ZoneRect& r, const dpi::CDpiScale& scale) {
    const dpi::CDpiScale s = scale.ForPictures();
    return {s.Scale(r.left), s.Scale(r.top), s.Scale(r.right), s.Scale(r.bottom)};
}

}  // namespace

WindowSize CDropWindowLayout::Size(const Scale& scale) {
    const dpi::CDpiScale s = scale.ForPictures();
    return {s.Scale(kWidth), s.Scale(kHeight)};
}

ZoneRect CDropWindowLayout::MainZone(const Scale& scale) {
    return ScaleRect(kMainZone, scale);
}

ZoneRect CDropWindowLayout::CloseZone(const Scale& scale) {
    return ScaleRect(kCloseZone, scale);
}

ZoneRect CDropWindowLayout::UnsentZone(const Scale& scale) {
    return ScaleRect(kUnsentZone, scale);
}

std::vector<RegionPart> CDropWindowLayout::Shape(const Scale& scale) {
    const WindowSize size = Size(scale);
    return {{{0, 0, size.cx, size.cy}, size.cx}, {CloseZone(scale), 1}};
}

DropZone CDropWindowLayout::TestZone(DropPoint point, bool useUnsentFunction, const Scale& scale) {
    if (MainZone(scale).Contains(point)) {
        return DropZone::Extraction;
    }
    if (useUnsentFunction && UnsentZone(scale).Contains(point)) {
        return DropZone::Unsent;
    }
    return DropZone::None;
}

bool CDropWindowLayout::IsClientPoint(DropPoint point, const Scale& scale) {
    return MainZone(scale).Contains(point) || CloseZone(scale).Contains(point);
}

CDropWindowLayout::ClickAction CDropWindowLayout::Click(DropPoint down, DropPoint up,
                                                        const Scale& scale) {
    const ZoneRect main = MainZone(scale);
    const ZoneRect close = CloseZone(scale);
    if (main.Contains(down) && main.Contains(up)) {
        return ClickAction::OpenList;
    }
    if (close.Contains(down) && close.Contains(up)) {
        return ClickAction::Exit;
    }
    return ClickAction::None;
}

std::vector<DropWindowTool> CDropWindowLayout::Tooltips(bool useUnsentFunction,
                                                        const Scale& scale) {
    std::vector<DropWindowTool> tools;
    tools.push_back({1, MainZone(scale), "メールをドラッグ、\nここをクリックでリストが開きます。"});
    if (useUnsentFunction) {
        tools.push_back({2, UnsentZone(scale), "未送信状態にするメールをドラッグ"});
    }
    tools.push_back({static_cast<unsigned>(tools.size() + 1), CloseZone(scale), "閉じる"});
    return tools;
}

ScreenPosition CDropWindowLayout::Place(const WorkArea& workArea, int windowWidth,
                                        const Scale& scale) {
    return {workArea.right - scale.Scale(21) - windowWidth,
            workArea.top + (workArea.bottom - workArea.top) / 4};
}

ScreenPosition CDropWindowLayout::Follow(const WorkArea& before, const ZoneRect& window,
                                         const Scale& scaleBefore, const WorkArea& after,
                                         const Scale& scaleAfter, int suggestedTop) {
    const WindowSize size = Size(scaleAfter);
    const int toRight = before.right - window.right;
    const int toLeft = window.left - before.left;
    ScreenPosition position;
    if (toRight <= toLeft) {
        position.x = after.right - scaleAfter.Scale(scaleBefore.Unscale(toRight)) - size.cx;
    } else {
        position.x = after.left + scaleAfter.Scale(scaleBefore.Unscale(toLeft));
    }
    position.y = std::max(after.top, std::min(suggestedTop, after.bottom - size.cy));
    return position;
}
