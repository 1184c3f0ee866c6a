#include "MRender.h"

#include <shellapi.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

// ---------------------------------------------------------------- MBitsGraphics

MBitsGraphics::MBitsGraphics(BYTE* bits, int w, int h)
{
    if (!bits || w <= 0 || h <= 0)
        return;
    const INT stride = w * 4;
    // Bottom-up rows: the first scan line of the picture is the last one in memory.
    bmp_ = new Gdiplus::Bitmap(w, h, -stride, PixelFormat32bppPARGB, bits + static_cast<size_t>(h - 1) * stride);
    if (bmp_->GetLastStatus() != Gdiplus::Ok) {
        delete bmp_;
        bmp_ = nullptr;
        return;
    }
    g_ = new Gdiplus::Graphics(bmp_);
    if (g_->GetLastStatus() != Gdiplus::Ok) {
        delete g_;
        g_ = nullptr;
    }
}

MBitsGraphics::~MBitsGraphics()
{
    if (g_)
        g_->Flush(Gdiplus::FlushIntentionSync);
    delete g_;
    delete bmp_;
}

// ---------------------------------------------------------------- images

Gdiplus::Image* MRender::LoadImageFromFile(CString path)
{
    if (path.IsEmpty() || GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES)
        return nullptr;
    Gdiplus::Image* image = Gdiplus::Image::FromFile(path);
    if (image && image->GetLastStatus() != Gdiplus::Ok) {
        delete image;
        image = nullptr;
    }
    return image;
}

Gdiplus::Image* MRender::LoadImageFromIDResource(UINT id, CString type, HINSTANCE module)
{
    HRSRC res = FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (!res)
        return nullptr;
    DWORD size = SizeofResource(module, res);
    HGLOBAL loaded = LoadResource(module, res);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data || size == 0)
        return nullptr;
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!mem)
        return nullptr;
    void* dst = GlobalLock(mem);
    if (!dst) {
        GlobalFree(mem);
        return nullptr;
    }
    memcpy(dst, data, size);
    GlobalUnlock(mem);
    IStream* stream = nullptr;
    if (CreateStreamOnHGlobal(mem, TRUE, &stream) != S_OK) {
        GlobalFree(mem);
        return nullptr;
    }
    Gdiplus::Image* image = Gdiplus::Image::FromStream(stream);
    stream->Release(); // the image keeps its own reference
    if (image && image->GetLastStatus() != Gdiplus::Ok) {
        delete image;
        image = nullptr;
    }
    return image;
}

UINT MRender::GetFrameCount(Gdiplus::Image* image)
{
    if (!image)
        return 0;
    const UINT dimensions = image->GetFrameDimensionsCount();
    if (dimensions == 0)
        return 0;
    std::vector<GUID> ids(dimensions);
    if (image->GetFrameDimensionsList(ids.data(), dimensions) != Gdiplus::Ok)
        return 0;
    return image->GetFrameCount(&ids[0]);
}

int MRender::SelectFrame(Gdiplus::Image* image, UINT frame)
{
    const UINT count = GetFrameCount(image);
    if (count == 0)
        return 0;
    const UINT dimensions = image->GetFrameDimensionsCount();
    std::vector<GUID> ids(dimensions);
    if (image->GetFrameDimensionsList(ids.data(), dimensions) != Gdiplus::Ok)
        return 0;
    return image->SelectActiveFrame(&ids[0], frame % count) == Gdiplus::Ok ? 1 : 0;
}

HICON MRender::LoadIconFromFile(CString path)
{
    if (path.IsEmpty())
        return nullptr;
    wchar_t buffer[MAX_PATH] = {};
    wcsncpy(buffer, path, MAX_PATH - 1);
    WORD index = 0;
    return ExtractAssociatedIconW(GetModuleHandleW(nullptr), buffer, &index);
}

// ---------------------------------------------------------------- nine-grid

namespace {

void DrawPiece(Gdiplus::Graphics& g, Gdiplus::Image* image, Gdiplus::ImageAttributes* attrs, int dx, int dy, int dw,
               int dh, int sx, int sy, int sw, int sh)
{
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0)
        return;
    g.DrawImage(image, Gdiplus::Rect(dx, dy, dw, dh), sx, sy, sw, sh, Gdiplus::UnitPixel, attrs);
}

} // namespace

