#include "CirclePalette.h"

#include <cmath>
#include <cstdlib>

#include "MRender.h"
#include "PaintManager.h"

CirclePalette::CirclePalette(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : MControlFont(parent, id, rect, L"", visible, enabled, 1),
      m_ringRect(rect.left + 100, rect.top + 30, rect.left + 110, rect.top + 40)
{
}

bool CirclePalette::TakeImage(ImgResInfo* info)
{
    if (!info)
        return false;
    m_image = info->image;
    m_frameW = info->frameWidth;
    m_frameH = info->frameHeight;
    m_imageCount = info->count;
    return true;
}

int CirclePalette::SetImage(UINT resourceId, CString resourceType, int count)
{
    if (!m_manager || !TakeImage(m_manager->AddImgResInfo(resourceId, resourceType, count, 0)))
        return 0;
    m_imagePath.clear();
    return 1;
}

int CirclePalette::SetImage(const wchar_t* file, int count)
{
    if (!m_manager || !file || !*file || !TakeImage(m_manager->AddImgResInfo(file, count)))
        return 0;
    m_imagePath = CString(file);
    return 1;
}

void CirclePalette::SetControlRect(CRect rect)
{
    if (rect == m_rect)
        return;
    MControlFont::SetControlRect(rect);
    m_ringRect = CRect(rect.left + 100, rect.top + 30, rect.left + 110, rect.top + 40);
    UpdateControl(1);
}

int CirclePalette::GetDistanse(CPoint pt)
{
    const int cx = m_rect.left + (m_rect.right - m_rect.left) / 2;
    const int cy = m_rect.top + (m_rect.bottom - m_rect.top) / 2;
    const double dx = pt.x - cx, dy = pt.y - cy;
    return static_cast<int>(std::sqrt(dx * dx + dy * dy));
}

bool CirclePalette::ReadPixelUnderCursor(unsigned long& color) const
{
    HWND hwnd = m_manager ? m_manager->GetPaintWnd() : nullptr;
    POINT cursor;
    if (!hwnd || !IsWindow(hwnd) || !GetCursorPos(&cursor) || !ScreenToClient(hwnd, &cursor))
        return false;
    HDC dc = GetDC(hwnd);
    if (!dc)
        return false;
    const COLORREF pixel = GetPixel(dc, cursor.x, cursor.y);
    ReleaseDC(hwnd, dc);
    if (pixel == CLR_INVALID)
        return false;
    color = pixel;
    return true;
}

int CirclePalette::MoveThumbPos(CPoint pt)
{
    if (GetDistanse(pt) > kRadius)
        return 0;
    m_lastPoint = pt;
    const CRect ring(pt.x - 5, pt.y - 5, pt.x + 5, pt.y + 5);
    if (ring == m_ringRect)
        return 0;
    m_ringRect = ring;
    unsigned long color = 0;
    const bool picked = ReadPixelUnderCursor(color);
    if (picked)
        m_selectColor = color;
    UpdateControl(1);
    // Without a readable pixel the ring still follows the mouse, but nothing is picked.
    if (picked)
        SendMessage(MN_COLOR_PICKED, 0, static_cast<LPARAM>(m_selectColor));
    return 0;
}

void CirclePalette::DrawFace(HDC&, int cx, int cy)
{
    MBitsGraphics bits(m_cacheBits, cx, cy);
    if (!bits.ok())
        return;
    Gdiplus::Graphics& g = *bits;
    if (m_image && m_frameW > 0 && m_frameH > 0)
        g.DrawImage(m_image, Gdiplus::Rect(0, 0, cx, cy), 0, 0, m_frameW, m_frameH, Gdiplus::UnitPixel);
    g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    const Gdiplus::REAL x = static_cast<Gdiplus::REAL>(m_ringRect.left - m_rect.left);
    const Gdiplus::REAL y = static_cast<Gdiplus::REAL>(m_ringRect.top - m_rect.top);
    Gdiplus::Pen light{Gdiplus::Color(0xFEFFFFFF), 1}, shade{Gdiplus::Color(0xFE808080), 1};
    g.DrawEllipse(&light, x, y, 8.0f, 8.0f);
    g.DrawEllipse(&shade, x + 1, y + 1, 8.0f, 8.0f);
}

int CirclePalette::OnControlLButtonDown(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    if (m_ringRect.PtInRect(pt))
        m_state = 2;
    MoveThumbPos(pt);
    return 1;
}

int CirclePalette::OnControlMouseMove(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    if (m_state == 2) {
        if (std::abs(pt.x - m_lastPoint.x) > 5 || std::abs(pt.y - m_lastPoint.y) >= 6)
            MoveThumbPos(pt);
        return 1;
    }
    m_state = m_rect.PtInRect(pt) && m_ringRect.PtInRect(pt) ? 1 : 0;
    return 0;
}

int CirclePalette::OnControlLButtonUp(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    m_state = m_ringRect.PtInRect(pt) ? 1 : 0;
    SendMessage(MN_CLICKED, 0, static_cast<LPARAM>(m_selectColor));
    return 1;
}
