#include "MListBox.h"

namespace {
const UINT kCodePressed = 1;
const UINT kCodeDoubleClicked = 3;
const UINT kCodeRightReleased = 5;
} // namespace

MListBox::MListBox(MObject* parent, UINT id, CRect rect, int visible)
    : DListBox(parent, id, rect, visible, 30, 0x222222)
{
}

int MListBox::OnControlLButtonDown(UINT, CPoint pt)
{
    if (!m_rect.PtInRect(pt))
        return 0;
    const int index = HitItem(pt);
    if (index != GetEditItem())
        HideEdit();
    SelectAndNotify(index, kCodePressed);
    return 1;
}

int MListBox::OnControlLButtonUp(UINT, CPoint) { return 1; }

int MListBox::OnControlLButtonDblClk(UINT, CPoint pt)
{
    if (!m_rect.PtInRect(pt))
        return 0;
    SendMessage(kCodeDoubleClicked, static_cast<WPARAM>(GetCurSel()), 0);
    ShowEdit();
    return 1;
}

int MListBox::OnControlRButtonUp(UINT, CPoint pt)
{
    const int index = HitItem(pt);
    if (index < 0)
        return 0;
    SelectAndNotify(index, kCodeRightReleased);
    return 1;
}
