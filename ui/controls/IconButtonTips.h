#pragma once
#include "UITypes.h"

// The window that shows an icon button's three tip lines: the keyboard control's tips
// balloon provides it by handing CIconButton::SetTipsFactory a maker. Each button owns the
// window its maker returned. Window thread only.
class ZUNTUI_API IconButtonTips {
public:
    virtual ~IconButtonTips() = default;
    // Shows the lines above `anchor` (screen coordinates); `owner` is the button's window.
    virtual void ShowTips(HWND owner, POINT anchor, const CString& title, const CString& line2,
                          const CString& line3) = 0;
    virtual void HideTips() = 0;
};

// Makes a new tips window (the caller owns it); null when none can be made.
using IconButtonTipsFactory = IconButtonTips* (*)();
