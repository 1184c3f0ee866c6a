#pragma once
#include "DListBox.h"

// The list of DListBox with other defaults (rows 30 high, edit background 0x222222) and
// its own mouse rules: a press anywhere selects the item under the pointer (or none), a
// double click reports code 3 and starts renaming.
class ZUNTUI_API MListBox : public DListBox {
public:
    MListBox(MObject* parent, UINT id, CRect rect, int visible);

    int OnControlLButtonDown(UINT flags, CPoint pt) override;
    int OnControlLButtonUp(UINT flags, CPoint pt) override;
    int OnControlLButtonDblClk(UINT flags, CPoint pt) override;
    int OnControlRButtonUp(UINT flags, CPoint pt) override;
};
