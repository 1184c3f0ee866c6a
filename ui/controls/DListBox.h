#pragma once
#include <vector>

#include "MScrollList.h"

// One row of a DListBox or MListBox.
struct DListItem {
    CString text;
    int image = 0;  // stored, not drawn
    long data = 0;
    CRect rect;     // the row inside the face cache, set while drawing
};

// A scrolling list of texts with an icon column, hover and selection highlight and
// in-place renaming (code 29 when a rename changed the text). Used for the profile and
// macro lists. Operations may be called from any thread (see MScrollList).
class ZUNTUI_API DListBox : public MScrollList {
public:
    DListBox(MObject* parent, UINT id, CRect rect, int visible);
    ~DListBox() override;

    int OnControlLButtonDown(UINT flags, CPoint pt) override;
    int OnControlLButtonUp(UINT flags, CPoint pt) override;
    int OnControlRButtonUp(UINT flags, CPoint pt) override;

    // Appends; returns the new index.
    int AddString(const wchar_t* text, int image);
    int AddString(const wchar_t* text, long data, int image);
    // Inserts before `index` (-1 appends); -1 for an index outside -1..count-1.
    int InsertString(int index, const wchar_t* text, int image, long data);
    // Empty for a bad index.
    CString GetItemText(int index);
    // Changes the text without a repaint; 0 for a bad index.
    int ModifyItemString(int index, const wchar_t* text);
    int SetItemData(int index, long data);
    // 0 for a bad index.
    long GetItemData(int index);
    // Exact, case-sensitive; -1 when absent.
    int FindString(const wchar_t* text);
    int FindItemData(long data);
    // Selects the first item with that data; its index, or -1 (selection unchanged).
    int SetCurData(long data);
    // Data of the selected item, 0 without a selection.
    long GetCurData();

protected:
    DListBox(MObject* parent, UINT id, CRect rect, int visible, int itemHeight, DWORD editBackColor);

    int ItemCount() const override { return static_cast<int>(m_items.size()); }
    void EraseItem(int index) override { DeleteOwnedItem(m_items, index); }
    void EraseAllItems() override { DeleteOwnedItems(m_items); }
    void SwapItems(int first, int second) override
    {
        std::swap(m_items[static_cast<size_t>(first)], m_items[static_cast<size_t>(second)]);
    }
    CRect* ItemRectOf(int index) override { return &m_items[static_cast<size_t>(index)]->rect; }
    CString EditTextOf(int index) override { return m_items[static_cast<size_t>(index)]->text; }
    bool CommitEditText(int index, const CString& text) override;
    void EditSpan(int& left, int& right) override;
    void DrawItem(Gdiplus::Graphics& g, int index, const CRect& row) override;

    // Applies `change` to one item on the window's thread (no repaint); 0 for a bad index.
    int ChangeItem(int index, const std::function<void(DListItem&)>& change);
    // Inserts on the window's thread; returns the index or -1.
    int Insert(int index, const wchar_t* text, int image, long data);
    // The item at a client point (hover follows it); -1 when none.
    int HitItem(CPoint pt);

    std::vector<DListItem*> m_items; // owned; guarded by m_itemLock
};
