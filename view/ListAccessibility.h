#pragma once

// The attachment list as assistive technology sees it: a list whose children are its rows
// in the order shown (the records, the open record's attachments below it), each with a
// name, a place, and its selection and focus. The window's accessible object answers from
// here, and the window raises the events that Changes lists after each input.
//
// Children are numbered from 1 in row order; 0 stands for the list itself.

#include "view/ListGeometry.h"

#include <cstddef>
#include <string>
#include <vector>

class CRecordStore;
class CListLayout;
class CExtensionList;

namespace list {

struct AccessibleRow {
    bool bRecord = true;
    std::size_t nIndex = 0;  // into the record list, or into the open record's attachments
    Rect rect;               // logical units
    bool bSelected = false;
};

// What the selection looks like at one moment, to be compared with the next.
struct AccessibleState {
    std::size_t nChildren = 0;
    int nOpenRecord = -1;  // the row of the open record, -1 when none is listed
    int nFocus = 0;
    std::vector<int> arrSelected;
    bool operator==(const AccessibleState&) const = default;
};

enum class AccessibleEvent {
    Reorder,          // the rows changed (a record opened, rows deleted or added)
    Focus,            // the child with the keyboard focus
    Selection,        // the selection is now this one child alone
    SelectionAdd,     // this child joined the selection
    SelectionRemove,  // this child left it
    SelectionWithin,  // the selection changed in more than one child
};

struct AccessibleChange {
    AccessibleEvent event = AccessibleEvent::Reorder;
    int nChild = 0;
    bool operator==(const AccessibleChange&) const = default;
};

}  // namespace list

class CListAccessibility {
public:
    CListAccessibility(const CRecordStore& store, const CListLayout& layout,
                       const CExtensionList& allowedList);

    int GetChildCount() const;
    // The row of child (1 ... count); false for any other number.
    bool GetChild(int child, list::AccessibleRow& row) const;

    // The name read out for child, Shift_JIS: a record's date, sender and subject; an
    // attachment's file name and size, the alert text of an alert file, or a message's
    // subject, date and sender; the parts separated by "、". Empty for a row whose file is
    // gone, and for 0.
    std::string GetName(int child) const;

    bool IsSelected(int child) const;
    // The child the keyboard is on: the selected record row, or else the first selected
    // attachment; 0 when nothing is selected.
    int GetFocus() const;
    std::vector<int> GetSelection() const;

    // The child's rectangle in client coordinates (unclipped), and whether any of it shows.
    list::Rect GetChildRect(int child) const;
    bool IsVisible(int child) const;
    // The child under a client point, 0 when the point is on no row.
    int HitTest(list::Point client) const;

    list::AccessibleState Snapshot() const;
    // The events that tell a screen reader how before became after, in the order to raise
    // them.
    static std::vector<list::AccessibleChange> Changes(const list::AccessibleState& before,
                                                       const list::AccessibleState& after);

private:
    std::vector<list::AccessibleRow> Rows() const;

    const CRecordStore& m_store;
    const CListLayout& m_layout;
    const CExtensionList& m_allowed;
};
