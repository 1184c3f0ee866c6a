#pragma once
#include "MControlFont.h"

class MenuWnd;
struct ImgResInfo;

// One row of a MenuWnd: an icon centred in the text indent, the title after it, a hover
// highlight (image stretched, or a colour) in the hover and pressed slots; or a separator
// line. Four slots: 0 normal, 1 hover, 2 pressed or checked, 3 disabled (a separator has
// one). A click (release inside) sends code 2. Window thread only.
class ZUNTUI_API MenuItem : public MControlFont {
public:
    MenuItem(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled);
    ~MenuItem() override;

    const wchar_t* GetClassName() override;
    void DrawControl(HDC& dc, CRect clip) override;
    void SetControlEnabled(int enabled) override;
    int OnControlMouseMove(UINT flags, CPoint pt) override;
    int OnControlLButtonDown(UINT flags, CPoint pt) override;
    int OnControlLButtonUp(UINT flags, CPoint pt) override;

    void SetGroupName(const wchar_t* name) { m_groupName = CString(name); }
    const wchar_t* GetGroupName() const { return m_groupName.c_str(); }
    const wchar_t* GetValue() const { return m_value.c_str(); }
    const wchar_t* GetGroupValue() const { return L""; }
    // No operation makes an item checkable: returns 0 and changes nothing.
    int SetCheck(int check);
    // Stores the check and shows the checked slot (2) or the normal one.
    void SetControlCheck(int check);
    int GetCheck() const { return m_check; }
    int ResetGroupCheck() { return 1; }
    // 0 normal, 1 hover, 2 pressed or checked, 3 disabled.
    int GetState() const { return m_state; }

    int IsPopup() const { return m_popup ? 1 : 0; }
    void SetSeparator(int separator);
    int IsSeparator() const { return m_separator ? 1 : 0; }
    // The sub-menu, closed with the item (the item takes it over).
    void SetPopupMenu(MenuWnd* menu);
    MenuWnd* GetPopupMenu() const { return m_popupMenu; }
    MenuWnd* GetParentMenu() const { return nullptr; }
    void ShowPopupMenu() {}

    // Set by the menu when it lays its items out.
    void SetFrameWidth(int width);
    void SetTextIndent(int indent);
    int GetTextIndent() const { return m_textIndent; }
    void SetHoverColor(Gdiplus::ARGB color);
    // Images of the menu's image cache (not owned); null for none.
    void SetHoverImage(Gdiplus::Image* image);
    void SetCheckImage(Gdiplus::Image* image) { m_checkImage = image; }
    void SetPopupArrowImage(Gdiplus::Image* image);
    // The icon strip from the window's image cache (frames side by side).
    void SetIcon(const ImgResInfo* icon);

private:
    void SetState(int state);
    void DrawSlot(Gdiplus::Graphics& g, int slot, int w, int h);

    CString m_groupName = L"Menu Group";
    CString m_value;
    Gdiplus::ARGB m_hoverColor = 0xFFC95100;
    Gdiplus::Image* m_hoverImage = nullptr; // the menu window's image cache owns it
    Gdiplus::Image* m_checkImage = nullptr; // the menu window's image cache owns it
    Gdiplus::Image* m_arrowImage = nullptr; // the menu window's image cache owns it
    int m_state = 0;
    int m_check = 0;
    bool m_pressing = false;
    bool m_popup = false;
    bool m_separator = false;
    MenuWnd* m_popupMenu = nullptr; // owned: closed (or deleted) with the item
    int m_textIndent = 30;
    int m_frameWidth = 0;
};
