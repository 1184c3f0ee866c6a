#pragma once
// A shown dialog holding one list control at the top level, for the list tests that need
// a real window (the in-place edit window, calls from other threads).
#include <windows.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "ui/core/ToolkitTestSupport.h"

namespace toolkit_test {

template <class List>
struct ListWindow {
    TestDialog dlg;
    HWND hwnd = nullptr;
    List* list = nullptr; // owned by the dialog

    ListWindow(UINT id, CRect rect, const std::function<void(List&)>& setup = nullptr)
    {
        dlg.build = [&](TestDialog& d, CRect) {
            list = new List(static_cast<MObject*>(&d), id, rect, 1);
            d.AddControl(list);
        };
        hwnd = dlg.CreateHidden(480, 360, 100, 100);
        if (list && setup)
            setup(*list);
        ShowWindow(hwnd, SW_SHOW);
        SetForegroundWindow(hwnd);
        SetActiveWindow(hwnd);
        Pump(30);
    }
    ~ListWindow()
    {
        if (IsWindow(hwnd))
            dlg.DestroyWindow();
    }
    void Press(CPoint pt)
    {
        Mouse(hwnd, WM_MOUSEMOVE, pt.x, pt.y);
        Mouse(hwnd, WM_LBUTTONDOWN, pt.x, pt.y, MK_LBUTTON);
        Mouse(hwnd, WM_LBUTTONUP, pt.x, pt.y);
        Pump(10);
    }
    // The notifications of control `id` with `code`.
    std::vector<RecordingOwner::Note> Notes(UINT id, UINT code) const
    {
        std::vector<RecordingOwner::Note> out;
        std::copy_if(dlg.notes.begin(), dlg.notes.end(), std::back_inserter(out),
                     [&](const RecordingOwner::Note& n) { return n.id == id && n.code == code; });
        return out;
    }
    bool EditShown() const { return list->GetEditWindow() && IsWindowVisible(list->GetEditWindow()); }
    void TypeIntoEdit(const wchar_t* text) { SetWindowTextW(list->GetEditWindow(), text); }
};

} // namespace toolkit_test
