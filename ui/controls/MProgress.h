#pragma once
#include "MControlFont.h"

struct ImgResInfo;

// A progress bar in one of three styles: a background and a foreground image stretched
// with left and right margins, the two frames of a skin image (frame 0 the track, frame 1
// the filled part), or a plain line with a filled strip above it. Optionally shows its
// title and value in the middle; running, it advances by itself on the periodic tick
// (marquee). Window thread, except OnControlTimer (periodic tick thread).
class ZUNTUI_API MProgress : public MControlFont {
public:
    MProgress(MObject* parent, UINT id, CRect rect, int visible, int enabled);

    // Only when enabled: values below 0 are ignored, larger ones clamped to the maximum;
    // a rebuild when the value changed. Returns the progress.
    int SetProgress(int progress);
    int GetProgress() const { return m_progress; }
    // A maximum of 0 or below shows no bar.
    void SetMaxProgress(int maximum);
    int GetMaxProgress() const { return m_maximum; }
    // Only when enabled: stores the running flag and, when 0 <= progress <= maximum, the
    // progress; a rebuild when either changed. Returns the running flag. While running
    // the bar takes part in the periodic tick.
    int SetRun(int run, int progress);
    int IsRun() const { return m_running ? 1 : 0; }

    // Skin file (relative to the skin folder) or resource of type "PNG" of the
    // application. 1 when loaded (needs the window).
    int SetBackGroundImage(const wchar_t* file);
    int SetBackGroundImage(UINT resourceId);
    int SetForeGroundImage(const wchar_t* file);
    int SetForeGroundImage(UINT resourceId);
    void EnableShowText(int show);
    void SetMargin(int margin) { m_margin = margin; }
    void SetBarHeight(int height) { m_barHeight = height; }
    void SetColors(Gdiplus::Color line, Gdiplus::Color fill);

    int OnControlTimer() override;

protected:
    void DrawFace(HDC& dc, int cx, int cy) override;

private:
    // Width of the filled part for a total width; 0 with no maximum.
    int FilledWidth(int total) const;
    int StoreImage(ImgResInfo* info, ImgResInfo*& slot);

    int m_progress = 0;
    int m_maximum = 100;
    bool m_running = false;
    int m_tick = 0;
    int m_ticksPerStep = 3;
    int m_margin = 12;
    int m_barHeight = 14;
    Gdiplus::ARGB m_lineColor = 0x64050505;
    Gdiplus::ARGB m_fillColor = 0xFFFFE100;
    ImgResInfo* m_back = nullptr; // owned by the window's image cache
    ImgResInfo* m_fore = nullptr; // owned by the window's image cache
    bool m_showText = false;
};
