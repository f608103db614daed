#include "view/ListAccessibility.h"

#include "store/RecordFile.h"
#include "store/RecordStore.h"
#include "view/ListLayout.h"
#include "view/RowContent.h"

#include <algorithm>
#include <climits>
#include <iterator>

using list::AccessibleChange;
using list::AccessibleEvent;
using list::AccessibleRow;
using list::AccessibleState;

namespace {

constexpr char kSeparator[] = "、";

std::string TrimSpaces(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \r") - first + 1);
}

// Splits text at every occurrence of separator.
std::vector<std::string> Split(const std::string& text, const std::string& separator) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (std::size_t at = text.find(separator); at != std::string::npos;
         at = text.find(separator, start)) {
        pieces.push_back(text.substr(start, at - start));
        start = at + separator.size();
    }
    pieces.push_back(text.substr(start));
    return pieces;
}

// The parts of a drawn row text (its lines, and the four spaces between a message's date
// and sender) joined by the separator, empty parts left out. Spaces and line ends are single
// bytes that no Shift_JIS character holds, so a byte search is safe.
std::string JoinParts(const std::string& text) {
    std::string joined;
    for (const std::string& line : Split(text, "\r\n")) {
        for (const std::string& piece : Split(line, "    ")) {
            const std::string part = TrimSpaces(piece);
            if (!part.empty()) {
                joined += (joined.empty() ? "" : kSeparator) + part;
            }
        }
    }
    return joined;
}

}  // namespace

CListAccessibility::CListAccessibility(const CRecordStore& store, const CListLayout& layout,
                                       const CExtensionList& allowedList)
    : m_store(store), m_layout(layout), m_allowed(allowedList) {}

std::vector<AccessibleRow> CListAccessibility::Rows() const {
    // The layout's plan of the whole list is the one authority on the rows' order, places
    // and fills; a selected row is one filled as selected.
    const list::Rect everything{INT_MIN / 2, INT_MIN / 2, INT_MAX / 2, INT_MAX / 2};
    std::vector<AccessibleRow> rows;
    for (const list::PaintRow& row : m_layout.PlanPaint(everything)) {
        rows.push_back({row.bRecord, row.nIndex, row.rect, row.fill == list::RowFill::Selected});
    }
    return rows;
}

int CListAccessibility::GetChildCount() const {
    return static_cast<int>(m_layout.GetRowCount());
}

bool CListAccessibility::GetChild(int child, AccessibleRow& row) const {
    if (child < 1 || child > GetChildCount()) {
        return false;
    }
    const std::vector<AccessibleRow> rows = Rows();
    if (static_cast<std::size_t>(child) > rows.size()) {
        return false;
    }
    row = rows[static_cast<std::size_t>(child - 1)];
    return true;
}

std::string CListAccessibility::GetName(int child) const {
    AccessibleRow row;
    if (!GetChild(child, row)) {
        return {};
    }
    if (row.bRecord) {
        RecordFileText text;
        if (row.nIndex >= m_store.m_arrRecords.size() ||
            !ReadRecordFile(m_store.m_arrRecords[row.nIndex], text)) {
            return {};
        }
        return JoinParts(text.dateText + "    " + text.fromText + "    " + text.subjectText);
    }
    if (row.nIndex >= m_store.m_arrAttachments.size()) {
        return {};
    }
    const list::AttachmentRowContent content =
        list::DescribeAttachmentRow(m_store.m_arrAttachments[row.nIndex], m_allowed);
    return content.bDraw ? JoinParts(content.strText) : std::string();
}

bool CListAccessibility::IsSelected(int child) const {
    AccessibleRow row;
    return GetChild(child, row) && row.bSelected;
}

int CListAccessibility::GetFocus() const {
    const std::vector<AccessibleRow> rows = Rows();
    int firstAttachment = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (!rows[i].bSelected) {
            continue;
        }
        if (rows[i].bRecord) {
            return static_cast<int>(i + 1);
        }
        if (firstAttachment == 0) {
            firstAttachment = static_cast<int>(i + 1);
        }
    }
    return firstAttachment;
}

std::vector<int> CListAccessibility::GetSelection() const {
    std::vector<int> selected;
    const std::vector<AccessibleRow> rows = Rows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].bSelected) {
            selected.push_back(static_cast<int>(i + 1));
        }
    }
    return selected;
}

list::Rect CListAccessibility::GetChildRect(int child) const {
    AccessibleRow row;
    if (!GetChild(child, row)) {
        return {};
    }
    const list::Point scroll = m_layout.GetScrollPosition();
    return row.rect.Offset(-scroll.x, -scroll.y);
}

bool CListAccessibility::IsVisible(int child) const {
    return GetChildRect(child).Intersects(m_layout.GetClientRect());
}

int CListAccessibility::HitTest(list::Point client) const {
    const list::Point scroll = m_layout.GetScrollPosition();
    const list::Point logical{client.x + scroll.x, client.y + scroll.y};
    const std::vector<AccessibleRow> rows = Rows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].rect.Contains(logical)) {
            return static_cast<int>(i + 1);
        }
    }
    return 0;
}

AccessibleState CListAccessibility::Snapshot() const {
    AccessibleState state;
    const std::vector<AccessibleRow> rows = Rows();
    state.nChildren = rows.size();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int child = static_cast<int>(i + 1);
        if (rows[i].bRecord && static_cast<int>(rows[i].nIndex) == m_store.FindOpenRecord()) {
            state.nOpenRecord = child;
        }
        if (rows[i].bSelected) {
            state.arrSelected.push_back(child);
        }
    }
    state.nFocus = GetFocus();
    return state;
}

std::vector<AccessibleChange> CListAccessibility::Changes(const AccessibleState& before,
                                                          const AccessibleState& after) {
    std::vector<AccessibleChange> changes;
    const bool bReordered =
        before.nChildren != after.nChildren || before.nOpenRecord != after.nOpenRecord;
    if (bReordered) {
        changes.push_back({AccessibleEvent::Reorder, 0});
    }
    if (after.nFocus != 0 && (after.nFocus != before.nFocus || bReordered)) {
        changes.push_back({AccessibleEvent::Focus, after.nFocus});
    }
    const std::vector<int>& was = before.arrSelected;
    const std::vector<int>& now = after.arrSelected;
    if (was == now && !bReordered) {
        return changes;
    }
    if (now.size() == 1) {
        if (bReordered || was != now) {
            changes.push_back({AccessibleEvent::Selection, now.front()});
        }
        return changes;
    }
    std::vector<int> added;
    std::vector<int> removed;
    std::set_difference(now.begin(), now.end(), was.begin(), was.end(), std::back_inserter(added));
    std::set_difference(was.begin(), was.end(), now.begin(), now.end(),
                        std::back_inserter(removed));
    if (!bReordered && added.size() + removed.size() == 1) {
        changes.push_back(added.empty()
                              ? AccessibleChange{AccessibleEvent::SelectionRemove, removed.front()}
                              : AccessibleChange{AccessibleEvent::SelectionAdd, added.front()});
    } else if (!added.empty() || !removed.empty() || bReordered) {
        changes.push_back({AccessibleEvent::SelectionWithin, 0});
    }
    return changes;
}
