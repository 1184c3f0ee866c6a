#include "MPalette.h"

#include <algorithm>
#include <cmath>

#include "MRender.h"
#include "Manager.h"

namespace {

// One channel of the HSL to RGB conversion: t is the channel's hue offset.
double HueChannel(double p, double q, double t)
{
    if (t < 0)
        t += 1;
    if (t > 1)
        t -= 1;
    if (6 * t < 1)
        return p + (q - p) * 6 * t;
    if (2 * t < 1)
        return q;
    if (3 * t < 2)
        return p + (q - p) * (2.0 / 3.0 - t) * 6;
    return p;
}

int Channel(double f) { return static_cast<int>(f * 255); }

// ARGB of the marker circles (also used by the colour wheel).
const Gdiplus::ARGB kMarkerLight = 0xFEFFFFFF;
const Gdiplus::ARGB kMarkerShade = 0xFE808080;
const Gdiplus::ARGB kDisabledCover = 0x0A808080;

} // namespace

unsigned long MPalette::HslToColor(double hue, double saturation, double lightness)
{
    if (saturation == 0) {
        const int grey = Channel(lightness);
        return RGB(grey, grey, grey);
    }
    const double q = lightness < 0.5 ? lightness * (1 + saturation) : lightness + saturation - lightness * saturation;
    const double p = 2 * lightness - q;
    const int r = Channel(HueChannel(p, q, hue + 1.0 / 3.0));
    const int g = Channel(HueChannel(p, q, hue));
    const int b = Channel(HueChannel(p, q, hue - 1.0 / 3.0));
    return RGB(r, g, b);
}

MPalette::MPalette(MObject* parent, UINT id, CRect rect, int visible)
    : MControlFont(parent, id, rect, L"", visible, 1, 1),
      m_color(HslToColor(m_hue / 360.0, m_saturation / 200.0, m_lightness / 200.0)),
      m_fieldRect(rect.left, rect.top, rect.right - 38, rect.top + 150),
      m_barRect(rect.right - 32, rect.top, rect.right, rect.top + 150)
{
    PlaceFieldPoint();
}

MPalette::~MPalette()
{
    ReleaseTables();
    delete m_thumb;
}

void MPalette::ReleaseTables()
{
    if (m_tableDC) {
        SelectObject(m_tableDC, m_tableOld);
        DeleteDC(m_tableDC);
    }
    if (m_tableBmp)
        DeleteObject(m_tableBmp);
    m_tableDC = nullptr;
    m_tableBmp = nullptr;
    m_tableOld = nullptr;
    m_tableBits = nullptr;
    m_fieldReady = m_barReady = false;
}

bool MPalette::EnsureTables()
{
    if (m_tableDC)
        return true;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = kTableWidth;
    info.bmiHeader.biHeight = -kTableHeight; // top-down: row y starts at y x the row width
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    void* bits = nullptr;
    m_tableBmp = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (m_tableBmp)
        m_tableDC = ::CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    if (!m_tableBmp || !m_tableDC) {
        ReleaseTables();
        return false;
    }
    m_tableOld = SelectObject(m_tableDC, m_tableBmp);
    GetObjectW(m_tableBmp, sizeof(m_tableHeader), &m_tableHeader);
    m_tableBits = static_cast<BYTE*>(bits);
    return true;
}

void MPalette::PutTablePixel(int x, int y, unsigned long color)
{
    if (color == 0)
        color = RGB(1, 0, 0); // pure black is kept for "no colour"
    BYTE* px = m_tableBits + static_cast<size_t>(y) * m_tableHeader.bmWidthBytes + x * m_tableHeader.bmBitsPixel / 8;
    px[0] = GetBValue(color);
    px[1] = GetGValue(color);
    px[2] = GetRValue(color);
    px[3] = 0xFF;
}

void MPalette::ComputeFieldTable()
{
    GdiFlush();
    for (int i = 0; i < 200; ++i)
        for (int j = 0; j < 360; ++j)
            PutTablePixel(j, i, HslToColor(j / 360.0, 1.0, i / 200.0));
    m_fieldReady = true;
}

void MPalette::ComputeBarTable()
{
    GdiFlush();
    for (int i = 0; i < m_barWidth; ++i)
        for (int j = 0; j < 200; ++j)
            PutTablePixel(kBarColumn + i, j, HslToColor(m_hue / 360.0, j / 200.0, m_lightness / 200.0));
    m_barReady = true;
}

