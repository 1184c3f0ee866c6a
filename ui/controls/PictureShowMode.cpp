#include "PictureShowMode.h"

#include <algorithm>

#include "MRender.h"
#include "Manager.h"

int PictureShowMode::Set(enumShowMode newMode, int newCorner)
{
    const bool cornerCounts = newMode == SHOWMODE_FRAME;
    if (newMode == mode && (!cornerCounts || newCorner == corner))
        return 0;
    mode = newMode;
    if (cornerCounts)
        corner = newCorner;
    return 1;
}

int PictureShowMode::SetMargins(int l, int t, int r, int b)
{
    if (mode == SHOWMODE_FRAME_MID && l == left && t == top && r == right && b == bottom)
        return 0;
    mode = SHOWMODE_FRAME_MID;
    left = l;
    top = t;
    right = r;
    bottom = b;
    return 1;
}

void PictureShowMode::Draw(Gdiplus::Graphics& g, Gdiplus::Image* image, int frame, int frameW, int frameH,
                           const CRect& dest, UINT hAlign, UINT vAlign) const
{
    if (!image || frameW <= 0 || frameH <= 0 || dest.IsRectEmpty())
        return;
    const int srcX = std::max(frame, 0) * frameW;
    const int w = dest.Width(), h = dest.Height();
    switch (mode) {
    case SHOWMODE_ALIGN: {
        const int x = hAlign == 1 ? (w - frameW) / 2 : hAlign == 2 ? w - frameW : 0;
        const int y = vAlign == 4 ? (h - frameH) / 2 : vAlign == 8 ? h - frameH : 0;
        g.DrawImage(image, Gdiplus::Rect(dest.left + x, dest.top + y, frameW, frameH), srcX, 0, frameW, frameH,
                    Gdiplus::UnitPixel);
        break;
    }
    case SHOWMODE_TILE:
        // Rows and columns of whole frames; the last ones are cut to the control.
        for (int y = 0; y < h; y += frameH) {
            const int th = std::min(frameH, h - y);
            for (int x = 0; x < w; x += frameW) {
                const int tw = std::min(frameW, w - x);
                g.DrawImage(image, Gdiplus::Rect(dest.left + x, dest.top + y, tw, th), srcX, 0, tw, th,
                            Gdiplus::UnitPixel);
            }
        }
        break;
    case SHOWMODE_STRETCH:
        MRender::DrawImageFrameMID(g, image, dest, srcX, 0, frameW, frameH, 0, 0, 0, 0);
        break;
    case SHOWMODE_FRAME:
        MRender::DrawImageFrame(g, image, dest, srcX, 0, frameW, frameH, corner);
        break;
    case SHOWMODE_FRAME_MID:
        MRender::DrawImageFrameMID(g, image, dest, srcX, 0, frameW, frameH, left, top, right, bottom);
        break;
    case SHOWMODE_CUSTOM:
        if (!custom.IsRectEmpty())
            MRender::DrawImageFrameMID(g, image, dest, custom.left, custom.top, custom.Width(), custom.Height(), 0,
                                       0, 0, 0);
        break;
    }
}

// ---------------------------------------------------------------- OwnedImage

OwnedImage::~OwnedImage() { Reset(); }

void OwnedImage::Reset()
{
    delete image_;
    image_ = nullptr;
    frameW_ = frameH_ = 0;
    count_ = 1;
}

void OwnedImage::Take(Gdiplus::Image* image, int count)
{
    Reset();
    if (!image)
        return;
    image_ = image;
    count_ = std::max(count, 1);
    frameW_ = static_cast<int>(image->GetWidth()) / count_;
    frameH_ = static_cast<int>(image->GetHeight());
}

int OwnedImage::LoadFile(const wchar_t* file, int count)
{
    Take(file && *file ? MRender::LoadImageFromFile(CString(Manager::GetSkinFolder() + file)) : nullptr, count);
    return image_ ? 1 : 0;
}

int OwnedImage::LoadResource(UINT id, const wchar_t* type, int count)
{
    Gdiplus::Image* image = MRender::LoadImageFromIDResource(id, CString(type), Manager::GetInstance());
    if (!image)
        image = MRender::LoadImageFromIDResource(id, CString(type), Manager::GetLibraryInstance());
    Take(image, count);
    return image_ ? 1 : 0;
}
