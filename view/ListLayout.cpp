#include "view/ListLayout.h"

#include "platform/ShiftJis.h"
#include "store/RecordStore.h"

#include <algorithm>
#include <utility>

using list::Point;
using list::Rect;
using list::Size;

CListLayout::CListLayout(const CRecordStore& store) : m_store(store) {}

void CListLayout::SetDpi(int dpi) {
    const dpi::CDpiScale scale(dpi);
    if (scale == m_scale) {
        return;
    }
    // The row at the top of the window stays there, and so does the horizontal share.
    const int topRow = m_ptScroll.y / m_metrics.nRowHeight;
    const int x = m_scale.Unscale(m_ptScroll.x);
    m_scale = scale;
    m_metrics = list::Metrics::At(scale);
    SetScrollExtent();
    ScrollToPosition({m_scale.Scale(x), topRow * m_metrics.nRowHeight});
    m_update.bExtentChanged = true;
    InvalidateAll();
}

Point CListLayout::GetScrollLimit() const {
    return {std::max(0, m_sizeTotal.cx - m_sizeClient.cx),
            std::max(0, m_sizeTotal.cy - m_sizeClient.cy)};
}

void CListLayout::SetClientSize(Size size) {
    m_sizeClient = {std::max(0, size.cx), std::max(0, size.cy)};
    ScrollToPosition(m_ptScroll);
}

void CListLayout::SetScrollExtent() {
    const Size total{m_metrics.nExtentWidth,
                     static_cast<int>(GetRowCount()) * m_metrics.nRowHeight};
    if (total != m_sizeTotal) {
        m_sizeTotal = total;
        m_update.bExtentChanged = true;
    }
    ScrollToPosition(m_ptScroll);
}

void CListLayout::ScrollToPosition(Point position) {
    const Point limit = GetScrollLimit();
    const Point kept{std::clamp(position.x, 0, limit.x), std::clamp(position.y, 0, limit.y)};
    if (kept != m_ptScroll) {
        m_ptScroll = kept;
        m_update.bScrolled = true;
    }
}

void CListLayout::ScrollBy(int dx, int dy) {
    ScrollToPosition({m_ptScroll.x + dx, m_ptScroll.y + dy});
}

void CListLayout::ScrollByWheel(int wheelDelta, int linesPerNotch) {
    const int page = GetPageSize().cy;
    int displacement = 0;
    if (linesPerNotch < 0) {
        displacement = wheelDelta > 0 ? -page : page;
    } else {
        displacement = static_cast<int>(static_cast<long long>(-wheelDelta) * linesPerNotch / 120 *
                                        m_metrics.LineHeight());
        displacement = std::clamp(displacement, -page, page);
    }
    ScrollBy(0, displacement);
}

std::size_t CListLayout::GetRowCount() const {
    return m_store.m_arrRecords.size() + m_store.m_arrAttachments.size();
}

int CListLayout::HitTest(Point point, bool& isRecord, bool& isAttachment) const {
    isRecord = isAttachment = false;
    const int x = point.x + m_ptScroll.x;
    const int y = point.y + m_ptScroll.y;
    // Above the first row is outside the list (a captured mouse can report such points).
    if (y < 0) {
        return -1;
    }
    const std::size_t row = static_cast<std::size_t>(y / m_metrics.nRowHeight);
    if (row >= GetRowCount()) {
        return -1;
    }
    const std::size_t count = m_store.m_arrAttachments.size();
    std::size_t offset = 0;
    for (std::size_t i = 0; i < m_store.m_arrRecords.size(); ++i) {
        if (i + offset == row) {
            isRecord = true;
            return static_cast<int>(i);
        }
        if (m_store.m_arrRecords[i] == m_store.m_strOpenRecord) {
            if (row > i && row <= i + count) {
                if (x < m_metrics.nIndent) {
                    return -1;  // the indent is no part of an attachment row
                }
                isAttachment = true;
                return static_cast<int>(row - i - 1);
            }
            offset = count;
        }
    }
    return -1;
}

int CListLayout::OpenRecordRow() const {
    const int open = m_store.FindOpenRecord();
    return open < 0 ? 0 : open;
}

Rect CListLayout::RecordBlockRect(int i) const {
    const int count = static_cast<int>(m_store.m_arrAttachments.size());
    const int h = m_metrics.nRowHeight;
    const Rect block{0, h * i, m_metrics.nRowWidth, h * i + h * (1 + count)};
    return block.Offset(-m_ptScroll.x, -m_ptScroll.y).Intersect(GetClientRect());
}

Rect CListLayout::AttachmentRowRect(int j, bool whole) const {
    const int o = OpenRecordRow();
    if (whole) {
        return RecordBlockRect(o);
    }
    return RowRectInClient(o + j + 1).Intersect(GetClientRect());
}

Rect CListLayout::RowRectInClient(int row) const {
    return m_metrics.RecordRowRect(row).Offset(-m_ptScroll.x, -m_ptScroll.y);
}

Rect CListLayout::GetVisibleLogicalRect() const {
    return GetClientRect().Offset(m_ptScroll.x, m_ptScroll.y);
}

std::vector<list::PaintRow> CListLayout::PlanPaint(const Rect& clip) const {
    std::vector<list::PaintRow> rows;
    const std::string& open = m_store.m_strOpenRecord;
    const std::size_t count = m_store.m_arrAttachments.size();
    int row = 0;
    for (std::size_t i = 0; i < m_store.m_arrRecords.size(); ++i) {
        const std::string& record = m_store.m_arrRecords[i];
        // The open record is found without regard to letter case, as it is drawn.
        const bool bOpen = record.size() == open.size() && sjis::EqualsNoCase(record, open);
        const Rect r = m_metrics.RecordRowRect(row);
        if (r.Intersects(clip)) {
            const list::RowFill fill = !bOpen                         ? list::RowFill::Plain
                                       : m_store.m_bRecordRowSelected ? list::RowFill::Selected
                                                                      : list::RowFill::Open;
            rows.push_back({true, i, r, fill});
        }
        if (!bOpen) {
            ++row;
            continue;
        }
        for (std::size_t j = 0; j < count; ++j) {
            const Rect a = m_metrics.AttachmentRowRectAt(row + 1 + static_cast<int>(j));
            if (!a.Intersects(clip)) {
                continue;
            }
            const bool bSelected =
                j < m_store.m_arrSelected.size() && m_store.m_arrSelected[j] != 0;
            const list::RowFill fill = m_store.m_bRecordRowSelected ? list::RowFill::Open
                                       : bSelected                  ? list::RowFill::Selected
                                                                    : list::RowFill::Plain;
            rows.push_back({false, j, a, fill});
        }
        row += 1 + static_cast<int>(count);
    }
    return rows;
}

void CListLayout::Invalidate(const Rect& clientRect) {
    if (!m_update.bInvalidateAll && !clientRect.IsEmpty()) {
        m_update.arrInvalid.push_back(clientRect);
    }
}

void CListLayout::InvalidateAll() {
    m_update.bInvalidateAll = true;
    m_update.arrInvalid.clear();
}

list::Update CListLayout::TakeUpdate() {
    return std::exchange(m_update, list::Update{});
}
