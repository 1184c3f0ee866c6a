#pragma once
#include <vector>

#include "CComboBoxList.h"
#include "MControlFont.h"

class CComboBoxWnd;

// A skinned drop-down list. A click opens a pop-up (CComboBoxWnd, "ComboWnd") below the
// combo, or above it when there is no room, listing at most five rows at a time; choosing
// a row closes it, selects the item, shows its text as the title and sends code 2 with
// the index. The face has four slots of the skin (normal, hover, pressed, disabled) drawn
// with the margins 10, 10, 36, 10; slot 2 stays while the pop-up is open.
// Window thread only, except the item operations, which are guarded by the item lock.
class ZUNTUI_API MComboBox : public MControlFont {
public:
    MComboBox(MObject* parent, UINT id, CRect rect, int visible, int enabled);
    ~MComboBox() override;

    void DrawControl(HDC& dc, CRect clip) override;
    LRESULT OnMessage(UINT id, UINT code, WPARAM wparam, LPARAM lparam) override;
    void SetControlRect(CRect rect) override;
    void SetControlEnabled(int enabled) override;
    int OnControlMouseMove(UINT flags, CPoint pt) override;
    int OnControlLButtonDown(UINT flags, CPoint pt) override;
    int OnControlLButtonUp(UINT flags, CPoint pt) override;

    // InsertItem(-1, ...).
    int AddItem(const wchar_t* text, long data = 0, const wchar_t* icon = nullptr,
                Gdiplus::Color colour = Gdiplus::Color(0xFF000000));
    // -1 appends; 0..count-1 inserts before that item (the selection moves along with its
    // item); anything else returns -1. Returns count - 1 after the insertion. No repaint.
    int InsertItem(int index, const wchar_t* text, long data = 0, const wchar_t* icon = nullptr,
                   Gdiplus::Color colour = Gdiplus::Color(0xFF000000));
    // 0 for an index below -1 or past the last item; -1 deletes nothing and returns 1.
    // Deleting the selected item clears the selection and the title; deleting an earlier
    // one moves the selection down by one, so it stays on its item.
    int DeleteItem(int index);
    int DelAllItems();
    // -1..count-1 (else 0): the title becomes the item's text (empty for -1). No
    // notification.
    int SetCurSel(int index);
    int GetCurSel() const { return m_curSel; }
    long GetCurData();
    long GetItemData(int index);
    int SetItemData(int index, long data);
    int SetItemText(int index, CString text);
    int GetItemCount();
    int FindData(long data);
    int SelectData(long data);

    // Background of the pop-up: a skin file, or a resource of the application.
    void SetBackImage(const wchar_t* file);
    void SetBackImage(UINT resourceId, CString type = L"PNG");
    // Scroll-bar image ids handed to the pop-up's manager.
    void SetScrollResID(UINT vertical, UINT horizontal);
    // Stored margins (the face keeps its fixed ones); asks for a rebuild.
    void SetShowModeMID(int left, int top, int right, int bottom);
    // Where the title is drawn, relative to the combo.
    void SetTextRect(CRect rect);
    CRect GetTextRect() const { return m_textRect; }

    int GetState() const { return m_state; }
    int IsOpen() const { return m_open ? 1 : 0; }
    // The open (or last) pop-up; owned by the combo.
    CComboBoxWnd* GetDropWnd() const { return m_dropWnd; }
    // Opens the pop-up as a click does.
    void ShowDropDown();

private:
    void SetState(int state);
    void CloseDropWnd();

    std::vector<ComboItem*> m_items; // owned, guarded by m_itemsLock
    MLock m_itemsLock;
    int m_curSel = -1;
    CComboBoxWnd* m_dropWnd = nullptr; // owned
    int m_state = 0;
    bool m_open = false;
    CRect m_textRect;
    CString m_backFile;
    UINT m_backResId = 0;
    CString m_backResType = L"PNG";
    UINT m_scrollV = 0, m_scrollH = 0;
    int m_marginL = 8, m_marginT = 8, m_marginR = 36, m_marginB = 8;
};
