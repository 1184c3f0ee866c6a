#include "CLogonEdit.h"

#include "MRender.h"

CLogonEdit::CLogonEdit(MObject* parent, UINT id, CRect rect, const wchar_t* tipText, int visible, int enabled)
    : MRichEdit(parent, id, rect, tipText, visible, enabled)
{
    m_style = 0x100080; // automatic horizontal scrolling with a horizontal bar
}

void CLogonEdit::DrawFace(HDC& dc, int w, int h)
{
    if (!m_title.IsEmpty() || m_tip.IsEmpty()) {
        MRichEdit::DrawFace(dc, w, h);
        return;
    }
    {
        MBitsGraphics bitsGraphics(m_cacheBits, w, h);
        if (bitsGraphics.ok())
            DrawImageState(*bitsGraphics, CRect(0, 0, w, h), m_state, m_corner);
    }
    CRect area = GetTextArea();
    area.OffsetRect(-m_rect.left, -m_rect.top);
    MRender::DrawTextW(dc, area, m_tip, RGB(0x89, 0x89, 0x89), GetGDIFont(), DT_SINGLELINE | DT_VCENTER);
    GdiFlush();
}
