#include "view/ListSelection.h"

#include "view/ListLayout.h"
#include "store/RecordStore.h"
#include "store/StorePaths.h"

#include <cstdint>

using list::Point;
using list::Rect;

CListSelection::CListSelection(CRecordStore& store, CListLayout& layout)
    : m_store(store), m_layout(layout) {}

bool CListSelection::HasMultipleSelection() const {
    int set = 0;
    for (const std::uint16_t flag : m_store.m_arrSelected) {
        if (flag != 0 && ++set > 1) {
            return true;
        }
    }
    return false;
}

int CListSelection::FirstSelected() const {
    for (std::size_t k = 0; k < m_store.m_arrSelected.size(); ++k) {
        if (m_store.m_arrSelected[k] != 0) {
            return static_cast<int>(k);
        }
    }
    return -1;
}

std::string CListSelection::GetSingleSelection() const {
    if (HasMultipleSelection()) {
        return {};
    }
    const int first = FirstSelected();
    if (first < 0 || static_cast<std::size_t>(first) >= m_store.m_arrAttachments.size()) {
        return {};
    }
    return m_store.m_arrAttachments[static_cast<std::size_t>(first)];
}

bool CListSelection::HasSelection() const {
    return m_store.m_bRecordRowSelected || FirstSelected() >= 0;
}

void CListSelection::ClearFlags() {
    for (std::uint16_t& flag : m_store.m_arrSelected) {
        flag = 0;
    }
}

list::PressResult CListSelection::OnLeftPress(Point point, bool bControl) {
    m_bPressOffAttachment = true;
    bool isRecord = false;
    bool isAttachment = false;
    const int index = m_layout.HitTest(point, isRecord, isAttachment);
    list::PressResult result;
    if (index < 0) {
        return result;
    }
    result.bHit = true;
    if (isRecord) {
        OnRecordPress(index, true);
        return result;
    }
    const bool wasRecordRow = m_store.m_bRecordRowSelected;
    m_bPressOffAttachment = false;
    m_store.m_bRecordRowSelected = false;
    const std::size_t j = static_cast<std::size_t>(index);
    if (bControl) {
        if (m_store.m_arrSelected[j] != 0) {
            result.bDeferred = true;
        } else {
            m_store.m_arrSelected[j] = 1;
            m_layout.Invalidate(m_layout.AttachmentRowRect(index, wasRecordRow));
        }
    } else if (HasMultipleSelection() && m_store.m_arrSelected[j] != 0) {
        result.bDeferred = true;
    } else {
        SelectOnly(index, wasRecordRow);
    }
    return result;
}

void CListSelection::OnRecordPress(int i, bool bReveal) {
    const bool wasRecordRow = m_store.m_bRecordRowSelected;
    m_store.m_bRecordRowSelected = true;
    if (m_store.m_arrRecords[static_cast<std::size_t>(i)] != m_store.m_strOpenRecord) {
        m_store.OpenRecordAt(static_cast<std::size_t>(i));
        m_layout.SetScrollExtent();
        if (bReveal) {
            BlockIntoView(i);
        }
        m_layout.InvalidateAll();
        return;
    }
    ClearFlags();
    if (!wasRecordRow) {
        m_layout.Invalidate(m_layout.RecordBlockRect(i));
    }
}

void CListSelection::SelectOnly(int j, bool wasRecordRow) {
    for (std::size_t k = 0; k < m_store.m_arrSelected.size(); ++k) {
        const bool bWanted = static_cast<int>(k) == j;
        const bool bSet = m_store.m_arrSelected[k] != 0;
        if (bWanted == bSet) {
            continue;
        }
        m_store.m_arrSelected[k] = bWanted ? 1 : 0;
        if (!wasRecordRow) {
            m_layout.Invalidate(m_layout.AttachmentRowRect(static_cast<int>(k), false));
        }
    }
    if (wasRecordRow) {
        m_layout.Invalidate(m_layout.AttachmentRowRect(j, true));
    }
}

void CListSelection::OnLeftRelease(Point point, bool bControl) {
    if (m_bPressOffAttachment) {
        return;
    }
    bool isRecord = false;
    bool isAttachment = false;
    const int index = m_layout.HitTest(point, isRecord, isAttachment);
    if (index < 0 || !isAttachment) {
        return;
    }
    m_store.m_bRecordRowSelected = false;
    const std::size_t j = static_cast<std::size_t>(index);
    if (bControl) {
        if (m_store.m_arrSelected[j] != 0) {
            m_store.m_arrSelected[j] = 0;
            m_layout.Invalidate(m_layout.AttachmentRowRect(index, false));
        }
    } else if (HasMultipleSelection() && m_store.m_arrSelected[j] != 0) {
        ClearFlags();
        m_store.m_arrSelected[j] = 1;
        m_layout.InvalidateAll();
    }
}

