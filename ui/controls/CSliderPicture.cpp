#include "CSliderPicture.h"

#include <algorithm>

#include "MRender.h"

CSliderPicture::CSliderPicture(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : MControlFont(parent, id, rect, L"", visible, enabled, 1)
{
    m_imageCount = 1;
}

int CSliderPicture::SetShowMode(enumShowMode mode, int corner)
{
    if (!m_show.Set(mode, corner))
        return 0;
    UpdateControl(1);
    return 1;
}

int CSliderPicture::SetShowModeMID(int left, int top, int right, int bottom)
{
    if (!m_show.SetMargins(left, top, right, bottom))
        return 0;
    UpdateControl(1);
    return 1;
}

void CSliderPicture::SetRun(int run, SLIDER_MODE mode)
{
    if (!m_enabled)
        return;
    if (run) {
        m_mode = mode;
        m_position = 0;
        m_end = mode == SLIDER_MODE_TOP ? m_rect.Height() : m_rect.Width();
        m_tick = 0;
    }
    m_running = run != 0;
    SetRunTimer(m_running ? 1 : 0);
    UpdateControl(1);
}

int CSliderPicture::OnControlTimer()
{
    if (!m_running || !m_visible)
        return 0;
    if (++m_tick < m_ticksPerStep)
        return 0;
    m_tick = 0;
    // 1 % of the span per step, but never less than a pixel, so that small pictures finish.
    const int step = std::max(m_end / 100, 1);
    m_position = std::min(m_position + step, m_end);
    if (m_position >= m_end) {
        m_running = false;
        SetRunTimer(0);
        SetVisible(0);
        return 1;
    }
    UpdateControl(1);
    return 1;
}

void CSliderPicture::DrawFace(HDC&, int cx, int cy)
{
    {
        MBitsGraphics bits(m_cacheBits, cx, cy);
        if (bits.ok())
            m_show.Draw(*bits, m_image, 0, m_frameW, m_frameH, CRect(0, 0, cx, cy), m_hAlign, m_vAlign);
    }
    if (m_mode == 0)
        return;
    const int shown = std::min(m_position, m_end);
    CRect hidden;
    switch (m_mode) {
    case SLIDER_MODE_TOP:
        hidden.SetRect(0, shown, cx, cy);
        break;
    case SLIDER_MODE_RIGHT:
        hidden.SetRect(0, 0, cx - shown, cy);
        break;
    default:
        hidden.SetRect(shown, 0, cx, cy);
        break;
    }
    MRender::FillPixels(m_cacheBits, cx, cy, hidden, 0xFFF2F2F2);
}
