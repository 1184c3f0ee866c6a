#pragma once
#include "MControlFont.h"

struct ImgResInfo;

// A colour wheel: the first frame of the skin image stretched over the control, with a
// small ring the user drags over it. The colour picked is the pixel of the window under
// the mouse cursor, read from the window, so it is whatever the wheel picture shows there.
// Only points within kRadius of the centre are taken. Codes: 27 when the ring moved and a
// colour was picked (lparam the colour), 2 on every release (lparam the selected colour).
// Window thread only.
class ZUNTUI_API CirclePalette : public MControlFont {
public:
    CirclePalette(MObject* parent, UINT id, CRect rect, int visible, int enabled);

    // As MControlFont's, without a repaint request.
    int SetImage(UINT resourceId, CString resourceType, int count) override;
    int SetImage(const wchar_t* file, int count) override;
    void SetControlRect(CRect rect) override;
    int OnControlMouseMove(UINT flags, CPoint pt) override;
    int OnControlLButtonDown(UINT flags, CPoint pt) override;
    int OnControlLButtonUp(UINT flags, CPoint pt) override;

    // Moves the ring to `pt` (window coordinates) and picks the colour under the cursor;
    // nothing happens farther than kRadius from the centre or when the ring does not move.
    // Returns 0.
    int MoveThumbPos(CPoint pt);
    // Distance of `pt` from the control's centre, truncated.
    int GetDistanse(CPoint pt);
    unsigned long GetSelectColor() const { return m_selectColor; }
    CRect GetRingRect() const { return m_ringRect; }
    int GetState() const { return m_state; }

    static const int kRadius = 65;

protected:
    void DrawFace(HDC& dc, int cx, int cy) override;

private:
    // The pixel of the window's client area under the mouse cursor; false when it cannot
    // be read (no window, the cursor outside the client area).
    bool ReadPixelUnderCursor(unsigned long& color) const;
    bool TakeImage(ImgResInfo* info);

    int m_state = 0; // 0 idle, 1 over the ring, 2 dragging the ring
    CRect m_ringRect; // 10 x 10 around the picked point, window coordinates
    unsigned long m_selectColor = 255;
    CPoint m_lastPoint;
};
