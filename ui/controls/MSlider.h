#pragma once
#include "MControlFont.h"

// A horizontal slider: a two-part track image (upper half the filled part, lower half the
// empty track), a thumb image of four frames and an optional value text below. Pressing
// or dragging reports code 8 with the new value; the release and a wheel step that
// changed the value report code 2. Window thread only.
class ZUNTUI_API MSlider : public MControlFont {
public:
    MSlider(MObject* parent, UINT id, CRect rect, int visible, int enabled);

    void SetControlRect(CRect rect) override;
    int OnControlMouseMove(UINT flags, CPoint pt) override;
    int OnControlLButtonDown(UINT flags, CPoint pt) override;
    int OnControlLButtonUp(UINT flags, CPoint pt) override;
    int OnControlScroll(int bar, UINT down, CPoint pt) override;
    // The track image, taken whole: frame width the image width, frame height half of it.
    int SetImage(const wchar_t* file, int count) override;
    using MControlFont::SetImage;

    // The thumb image (four frames); the thumb takes the frame size.
    int SetThumbImage(const wchar_t* file);
    // Clamped to the maximum; values below 0 are ignored. No notification. Returns the
    // progress.
    int SetProgress(int progress);
    int GetProgress() const { return m_progress; }
    void SetMinProgress(int minimum) { m_min = minimum; }
    int GetMinProgress() const { return m_min; }
    void SetMaxProgress(int maximum) { m_max = maximum; }
    int GetMaxProgress() const { return m_max; }
    void SetScale(int scale) { m_scale = scale; } // stored only
    int GetScale() const { return m_scale; }
    void SetShowText(int show);
    // Moves the value to the pointer's x; reports code 8 when it changed. Returns 1 then.
    int MoveThumbPos(CPoint pt);

    int GetState() const { return m_state; }
    CRect GetThumbRect() const { return m_thumb; }
    // Thumb offset from the left edge for the current value.
    int GetThumbOffset() const;

protected:
    void DrawFace(HDC& dc, int cx, int cy) override;

private:
    void PlaceThumb();
    void SetState(int state);

    int m_state = 0; // 0 normal, 1 pointer on the thumb, 2 dragging
    int m_progress = 0;
    int m_min = 0, m_max = 10;
    int m_thumbW = 36, m_thumbH = 36;
    int m_scale = 1;
    CRect m_thumb;
    bool m_showText = true;
    Gdiplus::Image* m_thumbImage = nullptr; // owned by the window's image cache
    int m_thumbFrameW = 0, m_thumbFrameH = 0;
};
