#pragma once
#include <windows.h>

#include "UITypes.h"

class MScrollList;

// The native single-line edit window a list places over an item while the user renames
// it (or, in the record list, types a delay). A plain system "Edit" whose procedure is
// replaced: losing the focus ends the owner's editing, and the colour requests the window
// reflects back (PaintManager routing) paint the owner's edit colours. Window thread only.
class ZUNTUI_API CListEditWnd {
public:
    explicit CListEditWnd(MScrollList* owner);
    ~CListEditWnd();
    CListEditWnd(const CListEditWnd&) = delete;
    CListEditWnd& operator=(const CListEditWnd&) = delete;

    // Creates the window (once) as a child of `parent` at `rect` in its client
    // coordinates, or, with `popup`, as an owned pop-up at `rect` in screen coordinates.
    HWND Create(HWND parent, const RECT& rect, bool popup, HFONT font);
    HWND GetHWND() const { return m_hwnd; }
    CString GetText() const;
    void SetText(const wchar_t* text);

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

    MScrollList* m_owner;  // not owned; the owner owns this object and outlives the window
    HWND m_hwnd = nullptr;
    WNDPROC m_editProc = nullptr; // the system edit procedure
    HBRUSH m_brush = nullptr;     // background brush of the colour requests, owned
    COLORREF m_brushColor = 0;
};
