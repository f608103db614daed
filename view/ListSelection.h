#pragma once

// The selection of the attachment list and the input that changes it: left press and
// release, right press, the arrow keys, and the file list a drag of the selection carries.
//
// The selection has two forms, never mixed: the open record's own row (standing for the
// record and its folder), or any number of the open record's attachment rows. The control
// key adds and removes single attachments; there is no range selection.
//
// A plain press on an attachment that is part of a multiple selection, and a control-press
// on a selected attachment, change nothing at once: the press may start a drag of the whole
// selection. The change is made by the release that the window posts when the press ended
// without a drag (the deferred press).

#include "view/ListGeometry.h"

#include <string>

class CRecordStore;
class CListLayout;

namespace list {

enum class Key { Down, Up, Other };

// What a left press did: whether it landed on a row (only then may a drag start) and
// whether its selection change waits for the release.
struct PressResult {
    bool bHit = false;
    bool bDeferred = false;
};

}  // namespace list

class CListSelection {
public:
    CListSelection(CRecordStore& store, CListLayout& layout);
    virtual ~CListSelection() = default;
    CListSelection(const CListSelection&) = delete;
    CListSelection& operator=(const CListSelection&) = delete;

    // True when more than one attachment flag is set.
    bool HasMultipleSelection() const;

    // The path of the one selected attachment: empty when several or none are selected.
    // Whether the record row is selected plays no part.
    std::string GetSingleSelection() const;

    // The record row is selected or some attachment is.
    bool HasSelection() const;

    // Index of the first selected attachment, or -1.
    int FirstSelected() const;

    // Whether the last left press missed every attachment row; releases and double-clicks
    // are ignored while it is so (also before any press).
    bool IsPressOffAttachment() const { return m_bPressOffAttachment; }

    // Left press at a client point. The window starts a drag when the result has a hit, and
    // posts the release itself when the press was deferred and no drag began.
    list::PressResult OnLeftPress(list::Point point, bool bControl);

    // Left release at a client point.
    void OnLeftRelease(list::Point point, bool bControl);

    // Right press at a client point: selects as a press does, without drag or deferral, and
    // without scrolling a newly opened record into view.
    void OnRightPress(list::Point point, bool bControl);

    // The arrow keys. Returns false for the two cases that end without the default handling
    // (nothing to move to).
    bool OnKeyDown(list::Key key);

    // The keyboard's steps: record n with its own row selected (opened when it is not the
    // open record), and attachment n alone selected, each scrolled into view.
    void SelectRecordAt(int n);
    void SelectAttachmentAt(int n);

    // The file list of a drag-out: the platform's 20-byte file-drop header (name offset 20,
    // point 0, 0, not the non-client area, 8-bit names) followed by the names, each ending
    // in a zero byte, and one more zero byte. The names are the open record's folder when
    // its row is selected, otherwise the selected attachments in list order.
    std::string BuildDropFileList() const;

private:
    void SelectOnly(int j, bool wasRecordRow);
    void OnRecordPress(int i, bool bReveal);
    void BlockIntoView(int n);
    void RowIntoView(const list::Rect& row);
    void ClearFlags();

    CRecordStore& m_store;
    CListLayout& m_layout;
    bool m_bPressOffAttachment = true;
};
