#include "MListBox.h"

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
    SelectAndNotify(index, MN_PRESSED);
    return 1;
}

int MListBox::OnControlLButtonUp(UINT, CPoint) { return 1; }

int MListBox::OnControlLButtonDblClk(UINT, CPoint pt)
{
    if (!m_rect.PtInRect(pt))
        return 0;
    SendMessage(MN_ITEM_DBLCLK, static_cast<WPARAM>(static_cast<UINT>(GetCurSel())), 0);
    ShowEdit();
    return 1;
}

int MListBox::OnControlRButtonUp(UINT, CPoint pt)
{
    const int index = HitItem(pt);
    if (index < 0)
        return 0;
    SelectAndNotify(index, MN_RCLICK);
    return 1;
}