void CListSelection::OnRightPress(Point point, bool bControl) {
    bool isRecord = false;
    bool isAttachment = false;
    const int index = m_layout.HitTest(point, isRecord, isAttachment);
    if (index < 0) {
        return;
    }
    if (isRecord) {
        OnRecordPress(index, false);
        return;
    }
    const bool wasRecordRow = m_store.m_bRecordRowSelected;
    m_store.m_bRecordRowSelected = false;
    const std::size_t j = static_cast<std::size_t>(index);
    if (bControl) {
        if (m_store.m_arrSelected[j] == 0) {
            m_store.m_arrSelected[j] = 1;
            m_layout.Invalidate(m_layout.AttachmentRowRect(index, wasRecordRow));
        }
    } else if (!(HasMultipleSelection() && m_store.m_arrSelected[j] != 0)) {
        SelectOnly(index, wasRecordRow);
    }
}

bool CListSelection::OnKeyDown(list::Key key) {
    if (key == list::Key::Other) {
        return true;
    }
    const int first = FirstSelected();
    const int count = static_cast<int>(m_store.m_arrAttachments.size());
    const int records = static_cast<int>(m_store.m_arrRecords.size());
    if (key == list::Key::Down) {
        if (count == 0 || first == count - 1) {
            const int n = m_store.FindOpenRecord() + 1;
            if (n > records - 1) {
                return false;
            }
            SelectRecordAt(n);
        } else {
            SelectAttachmentAt(first + 1);
        }
        return true;
    }
    if (count == 0 || m_store.m_bRecordRowSelected) {
        const int n = m_store.FindOpenRecord() - 1;
        if (n < 0) {
            return false;
        }
        SelectRecordAt(n);
    } else if (first <= 0) {
        // From the first attachment, and also when no attachment is selected at all (a
        // control-click removed the last one), up goes to the record's own row.
        const int open = m_store.FindOpenRecord();
        const int o = open < 0 ? 0 : open;
        m_store.m_bRecordRowSelected = true;
        ClearFlags();
        m_layout.Invalidate(m_layout.RecordBlockRect(o));
        RowIntoView(m_layout.RowRectInClient(o));
    } else {
        SelectAttachmentAt(first - 1);
    }
    return true;
}

void CListSelection::SelectRecordAt(int n) {
    if (n < 0 || static_cast<std::size_t>(n) >= m_store.m_arrRecords.size()) {
        return;
    }
    const bool wasRecordRow = m_store.m_bRecordRowSelected;
    m_store.m_bRecordRowSelected = true;
    if (m_store.m_arrRecords[static_cast<std::size_t>(n)] != m_store.m_strOpenRecord) {
        m_store.OpenRecordAt(static_cast<std::size_t>(n));
        m_layout.SetScrollExtent();
        BlockIntoView(n);
        m_layout.InvalidateAll();
        return;
    }
    // Already open (a record listed twice): its row is selected instead of its attachments.
    if (!wasRecordRow) {
        ClearFlags();
        m_layout.Invalidate(m_layout.RecordBlockRect(n));
    }
}

void CListSelection::SelectAttachmentAt(int n) {
    const bool wasRecordRow = m_store.m_bRecordRowSelected;
    m_store.m_bRecordRowSelected = false;
    SelectOnly(n, wasRecordRow);
    const int open = m_store.FindOpenRecord();
    const int o = open < 0 ? 0 : open;
    RowIntoView(m_layout.RowRectInClient(o + n + 1));
}

void CListSelection::BlockIntoView(int n) {
    const Point scroll = m_layout.GetScrollPosition();
    const int count = static_cast<int>(m_store.m_arrAttachments.size());
    const int rowHeight = m_layout.GetMetrics().nRowHeight;
    const int top = rowHeight * n - scroll.y;
    const int bottom = rowHeight * (count + n + 1) - scroll.y;
    const int clientTop = 0;
    const int clientBottom = m_layout.GetClientSize().cy;
    if (top > clientTop && bottom < clientBottom) {
        return;
    }
    if (bottom - top > clientBottom - clientTop || top < clientTop) {
        m_layout.ScrollToPosition({scroll.x, rowHeight * n});
    } else if (bottom > clientBottom) {
        m_layout.ScrollToPosition(
            {scroll.x, rowHeight * (count + n + 1) - clientBottom + clientTop});
    }
}

void CListSelection::RowIntoView(const Rect& row) {
    const Point scroll = m_layout.GetScrollPosition();
    const int clientTop = 0;
    const int clientBottom = m_layout.GetClientSize().cy;
    if (row.top < clientTop) {
        m_layout.ScrollToPosition({scroll.x, scroll.y + row.top});
    } else if (row.bottom > clientBottom) {
        m_layout.ScrollToPosition({scroll.x, scroll.y + row.bottom - clientBottom + clientTop});
    }
}

std::string CListSelection::BuildDropFileList() const {
    std::string names;
    if (m_store.m_bRecordRowSelected) {
        names = store::RecordFolderOf(m_store.m_strOpenRecord);
        names.push_back('\0');
    } else {
        for (std::size_t k = 0; k < m_store.m_arrSelected.size(); ++k) {
            if (m_store.m_arrSelected[k] != 0 && k < m_store.m_arrAttachments.size()) {
                names += m_store.m_arrAttachments[k];
                names.push_back('\0');
            }
        }
    }
    names.push_back('\0');

    // Five little-endian 32-bit fields: the offset of the names, the drop point (x, y), the
    // non-client flag and the wide-character flag.
    constexpr std::uint32_t kHeaderSize = 20;
    std::string block(kHeaderSize, '\0');
    block[0] = static_cast<char>(kHeaderSize);
    return block + names;
}
