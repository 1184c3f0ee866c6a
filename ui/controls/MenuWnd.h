#pragma once
#include <vector>

#include "MPopupWnd.h"

class MenuItem;

// A context menu: a pop-up window whose rows are MenuItem controls. Every notification of
// an item is posted to the owner window as the message given to Create (wparam the item's
// wparam, lparam the item's id); a click on an item then closes the menu, and so does
// clicking anywhere else. Created with new; the object deletes itself when its window is
// destroyed (a menu whose window was never created is deleted by its creator).
// Window thread only.
class ZUNTUI_API MenuWnd : public MPopupWnd {
public:
    explicit MenuWnd(MObject* parent);
    ~MenuWnd() override;

    const wchar_t* GetClassName() override;
    void OnDestroyMessage(HWND hwnd) override;
    // Applies the pending item changes, then lays the items out.
    void InitUI(CRect client) override;
    LRESULT OnMessage(UINT id, UINT code, WPARAM wparam, LPARAM lparam) override;

    // Creates the (hidden) window "Menu Window" at pt, sized to the items; `message` is
    // posted to `owner` for item events. 1 on success.
    int Create(HWND owner, CPoint pt, UINT message);
    // The same with a background (resource of type "PNG" of the application, or skin
    // file), the width and the background mode with its corner size.
    int Create(HWND owner, CPoint pt, UINT message, UINT backgroundResId, int corner, int width, enumBackMode mode);
    int Create(HWND owner, CPoint pt, UINT message, CString backgroundFile, int corner, int width,
               enumBackMode mode);

    // Adds an item with the text (the menu widens to fit it) and an optional icon of four
    // frames (application resource of type "PNG", 0 for none; or skin file, empty for
    // none). The last two arguments are not used. Returns -1.
    int AddMenu(CString text, UINT id, int iconResId = 0, int reserved1 = 0, int reserved2 = 0);
    int AddMenu(CString text, UINT id, CString iconFile, int reserved1 = 0, int reserved2 = 0);
    // Adds a separator with an optional image (skin file, one frame). Returns -1.
    int AddSeparator(UINT id, CString imageFile = CString());

    // Changes applied to the item by InitUI; the key is the item's id in decimal.
    void SetItemTitle(CString key, CString title);
    void SetItemVisible(CString key, int visible);
    void SetItemEnable(CString key, int enabled);
    void SetItemCheck(CString key, int check);

    // Lays the items out from the top margin and sizes the window to them.
    void SetMenuPoint();

    // ---- look (before the items are added) ----
    void SetMenuFont(const wchar_t* name, int size, int style);
    void SetLeftMargin(int margin) { m_leftMargin = margin; }
    void SetItemHeight(int height) { m_itemHeight = height; }
    void SetMenuWidth(int width) { m_width = width; }
    void SetItemFrameWidth(int width) { m_itemFrameWidth = width; }
    // 0 means 2.
    void SetMargins(int top, int bottom);
    void SetHoverColor(Gdiplus::Color color) { m_hoverColor = color.GetValue(); }
    // Skin files (relative to the skin folder); need the window.
    int SetHoverImage(const wchar_t* file);
    int SetCheckImage(const wchar_t* file);

    int GetMenuWidth() const { return m_width; }
    int GetMenuHeight() const { return m_height; }
    UINT GetMenuMessage() const { return m_message; }
    HWND GetOwnerWnd() const { return m_owner; }

private:
    struct PendingChange {
        CString key;
        CString title;
        int visible = -1; // -1: unchanged
        int enabled = -1;
        int check = -1;
    };
    PendingChange& Pending(const CString& key);
    MenuItem* NewItem(const CString& text, UINT id);
    int TopMargin() const { return m_topMargin ? m_topMargin : 2; }
    int BottomMargin() const { return m_bottomMargin ? m_bottomMargin : 2; }

    UINT m_message = 0;
    HWND m_owner = nullptr;
    CString m_fontName;
    int m_fontSize;
    int m_fontStyle = 0;
    int m_leftMargin = 5;
    int m_itemHeight = 35;
    int m_width = 300;
    int m_height = 0;
    int m_itemFrameWidth = 0;
    int m_topMargin = 6;
    int m_bottomMargin = 6;
    Gdiplus::ARGB m_hoverColor = 0xFFFF0000;
    ImgResInfo* m_hoverImage = nullptr; // owned by the window's image cache
    ImgResInfo* m_checkImage = nullptr; // owned by the window's image cache
    std::vector<PendingChange> m_pending;
};