void MPalette::InitControl(PaintManager* manager)
{
    MControlFont::InitControl(manager);
    if (EnsureTables()) {
        ComputeFieldTable();
        ComputeBarTable();
    }
    PlaceFieldPoint();
}

void MPalette::PlaceFieldPoint()
{
    m_fieldPoint.x = m_fieldRect.left + m_fieldRect.Width() * m_hue / 360;
    m_fieldPoint.y = std::max(m_fieldRect.top + (m_lightness - 20) * m_palletHeight / 180, m_fieldRect.top);
}

void MPalette::SetControlRect(CRect rect)
{
    MControlFont::SetControlRect(rect);
    m_fieldRect = CRect(rect.left, rect.top, rect.right - m_barWidth - 22, rect.top + m_palletHeight);
    m_barRect = CRect(rect.right - m_barWidth - 16, rect.top, rect.right, rect.top + m_palletHeight);
    m_barReady = false;
    PlaceFieldPoint();
    UpdateControl(1);
}

unsigned long MPalette::GetSelectColor() const
{
    return HslToColor(m_hue / 360.0, m_saturation / 200.0, m_lightness / 200.0);
}

void MPalette::SetSelectColor(unsigned long color)
{
    m_color = color;
    const double r = GetRValue(color) / 255.0, g = GetGValue(color) / 255.0, b = GetBValue(color) / 255.0;
    const double high = std::max({r, g, b}), low = std::min({r, g, b});
    const double l = (high + low) / 2;
    double h = 0, s = 0;
    if (high != low) {
        const double delta = high - low;
        s = l < 0.5 ? delta / (high + low) : delta / (2 - high - low);
        if (high == r)
            h = (g - b) / delta;
        else if (high == g)
            h = (b - r) / delta + 2;
        else
            h = (r - g) / delta + 4;
        h /= 6;
        if (h < 0)
            h += 1;
    }
    m_hue = static_cast<int>(h * 360);
    m_saturation = static_cast<int>(s * 200);
    m_lightness = static_cast<int>(l * 200);
    PlaceFieldPoint();
    m_barReady = false;
    UpdateControl(1);
}

int MPalette::SetThumbImage(const wchar_t* file)
{
    delete m_thumb;
    m_thumb = nullptr;
    m_thumbW = m_thumbH = 0;
    if (!file || !*file)
        return 0;
    m_thumb = MRender::LoadImageFromFile(CString(Manager::GetSkinFolder() + file));
    if (m_thumb) {
        m_thumbW = static_cast<int>(m_thumb->GetWidth()) / 4;
        m_thumbH = static_cast<int>(m_thumb->GetHeight());
    }
    UpdateControl(1);
    return 0;
}

void MPalette::SetPalletHeight(int height)
{
    m_palletHeight = height;
    UpdateControl(1);
}

// ---------------------------------------------------------------- drawing

void MPalette::DrawFace(HDC& dc, int cx, int cy)
{
    if (!EnsureTables())
        return;
    if (!m_fieldReady)
        ComputeFieldTable();
    if (!m_barReady)
        ComputeBarTable();
    const int fieldW = m_fieldRect.Width(), height = m_palletHeight;
    if (HasArea()) {
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
        StretchBlt(dc, 0, 0, fieldW, height, m_tableDC, 0, 20, 360, 180, SRCCOPY);
        const int barX = m_barRect.left - m_rect.left;
        StretchBlt(dc, barX, 0, m_barWidth, height, m_tableDC, kBarColumn, 0, m_barWidth, 200, SRCCOPY);
        GdiFlush();
        MRender::OpaqueGdiPixels(m_cacheBits, cx, cy, CRect(0, 0, fieldW, height));
        MRender::OpaqueGdiPixels(m_cacheBits, cx, cy, CRect(barX, 0, barX + m_barWidth, height));
    }
    MBitsGraphics bits(m_cacheBits, cx, cy);
    if (!bits.ok())
        return;
    Gdiplus::Graphics& g = *bits;
    if (HasArea()) {
        g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
        const Gdiplus::REAL x = static_cast<Gdiplus::REAL>(m_fieldPoint.x - 4 - m_rect.left);
        const Gdiplus::REAL y = static_cast<Gdiplus::REAL>(m_fieldPoint.y - 4 - m_rect.top);
        Gdiplus::Pen light{Gdiplus::Color(kMarkerLight), 1}, shade{Gdiplus::Color(kMarkerShade), 1};
        g.DrawEllipse(&light, x, y, 8.0f, 8.0f);
        g.DrawEllipse(&shade, x + 1, y + 1, 8.0f, 8.0f);
    }
    if (!m_enabled) {
        Gdiplus::SolidBrush cover{Gdiplus::Color(kDisabledCover)};
        g.FillRectangle(&cover, 0, 0, cx, cy);
    }
}