void MRender::DrawImageFrame(Gdiplus::Graphics& g, Gdiplus::Image* image, const CRect& dest, int srcX, int srcY,
                             int srcW, int srcH, int corner)
{
    DrawImageFrameMID(g, image, dest, srcX, srcY, srcW, srcH, corner, corner, corner, corner);
}

void MRender::DrawImageFrameMID(Gdiplus::Graphics& g, Gdiplus::Image* image, const CRect& dest, int srcX,
                                int srcY, int srcW, int srcH, int left, int top, int right, int bottom)
{
    if (!image || srcW <= 0 || srcH <= 0 || dest.IsRectEmpty())
        return;
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::max(right, 0);
    bottom = std::max(bottom, 0);
    const int L = dest.left, T = dest.top, R = dest.right, B = dest.bottom;
    const int midW = R - L - left - right, midH = B - T - top - bottom;
    const int srcMidW = srcW - left - right, srcMidH = srcH - top - bottom;
    // Tiles flipped at the pieces' edges, so that stretching never samples the
    // neighbouring frame of the image.
    Gdiplus::ImageAttributes attrs;
    attrs.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
    Gdiplus::ImageAttributes* a = &attrs;

    DrawPiece(g, image, a, L, T, left, top, srcX, srcY, left, top);                                    // top-left
    DrawPiece(g, image, a, L, T + top, left, midH, srcX, srcY + top, left, srcMidH);                   // left edge
    DrawPiece(g, image, a, L, B - bottom, left, bottom, srcX, srcY + srcH - bottom, left, bottom);     // bottom-left
    DrawPiece(g, image, a, L + left, T, midW, top, srcX + left, srcY, srcMidW, top);                   // top edge
    DrawPiece(g, image, a, R - right, T, right, top, srcX + srcW - right, srcY, right, top);           // top-right
    DrawPiece(g, image, a, R - right, T + top, right, midH, srcX + srcW - right, srcY + top, right, srcMidH); // right
    DrawPiece(g, image, a, R - right, B - bottom, right, bottom, srcX + srcW - right, srcY + srcH - bottom, right,
              bottom);                                                                              // bottom-right
    DrawPiece(g, image, a, L + left, B - bottom, midW, bottom, srcX + left, srcY + srcH - bottom, srcMidW,
              bottom);                                                                              // bottom edge
    DrawPiece(g, image, a, L + left, T + top, midW, midH, srcX + left, srcY + top, srcMidW, srcMidH);  // centre
}

// ---------------------------------------------------------------- transitions

int MRender::TransitionAlpha(int i, int n, int fromPercent, int toPercent)
{
    if (n <= 0)
        return 0;
    const int lo = std::min(fromPercent, toPercent), hi = std::max(fromPercent, toPercent);
    const int e = static_cast<int>(255 - lo * 255 / 100.0);
    const int f = static_cast<int>((100 - hi) * 255 / 100.0);
    const double step = static_cast<double>(e - f) / n;
    int alpha = fromPercent < toPercent ? static_cast<int>(e - i * step) : static_cast<int>(f + i * step);
    return alpha & 0xFF;
}

void MRender::DrawVerticalTransition(HDC& dest, HDC& src, CRect& destRect, CRect& srcRect, int fromPercent,
                                     int toPercent)
{
    const int n = destRect.Height(), w = destRect.Width();
    if (n <= 0 || w <= 0 || srcRect.Width() <= 0)
        return;
    BLENDFUNCTION bf = {AC_SRC_OVER, 0, 0, 0};
    for (int i = 0; i < n; ++i) {
        bf.SourceConstantAlpha = static_cast<BYTE>(TransitionAlpha(i, n, fromPercent, toPercent));
        if (bf.SourceConstantAlpha == 0)
            continue;
        ::AlphaBlend(dest, destRect.left, destRect.top + i, w, 1, src, srcRect.left, srcRect.top + i,
                     srcRect.Width(), 1, bf);
    }
}

void MRender::DrawHorizontalTransition(HDC& dest, HDC& src, CRect& destRect, CRect& srcRect, int fromPercent,
                                       int toPercent)
{
    const int n = destRect.Width(), h = destRect.Height();
    if (n <= 0 || h <= 0 || srcRect.Height() <= 0)
        return;
    BLENDFUNCTION bf = {AC_SRC_OVER, 0, 0, 0};
    for (int i = 0; i < n; ++i) {
        bf.SourceConstantAlpha = static_cast<BYTE>(TransitionAlpha(i, n, fromPercent, toPercent));
        if (bf.SourceConstantAlpha == 0)
            continue;
        ::AlphaBlend(dest, destRect.left + i, destRect.top, 1, h, src, srcRect.left + i, srcRect.top, 1,
                     srcRect.Height(), bf);
    }
}

