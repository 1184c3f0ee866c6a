#pragma once
#include "MControlFont.h"

// A text label: the title in one line or wrapped, optionally on a filled back, with a
// one-pixel shadow, an icon (frame 0 of the image) before the text and one highlighted
// substring (the mark text, drawn in the mark colour). Display only: it takes no clicks
// but consumes the wheel. Window thread only.
class ZUNTUI_API MText : public MControlFont {
public:
    MText(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible);

    // A child with id 1 reporting code 8 (its position) makes the label rebuild.
    LRESULT OnBaseMessage(UINT id, UINT code, WPARAM wparam, LPARAM lparam) override;
    int OnControlScroll(int bar, UINT down, CPoint pt) override;

    // Each stores what differs and requests a rebuild; nothing when all are unchanged.
    // A null text counts as empty. `start` is the index in the title from which the mark
    // is searched (clamped to the title when drawn).
    void SetMarkText(const wchar_t* mark);
    void SetMarkText(const wchar_t* mark, Gdiplus::Color color, int start);
    void SetTitleMarkText(const wchar_t* title, const wchar_t* mark, int start);
    void SetMarkText(const wchar_t* title, const wchar_t* mark, Gdiplus::Color color, int start);
    const wchar_t* GetMarkText() const { return m_mark.c_str(); }
    int GetMarkStart() const { return m_markStart; }

    // Fills the whole label with `color` instead of showing what lies below. The colour is
    // taken only when the flag changes; a rebuild is requested in every case.
    void EnableTextBack(int on, Gdiplus::Color color);
    // Store only (take effect at the next rebuild).
    void EnableShadow(int on) { m_shadow = on != 0; }
    void EnableMultiLine(int on) { m_multiLine = on != 0; }
    void EnableVCenter(int on) { m_vCenter = on != 0; }
    void SetShadowColor(Gdiplus::Color color) { m_shadowColor = color.GetValue(); }

protected:
    void DrawFace(HDC& dc, int cx, int cy) override;

private:
    // Draws `text` at layout in `color`, preceded by its shadow when the shadow is on.
    void DrawPart(Gdiplus::Graphics& g, Gdiplus::Font& font, Gdiplus::StringFormat& format, const CString& text,
                  const CRect& layout, Gdiplus::ARGB color);
    // Changes the mark fields that differ; true when something changed.
    bool StoreMark(const wchar_t* title, const wchar_t* mark, const Gdiplus::ARGB* color, const int* start);

    bool m_textBack = false;
    Gdiplus::ARGB m_backColor = 0xFF008000;
    bool m_shadow = false;
    Gdiplus::ARGB m_shadowColor = 0xFF505050;
    CString m_mark;
    Gdiplus::ARGB m_markColor = 0xFFED801B;
    int m_markStart = 0;
    bool m_multiLine = false;
    bool m_vCenter = false;
};
