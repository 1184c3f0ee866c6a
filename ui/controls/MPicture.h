#pragma once
#include "MControlFont.h"
#include "PictureShowMode.h"

// A picture: frame 0 of its image drawn by the show mode (aligned, tiled, stretched,
// nine-grid, four-margin nine-grid or a custom part stretched). The image is loaded and
// owned by the control, not shared through the window's image cache.
// Window thread only.
class ZUNTUI_API MPicture : public MControlFont {
public:
    MPicture(MObject* parent, UINT id, CRect rect, int visible, int enabled);

    // The skin file (relative to the skin folder) split into `count` frames; the previous
    // image is deleted. Requests a rebuild also when loading fails (the picture is then
    // empty). 1 when the image loaded.
    int SetImage(const wchar_t* file, int count) override;
    // The same from a resource of the application (then of the toolkit).
    int SetImage(UINT resourceId, CString resourceType, int count) override;

    // Returns 0 when nothing changed; the corner counts only for SHOWMODE_FRAME.
    int SetShowMode(enumShowMode mode, int corner);
    // Four-margin nine-grid (sets SHOWMODE_FRAME_MID).
    int SetShowModeMID(int left, int top, int right, int bottom);
    void SetCustomRect(CRect rect);
    enumShowMode GetShowMode() const { return m_show.mode; }

protected:
    void DrawFace(HDC& dc, int cx, int cy) override;
    void AdoptOwnedImage();

    PictureShowMode m_show;
    OwnedImage m_picture;
};
