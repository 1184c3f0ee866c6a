// The dialog's balloon operations (the balloon itself belongs to the paint manager).
#include "MDialog.h"

CPoint MDialog::GetAirBladderPoint(MControl* control, UINT where)
{
    if (!control)
        return CPoint();
    const CRect r = control->GetRect();
    CPoint p(where == 0 ? r.left : where == 2 ? r.right : r.left + r.Width() / 2, r.bottom);
    ClientToScreen(&p);
    return p;
}

int MDialog::SetAirBladderMsg(const wchar_t* text, POINT anchor, AIRBLADDER_TYPE type)
{
    if (anchor.x == 0 || anchor.y == 0)
        return 0;
    m_pm.SetAirBladderMsg(text, anchor, type, AIRBLADDER_MODE_BELOW);
    m_pm.ShowAirBladder(1, 0);
    return 1;
}
