#pragma once
#include <windows.h>
#include <gdiplus.h>

#include "UITypes.h"

// How a picture covers its control.
enum enumShowMode {
    SHOWMODE_ALIGN = 0,     // frame unscaled, placed by the control's alignment
    SHOWMODE_TILE = 1,      // frame repeated from the top-left corner, last row and column cut
    SHOWMODE_STRETCH = 2,   // frame stretched over the control
    SHOWMODE_FRAME = 3,     // nine-grid with equal corners
    SHOWMODE_FRAME_MID = 4, // nine-grid with four margins
    SHOWMODE_CUSTOM = 5,    // a part of the image (the custom rect) stretched over the control
};

// The show-mode settings the picture controls share (MPicture, CPhotoFrame,
// CSliderPicture) and the one drawing rule they all use.
struct ZUNTUI_API PictureShowMode {
    enumShowMode mode = SHOWMODE_ALIGN;
    int corner = 4;                            // nine-grid corner of SHOWMODE_FRAME
    int left = 0, top = 0, right = 0, bottom = 0; // margins of SHOWMODE_FRAME_MID
    CRect custom;                              // source part of SHOWMODE_CUSTOM, in image pixels

    // Sets mode and (for SHOWMODE_FRAME only) the corner; 0 when nothing changed.
    int Set(enumShowMode newMode, int newCorner);
    // Sets SHOWMODE_FRAME_MID with the margins; 0 when nothing changed.
    int SetMargins(int l, int t, int r, int b);

    // Draws frame `frame` (frameW x frameH pixels, frames side by side) of `image` into
    // dest. hAlign (0, 1, 2) and vAlign (0, 4, 8) place the frame in SHOWMODE_ALIGN. An
    // image or frame without pixels draws nothing.
    void Draw(Gdiplus::Graphics& g, Gdiplus::Image* image, int frame, int frameW, int frameH, const CRect& dest,
              UINT hAlign, UINT vAlign) const;
};

// An image the control owns (not shared through the window's cache), split into frames.
// Not copyable; the destructor deletes the image.
class ZUNTUI_API OwnedImage {
public:
    OwnedImage() = default;
    ~OwnedImage();
    OwnedImage(const OwnedImage&) = delete;
    OwnedImage& operator=(const OwnedImage&) = delete;

    // Replaces the image by the skin file `file` (relative to the skin folder); the old
    // image is deleted either way. 1 when the new one loaded.
    int LoadFile(const wchar_t* file, int count);
    // The same from a resource: the application's module first, then the toolkit's.
    int LoadResource(UINT id, const wchar_t* type, int count);
    void Reset();

    Gdiplus::Image* image() const { return image_; }
    int frameWidth() const { return frameW_; }
    int frameHeight() const { return frameH_; }
    int count() const { return count_; }

private:
    void Take(Gdiplus::Image* image, int count);
    Gdiplus::Image* image_ = nullptr;
    int frameW_ = 0, frameH_ = 0, count_ = 1;
};
