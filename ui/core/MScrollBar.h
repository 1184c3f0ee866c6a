#pragma once
#include "MControlFont.h"

// What a container needs from a scroll bar: the range it scrolls over, the position and
// the row step. Panels own two of them (ids 1 and 2); the concrete bars (CScrollVertical,
// CScrollHorizontal) live with the controls and are made by the class-name table, so the
// core never depends on them. Window thread only.
class ZUNTUI_API MScrollBar : public MControlFont {
public:
    MScrollBar(MObject* parent, UINT id, CRect rect, int visible);

    // Range (the content size), re-placing the thumb; an automatic page follows it.
    virtual void SetScrollMaxRange(int range) = 0;
    virtual int GetScrollMaxRange() const = 0;
    // Position, clamped to 0..range.
    virtual void SetScrollCurrentPos(int position) = 0;
    virtual int GetScrollCurrentPos() const = 0;
    // Page and row step; 0 keeps the old value, a given page is no longer automatic.
    virtual void SetScrollSize(int page, int step) = 0;
    // Amount of one row.
    virtual int GetScrollStep() const = 0;
    // Moves by rows x step, clamped to 0..range; 1 when the position changed.
    virtual int ScrollRow(int rows) = 0;
};
