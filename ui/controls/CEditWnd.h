#pragma once
#include <windows.h>

#include "UITypes.h"

class MEdit;

// The native edit window an MEdit places over its text rect while it edits: window class
// "FSEditWindow", a superclass of the system "Edit". It forwards everything to the system
// edit procedure except what the owner must hear: focus loss ends editing, the reflected
// change notification stores the text and reports code 26, the reflected colour requests
// paint the owner's background colour, and typed characters are swallowed while the
// owner's char message flag is 0. Window thread only.
class ZUNTUI_API CEditWnd {
public:
    explicit CEditWnd(MEdit* owner);
    ~CEditWnd();
    CEditWnd(const CEditWnd&) = delete;
    CEditWnd& operator=(const CEditWnd&) = delete;

    // Creates the window with `style` at `rect` (screen coordinates for a pop-up, else
    // client coordinates of `parent`). Returns the window or null.
    HWND Create(HWND parent, DWORD style, const RECT& rect);
    HWND GetHWND() const { return m_hwnd; }
    // The window's text.
    CString GetText() const;
    void SetText(const wchar_t* text);
    // Forgets the owner: the owner is going away first.
    void Detach() { m_owner = nullptr; }
    // Destroys the window (the owner is not told).
    void Destroy();

    static const wchar_t* const kClassName;

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
    LRESULT Handle(UINT msg, WPARAM wparam, LPARAM lparam);
    static bool RegisterOnce();

    MEdit* m_owner;       // not owned; the owner owns this object
    HWND m_hwnd = nullptr;
    HBRUSH m_brush = nullptr; // background brush of the colour requests, owned
    COLORREF m_brushColor = 0;
    static WNDPROC s_editProc; // the system edit procedure
};
