#include "MStateButton.h"

#include <algorithm>

#include "MRender.h"
#include "Manager.h"

MStateButton::MStateButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled)
    : MControlFont(parent, id, rect, title, visible, enabled, 1)
{
    if (!enabled)
        m_state = BS_DISABLED;
}

void MStateButton::DrawControl(HDC& dc, CRect)
{
    const int w = m_rect.Width(), h = m_rect.Height();
    if (w <= 0 || h <= 0)
        return;
    if (!m_update || !m_memDC)
        DrawSlots(dc);
    const int slot = std::min(std::max(ShownSlot(), 0), SlotCount() - 1);
    BlitCache(dc, slot * w, 0);
}

void MStateButton::DrawSlots(HDC& dc)
{
    const int slots = SlotCount();
    if (!PrepareFaceSlots(dc, slots))
        return;
    const int w = m_rect.Width(), h = m_rect.Height();
    MBitsGraphics bits(m_cacheBits, w * slots, h);
    if (bits.ok())
        DrawSlotFaces(*bits, w, h);
}

void MStateButton::DrawSlotFaces(Gdiplus::Graphics&, int, int) {}

void MStateButton::DrawFrameUnscaled(Gdiplus::Graphics& g, Gdiplus::Image* image, int frame, int frameW,
                                     int frameH, int x, int y)
{
    if (!image || frameW <= 0 || frameH <= 0 || frame < 0)
        return;
    g.DrawImage(image, Gdiplus::Rect(x, y, frameW, frameH), frame * frameW, 0, frameW, frameH, Gdiplus::UnitPixel);
}

void MStateButton::SetControlEnabled(int enabled)
{
    MControlFont::SetControlEnabled(enabled);
    m_state = enabled ? BS_NORMAL : BS_DISABLED;
}

bool MStateButton::SetState(int state)
{
    if (state == m_state)
        return false;
    m_state = state;
    UpdateControl(0);
    return true;
}

void MStateButton::ShowCursorFor(bool inside) const
{
    if (m_changesCursor)
        ::SetCursor(LoadCursorW(nullptr, inside ? IDC_HAND : IDC_ARROW));
}

int MStateButton::OnControlMouseMove(UINT, CPoint pt)
{
    if (!m_enabled || m_pressed)
        return 0;
    const bool inside = m_rect.PtInRect(pt);
    ShowCursorFor(inside);
    if (SetState(inside ? BS_HOVER : BS_NORMAL))
        OnHoverStateChanged();
    return inside ? 1 : 0;
}

int MStateButton::OnControlLButtonDown(UINT, CPoint pt)
{
    if (!m_enabled || !m_rect.PtInRect(pt))
        return 0;
    ShowCursorFor(true);
    SetState(BS_PRESSED);
    SendMessage(MN_PRESSED);
    return 1;
}

int MStateButton::OnControlLButtonUp(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    const bool wasPressed = m_state == BS_PRESSED;
    if (!m_rect.PtInRect(pt)) {
        SetState(BS_NORMAL);
        return 0;
    }
    SetState(BS_HOVER);
    if (wasPressed)
        SendMessage(MN_CLICKED); // last: the owner may remove the button in response
    return 1;
}

std::unique_ptr<Gdiplus::Font> MStateButton::MakeTitleFont(int extraPixels)
{
    Gdiplus::FontFamily* family = GetFontFamily(Manager::GetFontName());
    return std::unique_ptr<Gdiplus::Font>(new Gdiplus::Font(family ? family : Gdiplus::FontFamily::GenericSansSerif(),
                                                            static_cast<Gdiplus::REAL>(m_fontSize + extraPixels),
                                                            m_fontStyle, Gdiplus::UnitPixel));
}

CSize MStateButton::MeasureText(const Gdiplus::Font& font, const wchar_t* text)
{
    Gdiplus::StringFormat format(Gdiplus::StringFormatFlagsNoWrap | Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
    return MRender::GetTextBounds(font, format, CString(text));
}

void MStateButton::DrawPlainText(Gdiplus::Graphics& g, const Gdiplus::Font& font, const wchar_t* text,
                                 const Gdiplus::RectF& box, Gdiplus::ARGB color, bool centreVertically)
{
    if (!text || !*text || box.Width <= 0 || box.Height <= 0)
        return;
    Gdiplus::StringFormat format(Gdiplus::StringFormatFlagsNoWrap | Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
    if (centreVertically)
        format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    Gdiplus::SolidBrush brush{Gdiplus::Color(color)};
    g.SetTextRenderingHint(m_renderingHint);
    g.DrawString(text, -1, &font, box, &format, &brush);
}
