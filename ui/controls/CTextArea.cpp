#include "CTextArea.h"

#include "MRender.h"

CTextArea::CTextArea(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled)
    : MControlFont(parent, id, rect, title, visible, enabled, 1)
{
}

void CTextArea::SetTransparent(int from, int to, DWORD fillColor)
{
    m_from = from;
    m_to = to;
    m_fillColor = fillColor;
    UpdateControl(1);
}

void CTextArea::SetFrame(int show, Gdiplus::Color frameColor, int)
{
    m_frame = show != 0;
    m_frameColor = frameColor.GetValue();
    UpdateControl(1);
}

void CTextArea::DrawFace(HDC&, int cx, int cy)
{
    const DWORD fill = 0xFF000000 | (GetRValue(m_fillColor) << 16) | (GetGValue(m_fillColor) << 8) |
                       GetBValue(m_fillColor);
    if (m_frame) {
        MRender::FillPixels(m_cacheBits, cx, cy, CRect(0, 0, cx, cy), m_frameColor);
        MRender::FillPixels(m_cacheBits, cx, cy, CRect(1, 1, cx - 1, cy - 1), fill);
    } else {
        MRender::FillPixels(m_cacheBits, cx, cy, CRect(0, 0, cx, cy), fill);
    }
    if (m_title.IsEmpty())
        return;
    MBitsGraphics bits(m_cacheBits, cx, cy);
    if (!bits.ok())
        return;
    const UINT h = m_hAlign, v = m_vAlign;
    m_hAlign = 1;
    m_vAlign = 4;
    DrawTitleText(*bits, m_title, CRect(0, 0, cx, cy), m_textColor);
    m_hAlign = h;
    m_vAlign = v;
}
