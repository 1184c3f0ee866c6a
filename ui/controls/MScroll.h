#pragma once
#include "MScrollBar.h"

// The thin skinned scroll bar every panel owns (ids 1 and 2). The thumb spans
// page / range of the track; moving it reports code 8 with the new position. The bar is
// drawn and takes input only while the page is smaller than the range; a range of 0 or
// less, or a track no longer than the thumb, leaves the position at 0. Window thread only.
class ZUNTUI_API MScroll : public MScrollBar {
public:
    MScroll(MObject* parent, UINT id, CRect rect, int visible, bool vertical);

    void InitControl(PaintManager* manager) override;
    int PtInRect(CPoint pt) override;
    void DrawControl(HDC& dc, CRect clip) override;
    void SetControlRect(CRect rect) override;
    int OnControlMouseMove(UINT flags, CPoint pt) override;
    int OnControlLButtonDown(UINT flags, CPoint pt) override;
    int OnControlLButtonUp(UINT flags, CPoint pt) override;
    int SetImage(UINT resourceId, CString resourceType, int count) override;
    int SetImage(const wchar_t* file, int count) override;

    // A zero page or step keeps the old one; a given page is no longer automatic.
    void SetScrollInfo(int range, int position, int page, int step);
    void SetScrollMaxRange(int range) override;
    void SetScrollSize(int page, int step) override;
    void SetScrollCurrentPos(int position) override;
    void SetScrollCurrentPosEx(int position);
    void SetScrollFinalPos();
    // Moves by rows x step, clamped to 0..range; 1 when the position changed.
    int ScrollRow(int rows) override;
    int GetScrollCurrentPos() const override { return m_position; }
    int GetScrollMaxRange() const override { return m_range; }
    int GetScrollPage() const { return m_page; }
    int GetScrollStep() const override { return m_step; }
    int IsChangeing() const { return m_changing; }
    int IsShown() const { return m_shown; }
    int GetThumbState() const { return m_thumbState; }
    CRect GetThumbRect() const { return m_thumb; }
    // Places the thumb for the position (and computes an automatic page).
    void SetRange();
    // The same, mapping the position against range minus the bar length.
    void SetRangeEx();
    // Moves the thumb by delta pixels within the track and reports the new position;
    // returns the distance actually moved.
    int MoveRange(int delta);

protected:
    void DrawFace(HDC& dc, int cx, int cy) override;
    bool m_vertical;
    int m_thumbState = 0;
    int m_overBar = 0;
    int m_shown = 0;
    int m_arrowSize = 0;
    int m_range = 1000;
    int m_position = 0;
    int m_page = 0;
    int m_step = 10;
    CRect m_thumb;
    int m_autoPage = 0;
    int m_changing = 0;
    int m_anchor = -1;

private:
    // Coordinates along the bar's axis.
    int Start() const { return m_vertical ? m_rect.top : m_rect.left; }
    int End() const { return m_vertical ? m_rect.bottom : m_rect.right; }
    int Length() const { return End() - Start(); }
    int Along(CPoint pt) const { return m_vertical ? pt.y : pt.x; }
    int ThumbStart() const { return m_vertical ? m_thumb.top : m_thumb.left; }
    double ThumbLength() const;
    void PlaceThumb(int start, int length);
    void Place(double positionScale);
    void DrawThreePiece(Gdiplus::Graphics& g, int frame, const CRect& dest);
};

class ZUNTUI_API CScrollVertical : public MScroll {
public:
    CScrollVertical(MObject* parent, UINT id, CRect rect, int visible);
};

class ZUNTUI_API CScrollHorizontal : public MScroll {
public:
    CScrollHorizontal(MObject* parent, UINT id, CRect rect, int visible);
};
