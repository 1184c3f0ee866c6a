#pragma once
#include "MControlFont.h"

// A segmented level meter: one segment per value from the minimum to the maximum, 5
// pixels apart, lit up to the level; a click on a segment picks its value (code 2 with
// the new level). Optionally shows title and level below the segments.
// Window thread only.
class ZUNTUI_API MLevelCtrl : public MControlFont {
public:
    MLevelCtrl(MObject* parent, UINT id, CRect rect, int visible, int enabled);

    // Clamped to minimum..maximum; a rebuild when changed.
    void SetLevelValue(int level);
    int GetLevelValue() const { return m_level; }
    // Store only. A maximum below the minimum shows no segments.
    void SetRangeValue(int minimum, int maximum);
    int GetMinValue() const { return m_min; }
    int GetMaxValue() const { return m_max; }
    void EnableShowText(int show) { m_showText = show != 0; }

    int OnControlLButtonUp(UINT flags, CPoint pt) override;

protected:
    void DrawFace(HDC& dc, int cx, int cy) override;

private:
    // Number of segments and their width for a control width; both 0 when nothing fits.
    void Segments(int width, int& count, int& segmentW) const;

    int m_level = 0;
    int m_min = 0;
    int m_max = 15;
    int m_segmentH = 12;
    bool m_showText = true;
};
