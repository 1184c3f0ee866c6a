#include "MTabLayout.h"

MTabLayout::MTabLayout(MObject* parent, UINT id, CRect rect, int visible) : MPanel(parent, id, rect, visible)
{
    m_imageCount = 1;
    m_runTimer = 0; // nothing to tick while idle
    MPanel::SetControlRect(rect);
}

int MTabLayout::OnCheckMouseResponse(UINT, CPoint pt)
{
    CPoint tp = pt;
    OnMousePointChange(tp);
    MAutoLock guard(m_controlsLock);
    for (MControl* c : m_controls)
        if (c->PtInRect(PointFor(c, pt, tp)))
            return 1;
    return 0;
}