// ---------------------------------------------------------------- rounded rectangles

namespace {

// The outline of a rounded rectangle; false when the size or ratio leaves nothing to draw.
bool RoundPath(Gdiplus::GraphicsPath& path, float x, float y, float w, float h, float ratio)
{
    if (!(w > 0.0f) || !(h > 0.0f) || !(ratio > 0.0f))
        return false;
    float rx = w / ratio / 2.0f, ry = h / ratio / 2.0f;
    if (std::fabs(rx - ry) > 10.0f)
        rx = ry = std::min(rx, ry);
    rx = std::min(rx, w / 2.0f);
    ry = std::min(ry, h / 2.0f);
    if (rx <= 0.0f || ry <= 0.0f) {
        path.AddRectangle(Gdiplus::RectF(x, y, w, h));
        return true;
    }
    path.AddLine(x + rx, y, x + w - rx, y);
    path.AddArc(x + w - 2 * rx, y, 2 * rx, 2 * ry, 270.0f, 90.0f);
    path.AddLine(x + w, y + ry, x + w, y + h - ry);
    path.AddArc(x + w - 2 * rx, y + h - 2 * ry, 2 * rx, 2 * ry, 0.0f, 90.0f);
    path.AddLine(x + w - rx, y + h, x + rx, y + h);
    path.AddArc(x, y + h - 2 * ry, 2 * rx, 2 * ry, 90.0f, 90.0f);
    path.AddLine(x, y + h - ry, x, y + ry);
    path.AddArc(x, y, 2 * rx, 2 * ry, 180.0f, 90.0f);
    path.CloseFigure();
    return true;
}

} // namespace

void MRender::DrawRoundRectange(Gdiplus::Graphics& g, float x, float y, float w, float h, float ratio,
                                DWORD fillColor)
{
    Gdiplus::GraphicsPath path;
    if (!RoundPath(path, x, y, w, h, ratio))
        return;
    Gdiplus::SolidBrush brush(ArgbColor(fillColor));
    g.FillPath(&brush, &path);
}

void MRender::DrawRoundRectange(Gdiplus::Graphics& g, float x, float y, float w, float h, float ratio,
                                DWORD penColor, float penWidth, bool fill, DWORD fillColor)
{
    Gdiplus::GraphicsPath path;
    if (!RoundPath(path, x, y, w, h, ratio))
        return;
    if (fill) {
        Gdiplus::SolidBrush brush(ArgbColor(fillColor));
        g.FillPath(&brush, &path);
    }
    Gdiplus::Pen pen(ArgbColor(penColor), penWidth);
    g.DrawPath(&pen, &path);
}

// ---------------------------------------------------------------- text

CSize MRender::GetTextBounds(const Gdiplus::Font& font, const Gdiplus::StringFormat& format, const CString& text)
{
    Gdiplus::FontFamily family;
    if (font.GetFamily(&family) != Gdiplus::Ok)
        return CSize();
    const INT style = font.GetStyle();
    const float size = font.GetSize();
    int width = 0;
    if (!text.IsEmpty()) {
        Gdiplus::GraphicsPath path;
        path.AddString(text.c_str(), text.GetLength(), &family, style, size, Gdiplus::PointF(0.0f, 0.0f), &format);
        Gdiplus::RectF bounds;
        path.GetBounds(&bounds);
        width = static_cast<int>(std::ceil(bounds.Width));
    }
    const UINT16 em = family.GetEmHeight(style);
    const double line = em ? static_cast<double>(family.GetLineSpacing(style)) * size / em : size;
    const int whole = static_cast<int>(line);
    const int height = whole + (line > whole ? 4 : 1);
    return CSize(width, height);
}

