#pragma once
#include <windows.h>
#include <gdiplus.h>

#include <functional>
#include <vector>

#include "MPanel.h"

// One function of a KeyFuncControl.
struct ZUNTUI_API KeyFuncItem {
    CString caption;  // also the tooltip text
    int value = 0;    // key function code: a HID keyboard usage, or a media code above 231
    int extra1 = 0;
    int extra2 = 0;
    Gdiplus::Image* icon = nullptr; // from the window's image cache, not owned; null for text items
    CString iconFile; // skin name of the icon, resolved once the control has a window
    CRect rect;       // relative to the control's top-left corner
};

// The function picker of the key-assignment page: a keyboard-shaped grid of key functions
// with a row of media functions above it. A release over an item selects it and reports
// code 2 with its index. Skin frames: 0 normal, 1 hover, 2 selected or marked.
//
// Threads: operations that change the items run on the window's thread (MWindowCall hands
// calls from other threads over and waits); readers take the item lock.
class ZUNTUI_API KeyFuncControl : public MPanel {
public:
    KeyFuncControl(MObject* parent, UINT id, CRect rect, int visible);
    ~KeyFuncControl() override;

    // The items are this control's face (a plain panel has none).
    void DrawControl(HDC& dc, CRect clip) override { MControl::DrawControl(dc, clip); }
    LRESULT OnWindowMessage(UINT msg, WPARAM wparam, LPARAM lparam) override;
    int OnControlMouseMove(UINT flags, CPoint pt) override;
    int OnControlLButtonDown(UINT flags, CPoint pt) override;
    int OnControlLButtonUp(UINT flags, CPoint pt) override;
    int OnControlScroll(int bar, UINT down, CPoint pt) override;

    // Clears the items and builds the built-in catalogue.
    void InitItemInfo();
    void ClearItems();
    // Caption of the first item with that value.
    void SetItemDesc(int value, CString caption);
    // Marks the first item whose value and extra values match (none for value 0) and
    // clears the selection.
    void SetItemCheckByItemData(int value, int extra1, int extra2);
    // The selected item's data; false when nothing is selected.
    bool GetCurItemData(int& ignored, int& value, int& extra1, int& extra2, CString& caption);

    int GetItemCount();
    // A copy of item `index`; false for a bad index.
    bool GetItem(int index, KeyFuncItem& item);
    int GetHoverItem();
    int GetSelectItem();
    int GetMarkItem();

protected:
    void DrawFace(HDC& dc, int cx, int cy) override;

private:
    void OnWindowThread(const std::function<void()>& call);
    void AddItem(const wchar_t* caption, int value, CRect rect, const wchar_t* icon = nullptr);
    void DeleteItemsLocked();
    // The item whose rect (moved to the window) contains the point, or -1. Lock held.
    int ItemAtLocked(CPoint pt);
    CRect WindowRectLocked(int index);

    MLock m_itemLock;
    std::vector<KeyFuncItem*> m_items; // owned; guarded by m_itemLock
    int m_hoverItem = -1;
    int m_selItem = -1;
    int m_markItem = -1;
    int m_tipItem = -1;
};
