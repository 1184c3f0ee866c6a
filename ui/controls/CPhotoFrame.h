#pragma once
#include "MControlFont.h"
#include "PictureShowMode.h"

// A photo behind a frame overlay that acts as a push button: the photo (owned by the
// control) is drawn by the show mode; the control's own image is the overlay, frame 1 of
// which is drawn as a nine-grid (corner 12) over the normal, hover and pressed slots.
// Code 1 on a press inside, code 2 on a release inside after a press.
// Window thread only.
class ZUNTUI_API CPhotoFrame : public MControlFont {
public:
    CPhotoFrame(MObject* parent, UINT id, CRect rect, int visible, int enabled);

    // The photo: a skin file or an application resource, split into `count` frames (frame
    // 0 is shown). The previous photo is deleted. 1 when loaded.
    int SetPhotoFrame(const wchar_t* file, int count);
    int SetPhotoFrame(UINT resourceId, CString resourceType, int count);
    int SetShowMode(enumShowMode mode, int corner);
    int SetShowModeMID(int left, int top, int right, int bottom);
    // 0 normal, 1 hover, 2 pressed, 3 disabled.
    int GetState() const { return m_state; }

    void DrawControl(HDC& dc, CRect clip) override;
    void SetControlEnabled(int enabled) override;
    int OnControlMouseMove(UINT flags, CPoint pt) override;
    int OnControlLButtonDown(UINT flags, CPoint pt) override;
    int OnControlLButtonUp(UINT flags, CPoint pt) override;

private:
    void SetState(int state);

    PictureShowMode m_show;
    OwnedImage m_photo;
    int m_state = 0;
};