CSize MRender::GetTextBounds(const Gdiplus::Font& font, const CString& text)
{
    Gdiplus::StringFormat format(Gdiplus::StringFormatFlagsNoWrap | Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
    return GetTextBounds(font, format, text);
}

CPoint MRender::GetOriginPoint(int w, int h, int textW, int textH, UINT hAlign, UINT vAlign)
{
    CPoint p;
    p.x = hAlign == 1 ? (w - textW) / 2 : hAlign == 2 ? w - textW : 0;
    p.y = vAlign == 4 ? (h - textH) / 2 : vAlign == 8 ? h - textH : 0;
    return p;
}

CPoint MRender::GetOriginPoint(const CRect& rect, int textW, int textH, UINT hAlign, UINT vAlign)
{
    CPoint p = GetOriginPoint(rect.Width(), rect.Height(), textW, textH, hAlign, vAlign);
    p.y += 2;
    return p;
}

int MRender::DrawTextW(HDC dc, CRect& rect, const wchar_t* text, DWORD color, HFONT font, UINT format)
{
    if (!dc || !text)
        return 0;
    HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
    int oldMode = SetBkMode(dc, TRANSPARENT);
    COLORREF oldColor = ::SetTextColor(dc, color & 0xFFFFFF);
    int result = ::DrawTextW(dc, text, -1, &rect, format);
    ::SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
    if (oldFont)
        SelectObject(dc, oldFont);
    return result;
}

// ---------------------------------------------------------------- fills and surfaces

Gdiplus::Color MRender::ArgbColor(DWORD argb) { return Gdiplus::Color(static_cast<Gdiplus::ARGB>(argb)); }

Gdiplus::Color MRender::RefColor(COLORREF color, BYTE alpha)
{
    return Gdiplus::Color(alpha, GetRValue(color), GetGValue(color), GetBValue(color));
}

void MRender::DrawColor(HDC dc, const RECT& rect, DWORD argb)
{
    if (!dc || (argb >> 24) == 0)
        return;
    Gdiplus::Graphics g(dc);
    Gdiplus::SolidBrush brush(ArgbColor(argb));
    g.FillRectangle(&brush, static_cast<INT>(rect.left), static_cast<INT>(rect.top),
                    static_cast<INT>(rect.right - rect.left), static_cast<INT>(rect.bottom - rect.top));
}

void MRender::FillSolidRect(HDC& dc, const RECT& rect, COLORREF color)
{
    COLORREF old = SetBkColor(dc, color);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    SetBkColor(dc, old);
}

void MRender::FillSolidRect(HDC& dc, int x, int y, int cx, int cy, COLORREF color)
{
    RECT r = {x, y, x + cx, y + cy};
    FillSolidRect(dc, r, color);
}

void MRender::FillPixels(BYTE* bits, int w, int h, const RECT& rect, DWORD argb)
{
    if (!bits)
        return;
    const int l = std::max<int>(rect.left, 0), r = std::min<int>(rect.right, w);
    const int t = std::max<int>(rect.top, 0), b = std::min<int>(rect.bottom, h);
    if (l >= r || t >= b)
        return;
    GdiFlush(); // finish pending GDI output to the bitmap before touching its pixels
    const DWORD a = argb >> 24;
    const DWORD pr = ((argb >> 16) & 0xFF) * a / 255, pg = ((argb >> 8) & 0xFF) * a / 255, pb = (argb & 0xFF) * a / 255;
    const DWORD value = (a << 24) | (pr << 16) | (pg << 8) | pb;
    DWORD* pixels = reinterpret_cast<DWORD*>(bits);
    for (int y = t; y < b; ++y) {
        DWORD* row = pixels + static_cast<size_t>(h - 1 - y) * w; // bottom-up rows
        std::fill(row + l, row + r, value);
    }
}

void MRender::OpaqueGdiPixels(BYTE* bits, int w, int h, const RECT& rect)
{
    if (!bits)
        return;
    const int l = std::max<int>(rect.left, 0), r = std::min<int>(rect.right, w);
    const int t = std::max<int>(rect.top, 0), b = std::min<int>(rect.bottom, h);
    GdiFlush();
    DWORD* px = reinterpret_cast<DWORD*>(bits);
    for (int y = t; y < b; ++y) {
        DWORD* row = px + static_cast<size_t>(h - 1 - y) * w;
        for (int x = l; x < r; ++x)
            if ((row[x] >> 24) == 0 && (row[x] & 0xFFFFFF) != 0)
                row[x] |= 0xFF000000;
    }
}

HBITMAP MRender::CreateARGB32Bitmap(HDC dc, int w, int h, BYTE** bits)
{
    if (bits)
        *bits = nullptr;
    if (w <= 0 || h <= 0)
        return nullptr;
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h; // bottom-up
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (bits)
        *bits = static_cast<BYTE*>(pixels);
    return bmp;
}

HDC MRender::CreateCompatibleDC(HDC dc) { return ::CreateCompatibleDC(dc); }

HBITMAP MRender::CreateCompatibleBitmap(HDC dc, int w, int h) { return ::CreateCompatibleBitmap(dc, w, h); }

BOOL MRender::BitBlt(HDC dest, int x, int y, int w, int h, HDC src, int srcX, int srcY)
{
    return ::BitBlt(dest, x, y, w, h, src, srcX, srcY, SRCCOPY);
}

BOOL MRender::BitBlt(HDC dest, int x, int y, int w, int h, HDC src, int srcX, int srcY, DWORD rop)
{
    return ::BitBlt(dest, x, y, w, h, src, srcX, srcY, rop);
}

void MRender::CheckAlphaColor(DWORD& color)
{
    if ((color & 0xFFFFFF) == 0)
        color += 1;
}

void MRender::DrawGradient(HDC dc, const RECT& rect, DWORD from, DWORD to, bool vertical, int)
{
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    if (!dc || w <= 0 || h <= 0)
        return;
    BYTE* bits = nullptr;
    HBITMAP bmp = CreateARGB32Bitmap(dc, w, h, &bits);
    if (!bmp)
        return;
    HDC mem = ::CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(mem, bmp);
    // Premultiplied pixels computed directly: the gradient runs along the chosen axis.
    const int n = vertical ? h : w;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const int i = vertical ? y : x;
            const double t = n > 1 ? static_cast<double>(i) / (n - 1) : 0.0;
            auto lerp = [t](DWORD a, DWORD b, int shift) {
                const double va = (a >> shift) & 0xFF, vb = (b >> shift) & 0xFF;
                return va + (vb - va) * t;
            };
            const double a = lerp(from, to, 24);
            const BYTE alpha = static_cast<BYTE>(a + 0.5);
            const BYTE r = static_cast<BYTE>(lerp(from, to, 16) * a / 255.0 + 0.5);
            const BYTE g = static_cast<BYTE>(lerp(from, to, 8) * a / 255.0 + 0.5);
            const BYTE b = static_cast<BYTE>(lerp(from, to, 0) * a / 255.0 + 0.5);
            BYTE* p = bits + (static_cast<size_t>(h - 1 - y) * w + x) * 4; // bottom-up rows
            p[0] = b;
            p[1] = g;
            p[2] = r;
            p[3] = alpha;
        }
    }
    BLENDFUNCTION bf = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ::AlphaBlend(dc, rect.left, rect.top, w, h, mem, 0, 0, w, h, bf);
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(bmp);
}

