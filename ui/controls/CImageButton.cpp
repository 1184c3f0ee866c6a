#include "CImageButton.h"

#include <algorithm>

#include "MRender.h"
#include "PaintManager.h"

CImageButton::CImageButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled)
    : MButton(parent, id, rect, title, visible, enabled)
{
}

void CImageButton::DrawSlotFaces(Gdiplus::Graphics& g, int w, int h)
{
    const int lastFrame = std::max(m_imageCount, 1) - 1;
    for (int i = 0; i < 4; ++i) {
        DrawFrameUnscaled(g, m_image, std::min(i, lastFrame), m_frameW, m_frameH, i * w, 0);
        if (m_iconImage)
            DrawFrameUnscaled(g, m_iconImage, 0, m_iconFrameW, m_iconH, i * w + (w - m_iconFrameW) / 2 + 2,
                              (h - m_iconH) / 2 - 4);
    }
}

void CImageButton::OnHoverStateChanged()
{
    if (m_balloonMode == AIRBLADDER_MODE_NONE || m_title.IsEmpty() || !m_manager)
        return;
    const int owner = static_cast<int>(m_id);
    if (m_state != BS_HOVER) {
        m_manager->ShowAirBladder(0, owner);
        return;
    }
    POINT anchor{m_balloonMode == AIRBLADDER_MODE_LEFT ? m_rect.left : m_rect.right,
                 m_rect.top + m_rect.Height() / 2};
    if (HWND hwnd = m_manager->GetPaintWnd())
        ::ClientToScreen(hwnd, &anchor);
    m_manager->SetAirBladderMsg(m_title, anchor, AIRBLADDER_TYPE_HOVER, m_balloonMode);
    m_manager->ShowAirBladder(1, owner);
}
