#pragma once
#include <vector>

#include "MScrollList.h"

// One macro event of a CRecordList.
struct ZUNTUI_API RecordItem {
    CString text;   // key or button name
    int type = 0;   // 2 key down, 3 key up
    int value = 0;  // not drawn
    int delay = 0;  // milliseconds
    CRect rect;     // the row inside the face cache, set while drawing
};

// The recorded macro events in three columns (event, direction, delay). A press on the
// delay column edits that delay in place; the edited delay is read as a decimal number
// (an empty text counts as 10) and kept within 0..31000 ms, and a changed delay is
// reported with code 29. Operations may be called from any thread (see MScrollList).
class ZUNTUI_API CRecordList : public MScrollList {
public:
    CRecordList(MObject* parent, UINT id, CRect rect, int visible);
    ~CRecordList() override;

    int OnControlLButtonDown(UINT flags, CPoint pt) override;
    int OnControlRButtonUp(UINT flags, CPoint pt) override;

    // Appends an event; returns its index.
    int AddString(CString text, int type, int value, int delay);
    // Sets the delay of the last event (kept within 0..31000); false when the list is empty.
    bool UpdateDelayTime(int delay);
    // The events in order; the list owns them (valid until they are deleted).
    std::vector<RecordItem*> GetRecordItems();

    static const int kMaxDelay = 31000;

protected:
    int ItemCount() const override { return static_cast<int>(m_items.size()); }
    void EraseItem(int index) override { DeleteOwnedItem(m_items, index); }
    void EraseAllItems() override { DeleteOwnedItems(m_items); }
    void SwapItems(int first, int second) override
    {
        std::swap(m_items[static_cast<size_t>(first)], m_items[static_cast<size_t>(second)]);
    }
    CRect* ItemRectOf(int index) override { return &m_items[static_cast<size_t>(index)]->rect; }
    CString EditTextOf(int index) override;
    bool CommitEditText(int index, const CString& text) override;
    void EditSpan(int& left, int& right) override;
    void DrawItem(Gdiplus::Graphics& g, int index, const CRect& row) override;

private:
    std::vector<RecordItem*> m_items; // owned; guarded by m_itemLock
};
