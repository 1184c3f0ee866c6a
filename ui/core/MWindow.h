#pragma once
#include "UITypes.h"

// A thin object wrapper around one Win32 window. The object is linked to its window from
// WM_NCCREATE to WM_NCDESTROY; every message in between goes to OnWindowMessage.
class ZUNTUI_API MWindow {
public:
    MWindow();
    virtual ~MWindow();
    MWindow(const MWindow&) = delete;
    MWindow& operator=(const MWindow&) = delete;

    // ---- overridable, in this order ----
    virtual const wchar_t* GetWindowClassName();
    // An existing window class to subclass, or null for a class of our own.
    virtual const wchar_t* GetSuperClassName();
    virtual void ShowWindow(int cmdShow);
    virtual LRESULT OnWindowMessage(UINT msg, WPARAM wparam, LPARAM lparam);
    virtual int PreTranslateMessage(MSG* msg);
    virtual int OnInitDialog();
    virtual void OnDestroyMessage(HWND hwnd);

    // Creates the window (or returns the live one): registers the class in the
    // application's instance, creates the window with this object as creation parameter
    // and calls OnInitDialog. Null when registration or creation fails.
    HWND Create(HWND parent, const wchar_t* name, DWORD style, DWORD exStyle, CRect rect, HMENU menu = nullptr);
    HWND Create(HWND parent);
    HWND Create(HWND parent, CRect rect);

    // Shows the window modally; returns the wparam of the WM_CLOSE that ended it (1 OK,
    // 2 cancel, 6 yes, 7 no), 0 when it ended without one, 0xFFFFFFFF without a window.
    UINT ShowModal(int show = SW_SHOW);
    BOOL DestroyWindow();
    void CenterWindow(MWindow* reference = nullptr);
    void BringToTop();
    void SetIcon(UINT resourceId);

    HWND GetSafeHwnd() const { return m_hwnd; }
    HWND GetParentHwnd() const { return m_parentHwnd; }
    // The object linked to a window of this toolkit, or null.
    static MWindow* FromHandle(HWND hwnd);

    // ---- thin wrappers: nothing (0) without a window ----
    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    BOOL ModifyStyle(DWORD remove, DWORD add);
    BOOL ModifyExStyle(DWORD remove, DWORD add);
    BOOL GetClientRect(CRect& rect) const;
    BOOL GetWindowRect(CRect& rect) const;
    BOOL SetWindowText(const wchar_t* text);
    CString GetWindowText() const;
    int GetWindowTextLength() const;
    BOOL EnableWindow(BOOL enable);
    BOOL IsWindowEnabled() const;
    BOOL IsWindowVisible() const;
    BOOL IsIconic() const;
    BOOL InvalidateRect(const RECT* rect, BOOL erase);
    HWND SetCapture();
    BOOL ReleaseCapture();
    HWND SetFocus();
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse);
    BOOL KillTimer(UINT_PTR id);
    BOOL ClientToScreen(POINT* pt) const;
    BOOL ScreenToClient(POINT* pt) const;
    BOOL SetWindowPos(HWND after, int x, int y, int cx, int cy, UINT flags);
    BOOL MoveWindow(int x, int y, int cx, int cy, BOOL repaint = TRUE);
    LRESULT SendMessage(UINT msg, WPARAM wparam = 0, LPARAM lparam = 0);
    BOOL PostMessage(UINT msg, WPARAM wparam = 0, LPARAM lparam = 0);

protected:
    HWND m_parentHwnd = nullptr;
    HWND m_hwnd = nullptr;
    WNDPROC m_prevProc;

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
    static LRESULT Route(MWindow* self, HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam, bool property);
    bool RegisterWindowClass();
};
