#pragma once
#include "MControlFont.h"

// An animated GIF stretched over the control. While running and visible, every 5th
// periodic tick shows the next frame (wrapping after the last). The picture takes part in
// the periodic tick only while it runs (its run-timer flag follows the running state), so
// a stopped picture costs nothing; the owner registers it once with AddMTimer.
// Window thread, except OnControlTimer (periodic tick thread).
class ZUNTUI_API CGifPicture : public MControlFont {
public:
    CGifPicture(MObject* parent, UINT id, CRect rect, int visible, int enabled);

    // Loads the file through the window's image cache and counts its frames; an image
    // without frame dimensions is dropped (no picture). Stops the animation at frame 0.
    int SetImage(const wchar_t* file, int count) override;
    int SetImage(UINT resourceId, CString resourceType, int count) override;

    // Animated images only: shows `frame` and starts (run 1) or stops (0).
    void SetRunState(int run, int frame);
    int IsRun() const { return m_running ? 1 : 0; }
    // 1 when the image has more than one frame.
    int IsAnimate() const { return m_frameCount > 1 ? 1 : 0; }
    int GetCurrentFrame() const { return m_frame; }
    int GetFrameCount() const { return m_frameCount; }
    // Hover mode: entering the control starts the animation from frame 0, leaving stops
    // it at frame 0.
    void SetMouseMoveActive(bool active) { m_hoverMode = active; }

    int OnControlTimer() override;
    int OnControlMouseMove(UINT flags, CPoint pt) override;

protected:
    void DrawFace(HDC& dc, int cx, int cy) override;

private:
    int Adopt(int loaded);

    int m_frameCount = 0;
    int m_frame = 0;
    bool m_running = false;
    int m_tick = 0;
    bool m_hoverMode = false;
    bool m_inside = false;
};