void MPalette::DrawControl(HDC& dc, CRect clip)
{
    MControlFont::DrawControl(dc, clip);
    if (!m_thumb || m_thumbW <= 0 || !HasArea())
        return;
    // The bar marker goes straight onto the window, beside the bar, centred on the
    // saturation's height; kept inside the control's rect.
    const int x = m_barRect.left + m_barWidth;
    const int y = m_rect.top + m_palletHeight * m_saturation / 200 - m_thumbH / 2;
    Gdiplus::Graphics g(dc);
    g.SetClip(Gdiplus::Rect(m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height()));
    g.DrawImage(m_thumb, Gdiplus::Rect(x, y, m_thumbW, m_thumbH), 0, 0, m_thumbW, m_thumbH, Gdiplus::UnitPixel);
}

// ---------------------------------------------------------------- input

void MPalette::TakeFieldPoint(CPoint pt)
{
    const int x = std::min(std::max(static_cast<int>(pt.x), static_cast<int>(m_fieldRect.left)),
                           static_cast<int>(m_fieldRect.right));
    const int y = std::min(std::max(static_cast<int>(pt.y), static_cast<int>(m_fieldRect.top)),
                           static_cast<int>(m_fieldRect.top) + m_palletHeight);
    m_fieldPoint = CPoint(x, y);
    m_hue = (x - m_fieldRect.left) * 360 / m_fieldRect.Width();
    if (m_hue < 1)
        m_hue = 0;
    if (m_hue > 360)
        m_hue = 360;
    m_lightness = std::min(std::max((y - m_fieldRect.top) * 180 / m_palletHeight + 20, 20L), 200L);
    m_barReady = false;
}

void MPalette::TakeBarPoint(CPoint pt)
{
    m_saturation = (pt.y - m_barRect.top) * 200 / m_palletHeight;
    if (m_saturation < 1)
        m_saturation = 0;
    if (m_saturation > 199)
        m_saturation = 200;
}

int MPalette::OnControlLButtonDown(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    m_draggingBar = m_draggingField = false;
    if (!m_rect.PtInRect(pt))
        return 1;
    if (!HasArea())
        return 0;
    if (m_fieldRect.PtInRect(pt)) {
        TakeFieldPoint(pt);
        m_draggingField = true;
    } else if (m_barRect.PtInRect(pt)) {
        TakeBarPoint(pt);
        m_draggingBar = true;
    }
    const unsigned long color = GetSelectColor();
    if (color != m_color) {
        m_color = color;
        SendMessage(MN_COLOR_PICKED, color, 0);
    }
    UpdateControl(1);
    return 1;
}

int MPalette::OnControlMouseMove(UINT flags, CPoint pt)
{
    if (!m_enabled || !HasArea())
        return 0;
    if (m_draggingField && (flags & MK_LBUTTON)) {
        if (!m_fieldRect.PtInRect(pt))
            return 1;
        TakeFieldPoint(pt);
        m_fieldPoint.x = std::min(std::max(m_fieldPoint.x, m_rect.left), m_rect.right);
        m_fieldPoint.y = std::min(std::max(m_fieldPoint.y, m_rect.top), m_rect.top + m_palletHeight);
        UpdateControl(1);
        return 1;
    }
    if (m_draggingBar) {
        TakeBarPoint(pt);
        SendMessage(MN_COLOR_PICKED, 0, 0);
        UpdateControl(1);
        return 1;
    }
    return 0;
}

int MPalette::OnControlLButtonUp(UINT, CPoint)
{
    if (!m_enabled)
        return 0;
    m_draggingBar = m_draggingField = false;
    UpdateControl(1);
    return 1;
}

int MPalette::OnControlScroll(int, UINT, CPoint) { return 1; }
