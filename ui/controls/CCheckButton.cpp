#include "CCheckButton.h"

#include <algorithm>

#include "MRender.h"

namespace {
const Gdiplus::ARGB kDisabledText = 0xFE808080;
}

CCheckButton::CCheckButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled)
    : MStateButton(parent, id, rect, title, visible, enabled)
{
    m_tabStop = 1;
    m_vAlign = 4;
    m_imageCount = 8;
    m_changesCursor = false;
}

int CCheckButton::RestingState(bool inside) const
{
    return m_check ? (inside ? BS_CHECKED_HOVER : BS_CHECKED) : (inside ? BS_HOVER : BS_NORMAL);
}

int CCheckButton::SetCheck(int check)
{
    if (!m_enabled)
        return m_check;
    if (check != m_check) {
        m_check = check;
        SetState(check ? BS_CHECKED : BS_NORMAL);
    }
    return m_check;
}

void CCheckButton::SetControlEnabled(int enabled)
{
    MControlFont::SetControlEnabled(enabled);
    m_state = enabled ? (m_check ? BS_CHECKED : BS_NORMAL) : (m_check ? BS_CHECKED_DISABLED : BS_DISABLED);
}

int CCheckButton::SetControlFocus(int focus)
{
    MStateButton::SetControlFocus(focus);
    if (!m_visible || !m_enabled)
        return 0;
    m_focusMark = focus != 0;
    UpdateControl(1);
    return 1;
}

int CCheckButton::OnControlMouseMove(UINT, CPoint pt)
{
    if (!m_enabled || m_pressing)
        return 0;
    const bool inside = m_rect.PtInRect(pt);
    SetState(RestingState(inside));
    return inside ? 1 : 0;
}

int CCheckButton::OnControlLButtonDown(UINT, CPoint pt)
{
    if (!m_enabled || !m_rect.PtInRect(pt))
        return 0;
    m_pressing = true;
    SetState(m_check ? BS_CHECKED_PRESSED : BS_PRESSED);
    return 1;
}

int CCheckButton::OnControlLButtonUp(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    const bool inside = m_rect.PtInRect(pt);
    const bool clicked = inside && m_pressing;
    m_pressing = false;
    if (clicked)
        OnClick();
    SetState(RestingState(inside));
    return inside ? 1 : 0;
}

void CCheckButton::OnClick()
{
    m_check = m_check ? 0 : 1;
    SendMessage(MN_CLICKED);
}

int CCheckButton::OnControlKeyDown(UINT key, UINT repeat, UINT modifiers)
{
    const bool hotKey = MStateButton::OnControlKeyDown(key, repeat, modifiers) != 0;
    const bool space = key == VK_SPACE && modifiers == 0 && m_focusMark;
    if (!hotKey && !space)
        return 0;
    OnKeyCheck();
    return 1;
}

void CCheckButton::OnKeyCheck()
{
    const int check = SetCheck(m_check ? 0 : 1);
    SendMessage(MN_CHECK_BY_KEY, 0, check);
}

Gdiplus::RectF CCheckButton::TitleBox(const Gdiplus::Font&, int fw, int fh)
{
    const int w = m_rect.Width(), h = m_rect.Height();
    return Gdiplus::RectF(static_cast<Gdiplus::REAL>(fw + 8), static_cast<Gdiplus::REAL>((h - fh) / 2),
                          static_cast<Gdiplus::REAL>(w - fw - 8), static_cast<Gdiplus::REAL>(fh));
}

void CCheckButton::DrawSlotFaces(Gdiplus::Graphics& g, int w, int h)
{
    const int fw = m_image ? m_frameW : 0, fh = m_image ? m_frameH : 0;
    const int lastFrame = std::max(m_imageCount, 1) - 1;
    std::unique_ptr<Gdiplus::Font> font;
    Gdiplus::RectF title;
    if (!m_title.IsEmpty()) {
        font = MakeTitleFont();
        title = TitleBox(*font, fw, fh);
    }
    for (int i = 0; i < 8; ++i) {
        DrawFrameUnscaled(g, m_image, std::min(i, lastFrame), fw, fh, i * w, (h - fh) / 2);
        if (!font)
            continue;
        // Each slot's text stays inside its slot.
        g.SetClip(Gdiplus::Rect(i * w, 0, w, h));
        Gdiplus::RectF box = title;
        box.X += static_cast<Gdiplus::REAL>(i * w);
        DrawPlainText(g, *font, m_title, box, i == BS_DISABLED || i == BS_CHECKED_DISABLED ? kDisabledText : m_textColor,
                      CentresTitle());
        g.ResetClip();
    }
}
