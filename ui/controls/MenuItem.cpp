#include "MenuItem.h"

#include <algorithm>

#include "MRender.h"
#include "MenuWnd.h"
#include "PaintManager.h"

MenuItem::MenuItem(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled)
    : MControlFont(parent, id, rect, title, visible, enabled, 1), m_state(enabled ? 0 : 3)
{
    m_imageCount = 3;
    m_vAlign = 4;
}

MenuItem::~MenuItem()
{
    if (MenuWnd* menu = m_popupMenu) {
        m_popupMenu = nullptr;
        // A menu with a window deletes itself when the window goes; one without is ours.
        if (menu->GetSafeHwnd())
            menu->DestroyWindow();
        else
            delete menu;
    }
}

const wchar_t* MenuItem::GetClassName() { return L"MenuItem"; }

int MenuItem::SetCheck(int) { return 0; }

void MenuItem::SetControlCheck(int check)
{
    m_check = check;
    SetState(check ? 2 : 0);
}

void MenuItem::SetSeparator(int separator)
{
    m_separator = separator != 0;
    UpdateControl(1);
}

void MenuItem::SetPopupMenu(MenuWnd* menu)
{
    m_popupMenu = menu;
    m_popup = menu != nullptr;
    UpdateControl(1);
}

void MenuItem::SetFrameWidth(int width)
{
    if (width == m_frameWidth)
        return;
    m_frameWidth = width;
    UpdateControl(1);
}

void MenuItem::SetTextIndent(int indent)
{
    if (indent == m_textIndent)
        return;
    m_textIndent = indent;
    UpdateControl(1);
}

void MenuItem::SetHoverColor(Gdiplus::ARGB color)
{
    if (color == m_hoverColor)
        return;
    m_hoverColor = color;
    UpdateControl(1);
}

void MenuItem::SetHoverImage(Gdiplus::Image* image)
{
    if (image == m_hoverImage)
        return;
    m_hoverImage = image;
    UpdateControl(1);
}

void MenuItem::SetPopupArrowImage(Gdiplus::Image* image)
{
    m_arrowImage = image;
    UpdateControl(1);
}

void MenuItem::SetIcon(const ImgResInfo* icon)
{
    if (!icon)
        return;
    m_image = icon->image;
    m_frameW = icon->frameWidth;
    m_frameH = icon->frameHeight;
    m_imageCount = icon->count;
    UpdateControl(1);
}

void MenuItem::SetState(int state)
{
    if (state == m_state)
        return;
    m_state = state;
    UpdateControl(0);
}

void MenuItem::SetControlEnabled(int enabled)
{
    MControlFont::SetControlEnabled(enabled);
    m_state = !enabled ? 3 : m_check ? 2 : 0;
    UpdateControl(1);
}

int MenuItem::OnControlMouseMove(UINT, CPoint pt)
{
    if (!m_enabled || m_pressing)
        return 0;
    const bool inside = m_rect.PtInRect(pt) != 0;
    SetState(inside ? 1 : 0);
    return inside ? 1 : 0;
}

int MenuItem::OnControlLButtonDown(UINT, CPoint pt)
{
    if (!m_enabled || !m_rect.PtInRect(pt))
        return 0;
    m_pressing = true;
    SetState(2);
    return 1;
}

int MenuItem::OnControlLButtonUp(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    m_pressing = false;
    if (!m_rect.PtInRect(pt)) {
        SetState(m_check ? 2 : 0);
        return 0;
    }
    SetState(1);
    SendMessage(MN_CLICKED);
    return 1;
}

void MenuItem::DrawSlot(Gdiplus::Graphics& g, int slot, int w, int h)
{
    const int x = slot * w;
    if (slot == 1 || slot == 2) {
        const CRect highlight(x + m_frameWidth, 0, x + w - m_frameWidth, h);
        if (m_hoverImage) {
            const int iw = static_cast<int>(m_hoverImage->GetWidth()), ih = static_cast<int>(m_hoverImage->GetHeight());
            MRender::DrawImageFrameMID(g, m_hoverImage, highlight, 0, 0, iw, ih, 0, 0, 0, 0);
        } else if (!highlight.IsRectEmpty()) {
            Gdiplus::SolidBrush brush{Gdiplus::Color(m_hoverColor)};
            g.FillRectangle(&brush, highlight.left, highlight.top, highlight.Width(), highlight.Height());
        }
    }
    if (m_separator) {
        if (m_image && m_frameW > 0 && m_frameH > 0) {
            const int y = (h - m_frameH) / 2;
            for (int left = 0; left < w; left += m_frameW) {
                const int tw = std::min(m_frameW, w - left);
                g.DrawImage(m_image, Gdiplus::Rect(x + left, y, tw, m_frameH), 0, 0, tw, m_frameH, Gdiplus::UnitPixel);
            }
        }
        return;
    }
    if (m_image && m_frameW > 0 && m_frameH > 0) {
        // Slots past the icon's last frame show its first frame.
        const int frame = slot < m_imageCount ? slot : 0;
        g.DrawImage(m_image, Gdiplus::Rect(x + (m_textIndent - m_frameW) / 2, (h - m_frameH) / 2, m_frameW, m_frameH),
                    frame * m_frameW, 0, m_frameW, m_frameH, Gdiplus::UnitPixel);
    }
    if (m_popup && m_arrowImage) {
        const int aw = static_cast<int>(m_arrowImage->GetWidth()), ah = static_cast<int>(m_arrowImage->GetHeight());
        g.DrawImage(m_arrowImage, Gdiplus::Rect(x + w - aw - 8, (h - ah) / 2, aw, ah), 0, 0, aw, ah,
                    Gdiplus::UnitPixel);
    }
    const UINT hAlign = m_hAlign;
    m_hAlign = 0;
    const Gdiplus::TextRenderingHint hint = m_renderingHint;
    m_renderingHint = Gdiplus::TextRenderingHintClearTypeGridFit;
    DrawTitleText(g, m_title, CRect(x + m_textIndent, 0, x + w, h), slot == 3 ? 0xFE808080 : 0xFFFFFFFF);
    m_renderingHint = hint;
    m_hAlign = hAlign;
}

void MenuItem::DrawControl(HDC& dc, CRect)
{
    const int w = m_rect.Width(), h = m_rect.Height();
    if (w <= 0 || h <= 0)
        return;
    const int slots = m_separator ? 1 : 4;
    if (!m_update) {
        if (!PrepareFaceSlots(dc, slots))
            return;
        MBitsGraphics bits(m_cacheBits, w * slots, h);
        if (bits.ok())
            for (int i = 0; i < slots; ++i)
                DrawSlot(*bits, i, w, h);
    }
    BlitCache(dc, m_separator ? 0 : m_state * w);
}
