#pragma once
#include "MControlFont.h"

class CEditWnd;

// A skinned edit box that draws its own text and, while it has the focus, places a native
// edit window ("FSEditWindow", CEditWnd) exactly over its text rect. Codes: 1 press (editing
// starts), 2 release after a press, 9 and 31 press and release on the icon, 30 editing
// began, 26 the text changed, 29 editing ended. An empty box shows its tip text in grey.
// Window thread only.
class ZUNTUI_API MEdit : public MControlFont {
public:
    MEdit(MObject* parent, UINT id, CRect rect, const wchar_t* tipText, int visible, int enabled);
    ~MEdit() override;

    void DrawControl(HDC& dc, CRect clip) override;
    int SetControlFocus(int focus) override;
    void SetControlRect(CRect rect) override;
    void SetControlVisible(int visible) override;
    void SetControlWndVisible(int visible) override;
    void SetControlEnabled(int enabled) override;
    int OnControlMouseMove(UINT flags, CPoint pt) override;
    int OnControlLButtonDown(UINT flags, CPoint pt) override;
    int OnControlLButtonUp(UINT flags, CPoint pt) override;
    int OnControlKeyDown(UINT key, UINT repeat, UINT modifiers) override;
    // Also sets the native window's text; redraws.
    void SetControlTitle(const wchar_t* title) override;
    // Ends editing first, then the committed text.
    const wchar_t* GetControlTitle() override;

    // ---- text ----
    // The title without a repaint.
    void SetEditText(const wchar_t* text);
    // The native window's text while it is shown, else the title.
    CString GetEditText();
    void SetTipInfo(const wchar_t* tip);
    const wchar_t* GetTipInfo() const { return m_tip.c_str(); }
    const wchar_t* GetTitleEx() const { return m_title.c_str(); }

    // ---- look ----
    void SetEditFont();
    void SetEditFont(const wchar_t* face, int size, int bold, int underline, int italic);
    HFONT GetDefaultFont();
    COLORREF GetEditTextColor() const;
    void SetTextRect(CRect rect);
    CRect GetTextRect();
    int SetIconImage(const wchar_t* file, int count);
    CRect GetIconRect() const { return m_iconRect; }
    void SetCorner(int corner) { m_corner = corner; }

    // ---- focus ----
    int IsEditFocused() const;
    int GetState() const { return m_state; }

    // ---- flags ----
    void EnablePassWord(int enable) { m_password = enable != 0; }
    int IsPassWordMode() const { return m_password; }
    void EnableMultLine(int enable) { m_multiLine = enable != 0; }
    int IsMultLineMode() const { return m_multiLine; }
    void SetNumberOnly(int numberOnly);
    int IsNumberOnly() const { return m_numberOnly; }
    void SetReadOnly(int readOnly);
    int IsReadOnly() const { return m_readOnly; }
    void EnableCharMessage(int enable) { m_charMessage = enable != 0; }
    int GetCharMessage() const { return m_charMessage; }
    void SetLimitText(int limit);
    int GetLimitText() const { return m_limitText; }
    void SetPassWordChar(wchar_t ch) { m_passwordChar = ch; }
    wchar_t GetPassWordChar() const { return m_passwordChar; }
    // The native window's background; 0xFFFFFFFF for the system default.
    void SetEditBKColor(DWORD color) { m_editBack = color; }
    DWORD GetEditBKColor() const { return m_editBack; }

    // The native window, while it exists (owned).
    CEditWnd* GetEditWindow() const { return m_edit; }
    HWND GetEditHWND() const;

    // ---- called by the native window (CEditWnd) ----
    // The native text changed: store it, report code 26, redraw.
    void OnEditChanged(const wchar_t* text);
    // The native window lost the keyboard focus.
    void OnEditKillFocus();
    // The native window is being destroyed.
    void OnEditDestroyed();

protected:
    void ShowEdit();
    void HideEdit();
    CRect CalcTextRect() const;
    void DrawSlots(HDC& dc, int w, int h);

private:
    void SetState(int state);
    void SetIconState(int state);
    void DrawIcon(HDC& dc);

    CString m_tip;
    bool m_password = false;
    bool m_multiLine = false;
    bool m_numberOnly = false;
    bool m_readOnly = false;
    bool m_charMessage = true;
    int m_limitText = 120;
    wchar_t m_passwordChar = 0xA1F1;
    DWORD m_editBack = 0x351806;
    int m_state = 0; // 0 normal, 1 hover, 2 focused or pressed, 3 disabled
    int m_corner = 4;
    Gdiplus::Image* m_icon = nullptr; // owned
    int m_iconW = 0, m_iconH = 0, m_iconCount = 4;
    CRect m_iconRect;
    int m_iconState = 0; // 0 normal, 1 hover, 2 pressed
    CRect m_textRect;
    bool m_textRectExplicit = false;
    HFONT m_font = nullptr;      // owned
    CEditWnd* m_edit = nullptr;  // owned
    bool m_editing = false;      // the native window is shown for editing
};
