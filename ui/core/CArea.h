#pragma once
#include <windows.h>
#include <gdiplus.h>

#include "MControl.h"

// A plain rectangle filled with a colour and blended over whatever lies below it. The
// transparency goes linearly from the start edge (top, or left when horizontal) to the
// end edge; with both transparencies 0 the rectangle is opaque, optionally framed.
class ZUNTUI_API CArea : public MControl {
public:
    CArea(MObject* parent, UINT id, CRect rect, int visible, int enabled);


    // Transparencies in percent at the start and end edges; fill colour 0x00BBGGRR.
    void SetTransparent(int fromPercent, int toPercent, DWORD fillColor);
    void SetFrame(int show, Gdiplus::Color frameColor, int reserved = 0);
    // 1 vertical (top to bottom), 0 horizontal (left to right).
    void SetDirection(int direction);
    int GetDirection() const { return m_direction; }
    int GetTransparentFrom() const { return m_from; }
    int GetTransparentTo() const { return m_to; }
    DWORD GetFillColor() const { return m_fillColor; }

protected:
    void DrawFace(HDC& dc, int cx, int cy) override;

private:
    int m_direction = 1;
    int m_from = 80;
    int m_to = 80;
    DWORD m_fillColor = 0xFFFFFF;
    int m_frame = 0;
    Gdiplus::ARGB m_frameColor = 0xFF050505;
};
