#pragma once
#include "MControlFont.h"
#include "PictureShowMode.h"

// Directions of a CSliderPicture reveal.
enum SLIDER_MODE {
    SLIDER_MODE_LEFT = 1,  // from the left edge to the right
    SLIDER_MODE_TOP = 2,   // from the top edge down
    SLIDER_MODE_RIGHT = 3, // from the right edge to the left
};

// A picture (drawn like MPicture, from the window's image cache) revealed step by step on
// the periodic tick: each tick uncovers 1 % of the width (or height), at least one pixel;
// the part not yet revealed is 0xF2F2F2. When the reveal ends the control hides itself.
// It takes part in the periodic tick only while revealing.
// Window thread, except OnControlTimer (periodic tick thread).
class ZUNTUI_API CSliderPicture : public MControlFont {
public:
    CSliderPicture(MObject* parent, UINT id, CRect rect, int visible, int enabled);

    int SetShowMode(enumShowMode mode, int corner);
    int SetShowModeMID(int left, int top, int right, int bottom);

    // Only when enabled: starts (run 1) a reveal in the given direction from nothing
    // shown, or stops it (0) where it is.
    void SetRun(int run, SLIDER_MODE mode);
    int IsRun() const { return m_running ? 1 : 0; }
    // Pixels revealed so far, and the pixels of the whole reveal.
    int GetRevealPosition() const { return m_position; }
    int GetRevealEnd() const { return m_end; }

    int OnControlTimer() override;

protected:
    void DrawFace(HDC& dc, int cx, int cy) override;

private:
    PictureShowMode m_show;
    bool m_running = false;
    int m_mode = 0; // 0: no reveal yet, the whole picture shows
    int m_position = 0;
    int m_end = 0;
    int m_tick = 0;
    int m_ticksPerStep = 1;
};