int MRender::SaveBitmapToFile(HBITMAP bitmap, CString path)
{
    BITMAP info = {};
    if (!bitmap || !GetObjectW(bitmap, sizeof(info), &info) || info.bmWidth <= 0 || info.bmHeight <= 0)
        return 0;
    BITMAPINFOHEADER bih = {};
    bih.biSize = sizeof(bih);
    bih.biWidth = info.bmWidth;
    bih.biHeight = info.bmHeight;
    bih.biPlanes = 1;
    bih.biBitCount = 32;
    bih.biCompression = BI_RGB;
    const size_t bytes = static_cast<size_t>(info.bmWidth) * info.bmHeight * 4;
    std::vector<BYTE> pixels(bytes);
    HDC dc = GetDC(nullptr);
    int rows = GetDIBits(dc, bitmap, 0, static_cast<UINT>(info.bmHeight), pixels.data(),
                         reinterpret_cast<BITMAPINFO*>(&bih), DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    if (rows != info.bmHeight)
        return 0;
    BITMAPFILEHEADER bfh = {};
    bfh.bfType = 0x4D42; // "BM"
    bfh.bfOffBits = sizeof(bfh) + sizeof(bih);
    bfh.bfSize = static_cast<DWORD>(bfh.bfOffBits + bytes);
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    DWORD written = 0;
    bool ok = WriteFile(file, &bfh, sizeof(bfh), &written, nullptr) && written == sizeof(bfh);
    ok = ok && WriteFile(file, &bih, sizeof(bih), &written, nullptr) && written == sizeof(bih);
    ok = ok && WriteFile(file, pixels.data(), static_cast<DWORD>(bytes), &written, nullptr) && written == bytes;
    CloseHandle(file);
    if (!ok)
        DeleteFileW(path);
    return ok ? 1 : 0;
}

void MRender::DrawRectangle(HDC&, const CRect&, int, int, int) {}
