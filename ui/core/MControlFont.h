#pragma once
#include <windows.h>
#include <gdiplus.h>

#include "MControl.h"

// A control with a title, a font, a text colour, text alignment and a skin image split
// into state frames laid side by side (frame i = image width / count pixels from i x that
// width). With the default four frames: 0 normal, 1 hover, 2 pressed, 3 disabled.
class ZUNTUI_API MControlFont : public MControl {
public:
    MControlFont(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled,
                 int response);
    ~MControlFont() override;

    // ---- overridable, in this order ----
    virtual void SetTextFont(const wchar_t* name);
    virtual void SetTextColor(Gdiplus::Color color);
    // The skin image from a resource of the toolkit's module, split into `count` frames.
    virtual int SetImage(UINT resourceId, CString resourceType, int count);
    // The skin image `file` (relative to the skin folder), split into `count` frames.
    virtual int SetImage(const wchar_t* file, int count);
    virtual void SetControlTitle(const wchar_t* title);
    virtual const wchar_t* GetControlTitle();

    // ---- title and text ----
    void SetTitle(const wchar_t* title);
    const wchar_t* GetTitle() const { return m_title.c_str(); }
    void SetAlignment(UINT h);
    void SetVAlignment(UINT v);
    void SetAlignment(UINT h, UINT v);
    void GetAlignment(UINT& h, UINT& v) const { h = m_hAlign; v = m_vAlign; }
    void SetFont(const wchar_t* name, int size, Gdiplus::FontStyle style);
    const wchar_t* GetFontName() const { return m_fontName.c_str(); }
    void SetFontWidth(int size) { m_fontSize = size; }
    int GetFontWidth() const { return m_fontSize; }
    void SetFontStyle(int style) { m_fontStyle = style; }
    int GetFontStyle() const { return m_fontStyle; }
    void SetTextRenderingHint(Gdiplus::TextRenderingHint hint) { m_renderingHint = hint; }
    Gdiplus::TextRenderingHint GetTextRenderingHint() const { return m_renderingHint; }
    Gdiplus::ARGB GetTextColorValue() const { return m_textColor; }
    // The family of that name from the window's private fonts, or null (no manager).
    Gdiplus::FontFamily* GetFontFamily(const wchar_t* name);
    // A GDI font built once from the default GUI font with the Manager font name.
    HFONT GetGDIFont();
    void ClearGDIFont();

    // ---- image ----
    const wchar_t* GetImagePath() const { return m_imagePath.c_str(); }
    Gdiplus::Image* GetImage() const { return m_image; }
    CSize GetImageSize() const { return CSize(m_frameW, m_frameH); }
    int GetImageCount() const { return m_imageCount; }
    // Counts below 1 count as 1.
    void SetImageCount(int count);

    // Draws image frame `frame` into dest with the nine-grid rule (corner size). Indexes
    // past the last frame draw the last one; a negative index or an image without frames
    // draws nothing. Returns 1 when something was drawn.
    int DrawImageState(Gdiplus::Graphics& g, const CRect& dest, int frame, int corner);
    // Draws a text with this control's font, style, alignment and rendering hint in the
    // given ARGB colour into layout (single-line: no wrap; multi-line: no clip).
    void DrawTitleText(Gdiplus::Graphics& g, const wchar_t* text, const CRect& layout, Gdiplus::ARGB color,
                       int multiLine = 0);

protected:
    // The state-frame face: renders `slots` copies of the face side by side into the face
    // cache (slot i: the background below the control, image frame i as a nine-grid with
    // the corner size, the title centred; frame 3 greys the title, frame 2 shifts it one
    // pixel right and down). Afterwards only the slot of the current state is copied.
    // With a non-empty text rect (relative to the control) the title is centred in that
    // rect, moved along with each slot, instead of in the whole slot.
    void RenderFrameSlots(HDC& dc, int slots, int corner, const CRect& textRect = CRect());
    Gdiplus::SolidBrush* GetTextBrush();

    CString m_title;
    CString m_fontName;
    CString m_imagePath;
    int m_fontSize;
    Gdiplus::ARGB m_textColor = 0xFFFFFFFF;
    Gdiplus::SolidBrush* m_textBrush = nullptr;
    int m_fontStyle = 0;
    Gdiplus::FontFamily* m_fontFamily = nullptr;
    UINT m_hAlign = 0;
    UINT m_vAlign = 4;
    Gdiplus::TextRenderingHint m_renderingHint = Gdiplus::TextRenderingHintClearTypeGridFit;
    HFONT m_gdiFont = nullptr;
    Gdiplus::Image* m_image = nullptr;
    int m_frameW = 0, m_frameH = 0;
    int m_imageCount = 4;
};
