#include "CArea.h"

#include "MRender.h"

CArea::CArea(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : MControl(parent, id, rect, visible, enabled, 1)
{
}

void CArea::SetTransparent(int fromPercent, int toPercent, DWORD fillColor)
{
    m_from = fromPercent;
    m_to = toPercent;
    m_fillColor = fillColor;
    UpdateControl(1);
}

void CArea::SetFrame(int show, Gdiplus::Color frameColor, int)
{
    m_frame = show;
    m_frameColor = frameColor.GetValue();
    UpdateControl(1);
}

void CArea::SetDirection(int direction)
{
    m_direction = direction;
    UpdateControl(1);
}

void CArea::DrawFace(HDC& dc, int w, int h)
{
    // The fill colour at full alpha (red in the low byte of the colour value).
    const DWORD fill = 0xFF000000 | (GetRValue(m_fillColor) << 16) | (GetGValue(m_fillColor) << 8) |
                       GetBValue(m_fillColor);
    const CRect whole(0, 0, w, h);
    if (m_from || m_to) {
        BYTE* bits = nullptr;
        HBITMAP temp = MRender::CreateARGB32Bitmap(dc, w, h, &bits);
        if (!temp)
            return;
        HDC tempDC = ::CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(tempDC, temp);
        MRender::FillPixels(bits, w, h, whole, fill);
        CRect dst = whole, src = whole;
        if (m_direction)
            MRender::DrawVerticalTransition(dc, tempDC, dst, src, m_from, m_to);
        else
            MRender::DrawHorizontalTransition(dc, tempDC, dst, src, m_from, m_to);
        SelectObject(tempDC, old);
        DeleteDC(tempDC);
        DeleteObject(temp);
    } else if (m_frame) {
        MRender::FillPixels(m_cacheBits, w, h, whole, m_frameColor);
        MRender::FillPixels(m_cacheBits, w, h, CRect(1, 1, w - 1, h - 1), fill);
    } else {
        MRender::FillPixels(m_cacheBits, w, h, whole, fill);
    }
}
