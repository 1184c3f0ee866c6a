#pragma once
#include <windows.h>
#include <gdiplus.h>

#include "UITypes.h"

// GDI+ drawing straight into the pixels of a 32-bit bottom-up DIB section, read as
// premultiplied ARGB. Much faster than drawing through the bitmap's device context; call
// GdiFlush before when GDI has just drawn into the bitmap.
class ZUNTUI_API MBitsGraphics {
public:
    MBitsGraphics(BYTE* bits, int w, int h);
    ~MBitsGraphics();
    MBitsGraphics(const MBitsGraphics&) = delete;
    MBitsGraphics& operator=(const MBitsGraphics&) = delete;
    // False when the pixels could not be wrapped (then nothing is drawn).
    bool ok() const { return g_ != nullptr; }
    Gdiplus::Graphics& operator*() { return *g_; }
    Gdiplus::Graphics* operator->() { return g_; }

private:
    Gdiplus::Bitmap* bmp_ = nullptr;
    Gdiplus::Graphics* g_ = nullptr;
};

// The drawing rules every control shares: image loading, nine-grid frames, translucent
// transitions, rounded rectangles, text measuring and a few thin GDI helpers.
class ZUNTUI_API MRender {
public:
    // ---- images ----
    // A GDI+ image from a file; null when it cannot be read or decoded.
    static Gdiplus::Image* LoadImageFromFile(CString path);
    // A GDI+ image from resource `id` of `type` in `module` (the bytes are copied into a
    // global memory block that the image's stream owns); null when missing or undecodable.
    static Gdiplus::Image* LoadImageFromIDResource(UINT id, CString type, HINSTANCE module);
    // Number of frames along the image's first frame dimension (time for an animated GIF);
    // 0 for an image without frame dimensions (such an image is not animated at all).
    static UINT GetFrameCount(Gdiplus::Image* image);
    // Makes frame `frame` (wrapped to the frame count) the one that is drawn; 1 on success.
    static int SelectFrame(Gdiplus::Image* image, UINT frame);
    // The icon the shell associates with a file (index 0); null when there is none.
    static HICON LoadIconFromFile(CString path);

    // ---- nine-grid ----
    // Draws the source rectangle of `image` into `dest` cut into nine pieces with equal
    // corners: corners unscaled, edges stretched along their length, centre stretched.
    static void DrawImageFrame(Gdiplus::Graphics& g, Gdiplus::Image* image, const CRect& dest, int srcX, int srcY,
                               int srcW, int srcH, int corner);
    // The same with separate left, top, right and bottom margins.
    static void DrawImageFrameMID(Gdiplus::Graphics& g, Gdiplus::Image* image, const CRect& dest, int srcX,
                                  int srcY, int srcW, int srcH, int left, int top, int right, int bottom);

    // ---- transitions ----
    // Blends src (srcRect) onto dest (destRect) row by row with a constant alpha going
    // linearly between the two transparencies (percent) from the top to the bottom line.
    static void DrawVerticalTransition(HDC& dest, HDC& src, CRect& destRect, CRect& srcRect, int fromPercent,
                                       int toPercent);
    // The same column by column, from the left to the right.
    static void DrawHorizontalTransition(HDC& dest, HDC& src, CRect& destRect, CRect& srcRect, int fromPercent,
                                         int toPercent);
    // Alpha of line i of n for a transition (exposed for the controls that draw their own).
    static int TransitionAlpha(int i, int n, int fromPercent, int toPercent);

    // ---- rounded rectangles ----
    static void DrawRoundRectange(Gdiplus::Graphics& g, float x, float y, float w, float h, float ratio,
                                  DWORD fillColor);
    static void DrawRoundRectange(Gdiplus::Graphics& g, float x, float y, float w, float h, float ratio,
                                  DWORD penColor, float penWidth, bool fill, DWORD fillColor);

    // ---- text ----
    // Size of a text drawn with the font and format: width the rounded-up path bounds,
    // height the font's line height truncated plus 1 (plus 4 when it has a fraction).
    static CSize GetTextBounds(const Gdiplus::Font& font, const Gdiplus::StringFormat& format, const CString& text);
    static CSize GetTextBounds(const Gdiplus::Font& font, const CString& text);
    // Offset of a text inside a box for the horizontal (0, 1, 2) and vertical (0, 4, 8)
    // alignments; the rect form adds 2 to y.
    static CPoint GetOriginPoint(int w, int h, int textW, int textH, UINT hAlign, UINT vAlign);
    static CPoint GetOriginPoint(const CRect& rect, int textW, int textH, UINT hAlign, UINT vAlign);
    // GDI text with a transparent background; colour 0x00BBGGRR.
    static int DrawTextW(HDC dc, CRect& rect, const wchar_t* text, DWORD color, HFONT font, UINT format);

    // ---- fills and surfaces ----
    // Fills rect with an ARGB colour unless its alpha is 0.
    static void DrawColor(HDC dc, const RECT& rect, DWORD argb);
    // Opaque GDI fill with a 0x00BBGGRR colour.
    static void FillSolidRect(HDC& dc, const RECT& rect, COLORREF color);
    static void FillSolidRect(HDC& dc, int x, int y, int cx, int cy, COLORREF color);
    // Writes an ARGB colour (premultiplied) into the pixels of a 32-bit bottom-up DIB of
    // w x h pixels, clipped to the bitmap: unlike GDI fills this sets the alpha channel.
    static void FillPixels(BYTE* bits, int w, int h, const RECT& rect, DWORD argb);
    // GDI leaves alpha 0 where it draws: within rect, every pixel with alpha 0 whose colour
    // is not black becomes opaque (32-bit bottom-up DIB of w x h pixels).
    static void OpaqueGdiPixels(BYTE* bits, int w, int h, const RECT& rect);
    // A 32-bit bottom-up DIB section; `bits` (optional) receives the pixel pointer.
    static HBITMAP CreateARGB32Bitmap(HDC dc, int w, int h, BYTE** bits);
    static HDC CreateCompatibleDC(HDC dc);
    static HBITMAP CreateCompatibleBitmap(HDC dc, int w, int h);
    static BOOL BitBlt(HDC dest, int x, int y, int w, int h, HDC src, int srcX, int srcY);
    static BOOL BitBlt(HDC dest, int x, int y, int w, int h, HDC src, int srcX, int srcY, DWORD rop);
    // Adds 1 to a colour whose low 24 bits are 0 (pure black is reserved for "no colour").
    static void CheckAlphaColor(DWORD& color);
    // Gradient between two ARGB colours, vertical or horizontal.
    static void DrawGradient(HDC dc, const RECT& rect, DWORD from, DWORD to, bool vertical, int reserved);
    // Writes a bitmap as a 32-bit .bmp file; returns 1 on success.
    static int SaveBitmapToFile(HBITMAP bitmap, CString path);
    // Kept for callers that expect it; draws nothing.
    static void DrawRectangle(HDC& dc, const CRect& rect, int, int, int);

    // GDI+ colour from ARGB and from a 0x00BBGGRR value with a given alpha.
    static Gdiplus::Color ArgbColor(DWORD argb);
    static Gdiplus::Color RefColor(COLORREF color, BYTE alpha);
};
