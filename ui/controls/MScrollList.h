#pragma once
#include <windows.h>
#include <gdiplus.h>

#include <functional>
#include <vector>

#include "MPanel.h"
#include "MWindowCall.h"

class CListEditWnd;
class MImageList;

// The lists own their items through vectors of pointers; these delete them.
template <class Item>
void DeleteOwnedItem(std::vector<Item*>& items, int index)
{
    delete items[static_cast<size_t>(index)];
    items.erase(items.begin() + index);
}

template <class Item>
void DeleteOwnedItems(std::vector<Item*>& items)
{
    for (Item* item : items)
        delete item;
    items.clear();
}

// What the scrolling lists (DListBox, MListBox, CRecordList) share: rows of one height
// under a vertical scroll bar, hover and selection, the wheel, and the in-place edit
// window placed over one item. The lists keep their own item vectors; this class asks
// them for the item-specific parts through the protected virtuals below.
//
// Threads: every operation that changes a list runs on its window's thread (MWindowCall
// hands calls from other threads over and waits for them); readers may run on any thread
// and take the item lock, which guards the items and the indexes below.
class ZUNTUI_API MScrollList : public MPanel {
public:
    MScrollList(MObject* parent, UINT id, CRect rect, int visible, int itemHeight, DWORD editBackColor);
    ~MScrollList() override;

    // The rows are this control's face (a plain panel has none).
    void DrawControl(HDC& dc, CRect clip) override { MControl::DrawControl(dc, clip); }
    void SetControlRect(CRect rect) override;
    void SetControlWndVisible(int visible) override;
    LRESULT OnWindowMessage(UINT msg, WPARAM wparam, LPARAM lparam) override;
    LRESULT OnMessage(UINT id, UINT code, WPARAM wparam, LPARAM lparam) override;
    int OnControlMouseMove(UINT flags, CPoint pt) override;
    int OnControlScroll(int bar, UINT down, CPoint pt) override;

    // ---- items (any thread) ----
    int GetItemCount();
    // Deletes one item; 0 for a bad index.
    int DeleteItem(int index);
    void DeleteAllItems();
    // Exchanges two items without a repaint; 0 for a bad index.
    int SwapItem(int first, int second);
    // Selects -1..count-1 (rebuild on change); 0 for any other index, else 1.
    int SetCurSel(int index);
    int GetCurSel();
    // Row height in pixels; a height below 1 is ignored.
    void SetItemHeight(int height);
    int GetItemHeight();
    // The item's row inside the face cache, as last drawn; empty for a bad index.
    CRect GetItemRect(int index);
    int GetHoverItem();
    int GetEditItem();
    int GetFirstVisible();
    int GetLastVisible();
    // Scroll offset of the content in pixels.
    int GetListOffset();

    // ---- look and editing ----
    // Stored only (the list draws no icons from it). Not owned.
    void SetImageList(MImageList* list);
    // The edit box background, four frames (frame 1 is drawn behind the edited item).
    int SetEditImage(const wchar_t* file, int count);
    void EnableShowEdit(int enable);
    int IsShowEditEnabled();
    // Starts editing the selected item (editing enabled, a selection and a window).
    void ShowEdit();
    // Ends editing: a changed text is taken over and reported with code 29.
    void HideEdit();
    // The in-place edit window (null before the first edit).
    HWND GetEditWindow() const;
    DWORD GetEditBKColor() const { return m_editBackColor; }
    COLORREF GetEditTextColor() const;
    // From the edit window: it lost the keyboard focus.
    void OnEditKillFocus();

protected:
    // ---- the list's items; called with the item lock held ----
    virtual int ItemCount() const = 0;
    virtual void EraseItem(int index) = 0;
    virtual void EraseAllItems() = 0;
    virtual void SwapItems(int first, int second) = 0;
    virtual CRect* ItemRectOf(int index) = 0;
    // Text put into the edit window for the item.
    virtual CString EditTextOf(int index) = 0;
    // Takes the edited text over; true when the item changed.
    virtual bool CommitEditText(int index, const CString& text) = 0;
    // Horizontal extent of the edit window, relative to the control's left edge.
    virtual void EditSpan(int& left, int& right) = 0;
    // Paints one visible item into its row of the face cache.
    virtual void DrawItem(Gdiplus::Graphics& g, int index, const CRect& row) = 0;

    void DrawFace(HDC& dc, int cx, int cy) override;
    // Runs `call` on the window's thread (see the class comment).
    void OnWindowThread(const std::function<void()>& call) { MWindowCall::Run(this, call); }
    // The visible item whose row contains a client point, or -1. Item lock held.
    int ItemAtLocked(CPoint pt);
    // Shows the scroll bar exactly when the content is taller than the control, gives it
    // the content height as range and works out the visible items. Item lock held.
    void RelayoutLocked();
    // Ends editing without taking the text (the edited item moved or went away).
    void CancelEdit();
    // Selects the item and sends `code` with it; the press handlers share this.
    void SelectAndNotify(int index, UINT code);
    // Row width without the scroll bar (when it is shown).
    int RowWidth() const;
    bool BarShown() const;

    MLock m_itemLock;
    int m_hoverItem = -1;
    int m_selItem = -1;
    int m_editItem = -1;
    int m_itemHeight;
    int m_textIndent = 50;
    MImageList* m_imageList = nullptr; // not owned
    Gdiplus::ARGB m_hoverColor;
    Gdiplus::ARGB m_selectColor;
    DWORD m_editBackColor; // 0x00BBGGRR
    bool m_showEdit = false;
    Gdiplus::Image* m_editImage = nullptr; // from the window's image cache, not owned
    int m_editFrameW = 0, m_editFrameH = 0;
    int m_firstVisible = -1;
    int m_lastVisible = -1;
    int m_visibleTop = 0;
    CListEditWnd* m_edit = nullptr; // owned; created on the first edit
};
