#pragma once
#include <vector>

#include "MPanel.h"

// One row of a combo box (kept by MComboBox and copied into its pop-up list). The icon
// and the colour travel with the item but are not drawn.
struct ZUNTUI_API ComboItem {
    CString text;
    CString icon;
    Gdiplus::ARGB colour = 0xFF000000;
    long data = 0;
    CRect rect; // row rectangle in window coordinates, set when the list is drawn
};

// The rows of a combo box's pop-up: 30-pixel rows under a hover and a selection fill,
// scrolled by the panel's vertical bar once the rows are taller than the list. A release
// with a row selected sends code 2 with the row index and lparam 19. Created by the
// window factory as "CComboBoxList". Window thread only.
class ZUNTUI_API CComboBoxList : public MPanel {
public:
    CComboBoxList(MObject* parent, UINT id, CRect rect, int visible);
    ~CComboBoxList() override;

    void DrawControl(HDC& dc, CRect clip) override;
    int DrawSubControls(HDC& dc, CRect clip) override;
    int OnControlMouseMove(UINT flags, CPoint pt) override;
    int OnControlLButtonDown(UINT flags, CPoint pt) override;
    int OnControlLButtonUp(UINT flags, CPoint pt) override;
    int OnControlScroll(int bar, UINT down, CPoint pt) override;
    LRESULT OnMessage(UINT id, UINT code, WPARAM wparam, LPARAM lparam) override;

    // Appends a row; returns count - 1.
    int AddItem(const wchar_t* text, long data, const wchar_t* icon, Gdiplus::Color colour);
    int DelAllItems();
    int GetItemCount();
    // count x row height.
    int GetListHeight();
    int GetRowHeight() const { return m_rowHeight; }
    int GetHoverIndex() const { return m_hoverIndex; }
    int GetSelectIndex() const { return m_selectIndex; }
    // Row rectangle as last drawn (window coordinates; empty for a row not drawn).
    CRect GetItemRect(int index);

protected:
    // Rows cover the list minus the vertical bar while it is shown.
    int RowsWidth() const;
    // Index of the row under pt among the visible ones, -1 for none.
    int RowAt(CPoint pt);

    std::vector<ComboItem*> m_items; // owned
    MLock m_itemsLock;
    int m_hoverIndex = -1;
    int m_selectIndex = -1;
    int m_rowHeight = 30;
    int m_firstRow = 0, m_lastRow = -1, m_rowOffset = 0;
    Gdiplus::ARGB m_textColor2 = 0xFFFFFFFF; // text of the hovered or selected row
    Gdiplus::ARGB m_hoverFill;
    Gdiplus::ARGB m_selectFill;
};
