#pragma once
#include "MStateButton.h"

// A push button that can run a ten-second countdown: while running its title reads
// "title(Ns)" with the seconds left, and when the ten seconds are over it sends code 2
// as if clicked. A click (code 2) also ends the run. The countdown is redrawn from the
// window's periodic tick (run-timer flag set); the end of the run is always reported on the
// window's thread. Input as the push button without cursor changes.
class ZUNTUI_API CTimerButton : public MStateButton {
public:
    CTimerButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled);

    int OnControlTimer() override;
    int SetControlFocus(int focus) override;
    int OnControlLButtonUp(UINT flags, CPoint pt) override;

    // Starts (1) or stops (0) the countdown; returns `run`. A disabled button keeps its
    // running flag and returns it. Window thread.
    int SetRun(int run);
    int IsRunning() const { return m_running ? 1 : 0; }
    void SetFrameSize(int size) { m_frameSize = size; }
    // The title as drawn now.
    CString GetShownTitle();

    static const DWORD kRunMs = 10000;     // length of a run
    static const DWORD kRedrawMs = 800;    // the countdown is redrawn at most this often
    static const DWORD kCheckMs = 100;     // the window timer that ends a run checks this often

protected:
    void DrawSlotFaces(Gdiplus::Graphics& g, int w, int h) override;
    // Milliseconds since system start (a seam for tests).
    virtual DWORD Now() const;
    void StopRun();

    int m_frameSize = 4;
    DWORD m_start = 0;
    DWORD m_lastRedraw = 0;
    volatile bool m_running = false; // read by the periodic tick on its own thread
};
