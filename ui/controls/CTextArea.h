#pragma once
#include "MControlFont.h"

// A filled box with its title centred both ways: opaque fill colour, optionally inside a
// one-pixel frame. Constructed directly (no class name in the factories).
// Window thread only.
class ZUNTUI_API CTextArea : public MControlFont {
public:
    CTextArea(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled);

    // `from` and `to` are kept but do not change the face; fill colour 0x00BBGGRR.
    void SetTransparent(int from, int to, DWORD fillColor);
    void SetFrame(int show, Gdiplus::Color frameColor, int reserved = 0);
    DWORD GetFillColor() const { return m_fillColor; }

protected:
    void DrawFace(HDC& dc, int cx, int cy) override;

private:
    DWORD m_fillColor = 0xFFFFFF;
    int m_from = 80, m_to = 80;
    bool m_frame = false;
    Gdiplus::ARGB m_frameColor = 0xFF050505;
};
