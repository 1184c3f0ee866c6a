#pragma once
#include "MControlFont.h"

// A help mark: its whole skin image stretched over the button. Hovering shows the title
// in the window's balloon, to the left of the button; leaving hides it. Clicks do nothing.
// Window thread only.
class ZUNTUI_API CHelpButton : public MControlFont {
public:
    CHelpButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled);

    int OnControlMouseMove(UINT flags, CPoint pt) override;

protected:
    void DrawFace(HDC& dc, int cx, int cy) override;
};
