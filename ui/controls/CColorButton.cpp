#include "CColorButton.h"

#include "ButtonGroup.h"

namespace {

Gdiplus::Color Opaque(unsigned long gdi) { return Gdiplus::Color(255, GetRValue(gdi), GetGValue(gdi), GetBValue(gdi)); }

void Fill(Gdiplus::Graphics& g, const Gdiplus::Color& color, int x, int y, int w, int h)
{
    if (w <= 0 || h <= 0)
        return;
    Gdiplus::SolidBrush brush(color);
    g.FillRectangle(&brush, x, y, w, h);
}

} // namespace

CColorButton::CColorButton(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : MStateButton(parent, id, rect, L"", visible, enabled)
{
}

const wchar_t* CColorButton::GetClassName() { return L"ColorButton"; }

void CColorButton::SetColor(unsigned long color)
{
    if (color == m_color)
        return;
    m_color = color;
    UpdateControl(1);
}

int CColorButton::SetCheck(int check)
{
    if (!m_enabled)
        return m_check;
    const int old = m_check;
    m_check = check;
    m_state = check ? BS_PRESSED : BS_NORMAL;
    if (m_check != old) {
        ResetGroupCheck();
        UpdateControl(0);
    }
    return m_check;
}

void CColorButton::SetControlCheck(int check)
{
    m_check = check;
    // A disabled swatch that is not checked keeps its disabled look.
    m_state = check ? BS_PRESSED : m_enabled ? BS_NORMAL : BS_DISABLED;
    UpdateControl(0);
}

int CColorButton::ResetGroupCheck()
{
    return ForEachGroupMember(this, GetClassName(), [this](MControl* c) {
        auto* other = dynamic_cast<CColorButton*>(c);
        if (!other || !other->IsVisible() || !other->IsEnabled() || other->m_group != m_group)
            return;
        other->m_check = 0;
        other->m_state = BS_NORMAL;
        other->UpdateControl(0);
    });
}

void CColorButton::DrawSlotFaces(Gdiplus::Graphics& g, int w, int h)
{
    const Gdiplus::Color colour = Opaque(m_color);
    for (int i = 0; i < SlotCount(); ++i) {
        const int x = i * w;
        if (m_visibleBorder) {
            Fill(g, Opaque(0xEBEBEB), x, 0, w, h);
            Fill(g, Opaque(0x050505), x + 1, 1, w - 2, h - 2);
            Fill(g, colour, x + 3, 3, w - 6, h - 6);
            continue;
        }
        if (m_image)
            g.DrawImage(m_image, Gdiplus::Rect(x, 0, w, h), 0, 0, static_cast<INT>(m_image->GetWidth()),
                        static_cast<INT>(m_image->GetHeight()), Gdiplus::UnitPixel);
        else
            Fill(g, colour, x + 2, 2, w - 4, h - 4);
        if (i == BS_NORMAL)
            continue;
        Gdiplus::Pen pen(Gdiplus::Color(i == BS_DISABLED ? 0xFF808080 : 0xFFF5F5F5), 2);
        g.DrawRectangle(&pen, x + 1, 1, w - 2, h - 2);
    }
}

int CColorButton::OnControlMouseMove(UINT, CPoint pt)
{
    if (!m_enabled || m_state == BS_PRESSED)
        return 0;
    const bool inside = m_rect.PtInRect(pt);
    ShowCursorFor(inside);
    return SetState(inside ? BS_HOVER : BS_NORMAL) ? 1 : 0;
}

int CColorButton::OnControlLButtonDown(UINT, CPoint pt)
{
    if (!m_enabled || !m_rect.PtInRect(pt))
        return 0;
    ShowCursorFor(true);
    m_check = 1;
    SetState(BS_PRESSED);
    ResetGroupCheck();
    SendMessage(MN_PRESSED);
    return 1;
}
