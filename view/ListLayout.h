#pragma once

// Where the rows of the attachment list are, and what part of them the window shows.
//
// The records are rows one below the other; the open record's attachments take the rows
// directly below it, so every record after it moves down by their number. The layout keeps
// the scroll state of the window (client size, scroll extent, position) as a scroll view
// keeps it, maps client points onto rows, gives the rectangles to repaint in client
// coordinates and plans a paint. What the window must repaint or scroll is collected as an
// update that the window takes and applies after each call.

#include "view/ListGeometry.h"

#include <cstddef>
#include <vector>

class CRecordStore;

namespace list {

// What the window must do after a change: repaint rectangles (client coordinates) or the
// whole client area, and take the new scroll position and extent into its scroll bars.
struct Update {
    bool bInvalidateAll = false;
    std::vector<Rect> arrInvalid;
    bool bScrolled = false;       // the scroll position changed
    bool bExtentChanged = false;  // the scroll extent changed

    bool IsEmpty() const {
        return !bInvalidateAll && arrInvalid.empty() && !bScrolled && !bExtentChanged;
    }
};

// One row to paint: a record (index into the record list) or an attachment of the open
// record (index into its attachments), its rectangle in logical units and its fill.
struct PaintRow {
    bool bRecord = true;
    std::size_t nIndex = 0;
    Rect rect;
    RowFill fill = RowFill::Plain;
};

}  // namespace list

class CListLayout {
public:
    explicit CListLayout(const CRecordStore& store);
    virtual ~CListLayout() = default;
    CListLayout(const CListLayout&) = delete;
    CListLayout& operator=(const CListLayout&) = delete;

    // --- Display ----------------------------------------------------------------------

    // The dots per inch of the monitor the window is on: the geometry scales to it, the
    // scroll extent follows, the position keeps the same part of the list in view and the
    // whole window is repainted. 96 until set.
    void SetDpi(int dpi);
    const dpi::CDpiScale& GetScale() const { return m_scale; }
    const list::Metrics& GetMetrics() const { return m_metrics; }

    // --- Scroll state -----------------------------------------------------------------

    // The client area changed size; the position stays within the extent.
    void SetClientSize(list::Size size);
    list::Size GetClientSize() const { return m_sizeClient; }
    list::Rect GetClientRect() const { return {0, 0, m_sizeClient.cx, m_sizeClient.cy}; }

    // The scroll sizes from the current counts: 600 wide and (records + attachments) rows
    // of 38 high (at 96 dots per inch). Called whenever the counts change.
    void SetScrollExtent();
    list::Size GetTotalSize() const { return m_sizeTotal; }
    // A page is a tenth of the total, a line 40 by 38 (at 96 dots per inch).
    list::Size GetPageSize() const { return {m_sizeTotal.cx / 10, m_sizeTotal.cy / 10}; }
    list::Size GetLineSize() const { return {m_metrics.nLineWidth, m_metrics.LineHeight()}; }

    list::Point GetScrollPosition() const { return m_ptScroll; }
    // The largest position in each direction: the total less the client size, at least 0.
    list::Point GetScrollLimit() const;

    // Scrolls to position, kept within the extent.
    void ScrollToPosition(list::Point position);
    // Scrolls vertically by delta units (negative: up), kept within the extent.
    void ScrollBy(int dx, int dy);
    // The wheel: lines (a row high) per notch of 120, at most a page, as a scroll view does.
    void ScrollByWheel(int wheelDelta, int linesPerNotch);

    // --- Geometry ----------------------------------------------------------------------

    // The row under a client point: a record index (isRecord), an attachment index of the
    // open record (isAttachment), or -1 (below the last row, above the first, or in the
    // indent of an attachment row).
    int HitTest(list::Point point, bool& isRecord, bool& isAttachment) const;

    // Record row i with the open record's attachment rows below it, in client coordinates,
    // clipped to the client area.
    list::Rect RecordBlockRect(int i) const;

    // The open record's whole block (whole) or the row of its attachment j, in client
    // coordinates, clipped to the client area.
    list::Rect AttachmentRowRect(int j, bool whole) const;

    // The row of the list at index row (0 at the top), unclipped, in client coordinates.
    list::Rect RowRectInClient(int row) const;

    // The total number of rows: records plus the open record's attachments.
    std::size_t GetRowCount() const;

    // The rows that meet clip (logical units), top to bottom, with their fills. The record
    // list is walked in full, because every record's row depends on those before it; only
    // the rows that meet clip are returned.
    std::vector<list::PaintRow> PlanPaint(const list::Rect& clip) const;

    // The logical rectangle the client area shows now.
    list::Rect GetVisibleLogicalRect() const;

    // --- Updates for the window ----------------------------------------------------------

    void Invalidate(const list::Rect& clientRect);
    void InvalidateAll();
    // What has to be done since the last call; the layout forgets it.
    list::Update TakeUpdate();

private:
    int OpenRecordRow() const;

    const CRecordStore& m_store;
    dpi::CDpiScale m_scale;
    list::Metrics m_metrics;
    list::Size m_sizeClient;
    list::Size m_sizeTotal;
    list::Point m_ptScroll;
    list::Update m_update;
};
