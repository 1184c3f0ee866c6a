#include "MText.h"

#include <algorithm>

#include "MRender.h"
#include "Manager.h"

MText::MText(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible)
    : MControlFont(parent, id, rect, title, visible, 0, 1)
{
}

LRESULT MText::OnBaseMessage(UINT id, UINT code, WPARAM, LPARAM)
{
    if (id == 1 && code == MN_POSITION)
        UpdateControl(1);
    return 0;
}

int MText::OnControlScroll(int, UINT, CPoint) { return 1; }

bool MText::StoreMark(const wchar_t* title, const wchar_t* mark, const Gdiplus::ARGB* color, const int* start)
{
    bool changed = false;
    if (title && m_title != title) {
        ClearGDIFont();
        SetControlTitle(title);
        changed = true;
    }
    const CString markText(mark); // null reads as empty
    if (m_mark != markText) {
        m_mark = markText;
        changed = true;
    }
    if (color && *color != m_markColor) {
        m_markColor = *color;
        changed = true;
    }
    if (start && *start != m_markStart) {
        m_markStart = *start;
        changed = true;
    }
    return changed;
}

void MText::SetMarkText(const wchar_t* mark)
{
    if (StoreMark(nullptr, mark, nullptr, nullptr))
        UpdateControl(1);
}

void MText::SetMarkText(const wchar_t* mark, Gdiplus::Color color, int start)
{
    const Gdiplus::ARGB argb = color.GetValue();
    if (StoreMark(nullptr, mark, &argb, &start))
        UpdateControl(1);
}

void MText::SetTitleMarkText(const wchar_t* title, const wchar_t* mark, int start)
{
    if (StoreMark(title ? title : L"", mark, nullptr, &start))
        UpdateControl(1);
}

void MText::SetMarkText(const wchar_t* title, const wchar_t* mark, Gdiplus::Color color, int start)
{
    const Gdiplus::ARGB argb = color.GetValue();
    if (StoreMark(title ? title : L"", mark, &argb, &start))
        UpdateControl(1);
}

void MText::EnableTextBack(int on, Gdiplus::Color color)
{
    if ((on != 0) != m_textBack) {
        m_textBack = on != 0;
        m_backColor = color.GetValue();
    }
    UpdateControl(1);
}

void MText::DrawPart(Gdiplus::Graphics& g, Gdiplus::Font& font, Gdiplus::StringFormat& format, const CString& text,
                     const CRect& layout, Gdiplus::ARGB color)
{
    if (text.IsEmpty() || layout.IsRectEmpty())
        return;
    auto box = [](const CRect& r) {
        return Gdiplus::RectF(static_cast<Gdiplus::REAL>(r.left), static_cast<Gdiplus::REAL>(r.top),
                              static_cast<Gdiplus::REAL>(r.Width()), static_cast<Gdiplus::REAL>(r.Height()));
    };
    if (m_shadow) {
        CRect shadow = layout;
        shadow.OffsetRect(1, 1);
        Gdiplus::SolidBrush brush{Gdiplus::Color(m_shadowColor)};
        g.DrawString(text.c_str(), text.GetLength(), &font, box(shadow), &format, &brush);
    }
    if (color == m_textColor) {
        g.DrawString(text.c_str(), text.GetLength(), &font, box(layout), &format, GetTextBrush());
    } else {
        Gdiplus::SolidBrush brush{Gdiplus::Color(color)};
        g.DrawString(text.c_str(), text.GetLength(), &font, box(layout), &format, &brush);
    }
}

void MText::DrawFace(HDC&, int cx, int cy)
{
    if (m_textBack)
        MRender::FillPixels(m_cacheBits, cx, cy, CRect(0, 0, cx, cy), m_backColor);
    MBitsGraphics bits(m_cacheBits, cx, cy);
    if (!bits.ok())
        return;
    Gdiplus::Graphics& g = *bits;

    int x0 = 0;
    if (m_image && m_frameW > 0 && m_frameH > 0) {
        g.DrawImage(m_image, Gdiplus::Rect(0, (cy - m_frameH) / 2, m_frameW, m_frameH), 0, 0, m_frameW, m_frameH,
                    Gdiplus::UnitPixel);
        x0 = m_frameW + 5;
    }
    if (m_title.IsEmpty())
        return;

    Gdiplus::FontFamily* family = GetFontFamily(Manager::GetFontName());
    Gdiplus::Font font(family ? family : Gdiplus::FontFamily::GenericSansSerif(),
                       static_cast<Gdiplus::REAL>(m_fontSize), m_fontStyle, Gdiplus::UnitPixel);
    Gdiplus::StringFormat format(m_multiLine ? Gdiplus::StringFormatFlagsNoClip |
                                                   Gdiplus::StringFormatFlagsMeasureTrailingSpaces
                                             : Gdiplus::StringFormatFlagsNoWrap |
                                                   Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
    auto align = [](UINT a, UINT centre, UINT farEnd) {
        return a == centre ? Gdiplus::StringAlignmentCenter
                           : a == farEnd ? Gdiplus::StringAlignmentFar : Gdiplus::StringAlignmentNear;
    };
    format.SetAlignment(align(m_hAlign, 1, 2));
    // Wrapped text starts at the top unless it is to be centred vertically.
    if (m_multiLine)
        format.SetLineAlignment(m_vCenter ? Gdiplus::StringAlignmentCenter : Gdiplus::StringAlignmentNear);
    else
        format.SetLineAlignment(align(m_vAlign, 4, 8));
    g.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
    g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);

    // The mark is searched from the mark start, kept inside the title.
    const size_t start = static_cast<size_t>(std::clamp(m_markStart, 0, m_title.GetLength()));
    const size_t at = m_mark.IsEmpty() ? CString::npos : m_title.find(m_mark, start);
    if (at == CString::npos) {
        DrawPart(g, font, format, m_title, CRect(x0, 0, cx, cy), m_textColor);
        return;
    }
    const CString before(m_title.substr(0, at));
    const CString after(m_title.substr(at + m_mark.size()));
    format.SetAlignment(Gdiplus::StringAlignmentNear); // the parts are placed one after the other
    const int wBefore = before.IsEmpty() ? 0 : MRender::GetTextBounds(font, format, before).cx;
    const int wMark = MRender::GetTextBounds(font, format, m_mark).cx;
    DrawPart(g, font, format, before, CRect(x0, 0, cx, cy), m_textColor);
    DrawPart(g, font, format, m_mark, CRect(x0 + wBefore + 2, 0, cx, cy), m_markColor);
    DrawPart(g, font, format, after, CRect(x0 + wBefore + wMark + 4, 0, cx, cy), m_textColor);
}
