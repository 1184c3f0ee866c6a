#include "CHelpButton.h"

#include "AirBladderDefs.h"
#include "MRender.h"
#include "PaintManager.h"

CHelpButton::CHelpButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled)
    : MControlFont(parent, id, rect, title, visible, enabled, 1)
{
    m_imageCount = 1;
}

void CHelpButton::DrawFace(HDC&, int cx, int cy)
{
    if (!m_image)
        return;
    MBitsGraphics bits(m_cacheBits, cx, cy);
    if (bits.ok())
        bits->DrawImage(m_image, Gdiplus::Rect(0, 0, cx, cy), 0, 0, static_cast<INT>(m_image->GetWidth()),
                        static_cast<INT>(m_image->GetHeight()), Gdiplus::UnitPixel);
}

int CHelpButton::OnControlMouseMove(UINT, CPoint pt)
{
    if (!m_enabled || m_title.IsEmpty() || !m_manager)
        return 0;
    const int owner = static_cast<int>(m_id);
    if (!m_rect.PtInRect(pt)) {
        if (m_id == 0 || m_manager->GetAirBladderOwner() == owner)
            m_manager->ShowAirBladder(0, owner);
        return 0;
    }
    POINT anchor{m_rect.left, m_rect.top + 25};
    if (HWND hwnd = m_manager->GetPaintWnd())
        ::ClientToScreen(hwnd, &anchor);
    m_manager->SetAirBladderMsg(m_title, anchor, AIRBLADDER_TYPE_HOVER, AIRBLADDER_MODE_LEFT);
    m_manager->ShowAirBladder(1, owner);
    return 1;
}
