#include "CTextButton.h"

#include "MRender.h"

CTextButton::CTextButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled)
    : MStateButton(parent, id, rect, title, visible, enabled)
{
    m_changesCursor = false;
}

void CTextButton::SetTextButtonColor(Gdiplus::Color normal, Gdiplus::Color hover, Gdiplus::Color pressed,
                                     Gdiplus::Color disabled)
{
    m_colors[0] = normal.GetValue();
    m_colors[1] = hover.GetValue();
    m_colors[2] = pressed.GetValue();
    m_colors[3] = disabled.GetValue();
}

void CTextButton::DrawSlotFaces(Gdiplus::Graphics& g, int w, int h)
{
    if (m_title.IsEmpty())
        return;
    auto font = MakeTitleFont();
    const CSize text = MeasureText(*font, m_title);
    const int x = m_hAlign == 1 ? (w - text.cx - 6) / 2 : m_hAlign == 2 ? w - text.cx - 6 : 0;
    const int y = m_vAlign == 4 ? (h - text.cy) / 2 : m_vAlign == 8 ? h - text.cy : 0;
    for (int i = 0; i < 4; ++i) {
        const int d = i == BS_PRESSED ? 1 : 0;
        Gdiplus::RectF box(static_cast<Gdiplus::REAL>(i * w + x + d), static_cast<Gdiplus::REAL>(y + d + 2),
                           static_cast<Gdiplus::REAL>(w - x), static_cast<Gdiplus::REAL>(text.cy));
        DrawPlainText(g, *font, m_title, box, m_colors[i]);
    }
}
