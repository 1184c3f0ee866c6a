#include "MScroll.h"

#include <algorithm>
#include <cmath>

#include "MRender.h"
#include "PaintManager.h"

namespace {
const int kCap = 6; // unstretched end caps of the track and thumb pieces
}

MScroll::MScroll(MObject* parent, UINT id, CRect rect, int visible, bool vertical)
    : MScrollBar(parent, id, rect, visible), m_vertical(vertical)
{
}

CScrollVertical::CScrollVertical(MObject* parent, UINT id, CRect rect, int visible)
    : MScroll(parent, id, rect, visible, true)
{
}

CScrollHorizontal::CScrollHorizontal(MObject* parent, UINT id, CRect rect, int visible)
    : MScroll(parent, id, rect, visible, false)
{
}

void MScroll::InitControl(PaintManager* manager)
{
    if (!manager)
        return;
    const UINT res = m_vertical ? manager->GetScrollVID() : manager->GetScrollHID();
    if (res)
        SetImage(res, L"PNG", 4);
    else
        SetImage(m_vertical ? L"img_scroll_v.png" : L"img_scroll_h.png", 4);
    SetRange();
}

int MScroll::PtInRect(CPoint pt) { return m_shown && MControl::PtInRect(pt) ? 1 : 0; }

// The image is always split in four, side by side for the vertical bar and stacked for
// the horizontal one (the count is not used).
int MScroll::SetImage(UINT resourceId, CString resourceType, int) { return MControlFont::SetImage(resourceId, resourceType, 4); }

int MScroll::SetImage(const wchar_t* file, int) { return MControlFont::SetImage(file, 4); }

void MScroll::SetControlRect(CRect rect)
{
    MControlFont::SetControlRect(rect);
    SetRange();
}

double MScroll::ThumbLength() const
{
    const int track = Length() - 2 * m_arrowSize;
    if (track <= 0 || m_range <= 0)
        return 0.0;
    double len = static_cast<double>(m_page) / m_range * track;
    len = std::max(len, m_arrowSize / 2.0);
    if (len < 100.0)
        len = track - 50 > 100 ? 100.0 : track - 50.0;
    return std::min(std::max(len, 1.0), static_cast<double>(track));
}

void MScroll::PlaceThumb(int start, int length)
{
    if (m_vertical)
        m_thumb.SetRect(m_rect.left, start, m_rect.right, start + length);
    else
        m_thumb.SetRect(start, m_rect.top, start + length, m_rect.bottom);
}

void MScroll::Place(double positionScale)
{
    const CRect oldThumb = m_thumb;
    const int oldShown = m_shown;
    const int length = Length();
    if (m_page == 0) {
        m_page = length;
        if (static_cast<long long>(length) * 10 < m_range)
            m_page = m_range / 10;
        m_autoPage = 1;
    }
    const int track = length - 2 * m_arrowSize;
    if (m_range <= 0)
        m_position = 0; // nothing to scroll over
    if (m_range <= 0 || track <= 0) {
        // A bar without length yet keeps its position for when it is laid out.
        m_shown = 0;
        m_thumb.SetRectEmpty();
    } else {
        const double thumbLen = ThumbLength();
        const int len = static_cast<int>(thumbLen);
        const double span = track - thumbLen;
        if (span <= 0)
            m_position = 0; // the thumb fills the track: there is nowhere to move it
        double start = Start() + m_arrowSize + (positionScale > 0 ? m_position / positionScale * span : 0.0);
        start = std::min(std::max(start, static_cast<double>(Start() + m_arrowSize)),
                         static_cast<double>(End() - m_arrowSize / 2 - m_arrowSize));
        int s = static_cast<int>(start);
        if (s + len > End()) {
            s = End() - len;
            m_position = span > 0 ? static_cast<int>((s - Start() - m_arrowSize) * static_cast<double>(m_range) / span) : 0;
        }
        PlaceThumb(s, len);
        m_shown = m_page < m_range ? 1 : 0;
    }
    if (m_thumb != oldThumb || m_shown != oldShown)
        UpdateControl(1);
}

void MScroll::SetRange() { Place(m_range); }

void MScroll::SetRangeEx() { Place(static_cast<double>(m_range) - Length()); }

void MScroll::SetScrollInfo(int range, int position, int page, int step)
{
    m_range = range;
    m_position = position;
    if (page) {
        m_page = page;
        m_autoPage = 0;
    }
    if (step)
        m_step = step;
    SetRange();
}

void MScroll::SetScrollMaxRange(int range)
{
    m_range = range;
    if (m_autoPage)
        m_page = 0;
    SetRange();
}

void MScroll::SetScrollSize(int page, int step)
{
    if (page) {
        m_page = page;
        m_autoPage = 0;
    }
    if (step)
        m_step = step;
    SetRange();
}

void MScroll::SetScrollCurrentPos(int position)
{
    m_position = std::min(std::max(position, 0), std::max(m_range, 0));
    SetRange();
}

void MScroll::SetScrollCurrentPosEx(int position)
{
    m_position = position;
    SetRangeEx();
}

void MScroll::SetScrollFinalPos()
{
    const int track = Length() - 2 * m_arrowSize;
    const double len = ThumbLength();
    if (track - len > 0)
        m_position = static_cast<int>((Length() - len) * m_range / (track - len));
    SetRange();
}

int MScroll::ScrollRow(int rows)
{
    const int old = m_position;
    m_position = std::min(std::max(m_position + rows * m_step, 0), std::max(m_range, 0));
    SetRange();
    return m_position != old ? 1 : 0;
}

int MScroll::MoveRange(int delta)
{
    const int track = Length() - 2 * m_arrowSize;
    const double thumbLen = ThumbLength();
    const int len = static_cast<int>(thumbLen);
    if (track <= 0 || m_thumb.IsRectEmpty())
        return 0;
    const int old = ThumbStart();
    const int lo = Start() + m_arrowSize, hi = End() - m_arrowSize - len;
    const int target = std::min(std::max(old + delta, lo), std::max(hi, lo));
    const int moved = target - old;
    if (moved == 0)
        return 0;
    PlaceThumb(target, len);
    const double span = track - thumbLen;
    m_position = span > 0 ? static_cast<int>((target - lo) * static_cast<double>(m_range) / span) : 0;
    m_changing = 1;
    UpdateControl(1);
    SendMessage(MN_POSITION, static_cast<WPARAM>(m_position), 0);
    m_changing = 0;
    return moved;
}

int MScroll::OnControlMouseMove(UINT, CPoint pt)
{
    if (!m_shown)
        return 0;
    if (m_thumbState == 2) {
        m_anchor += MoveRange(Along(pt) - m_anchor);
        return 1;
    }
    const int over = m_rect.PtInRect(pt) ? 1 : 0;
    const int state = m_thumb.PtInRect(pt) ? 1 : 0;
    if (over != m_overBar || state != m_thumbState) {
        m_overBar = over;
        m_thumbState = state;
        UpdateControl(1);
    }
    return over;
}

int MScroll::OnControlLButtonDown(UINT, CPoint pt)
{
    if (!m_shown || !m_rect.PtInRect(pt))
        return 0;
    if (m_thumb.PtInRect(pt)) {
        m_thumbState = 2;
        m_anchor = Along(pt);
        UpdateControl(1);
        return 1;
    }
    const int track = Length() - 2 * m_arrowSize;
    const int page = m_range > 0 ? static_cast<int>(static_cast<long long>(track) * m_page / m_range) : 0;
    MoveRange(Along(pt) < ThumbStart() ? -page : page);
    return 1;
}

int MScroll::OnControlLButtonUp(UINT, CPoint pt)
{
    if (!m_shown)
        return 0;
    if (m_thumbState == 2) {
        m_thumbState = m_thumb.PtInRect(pt) ? 1 : 0;
        m_anchor = -1;
        UpdateControl(1);
    }
    return 1;
}

void MScroll::DrawThreePiece(Gdiplus::Graphics& g, int frame, const CRect& dest)
{
    if (!m_image || dest.IsRectEmpty())
        return;
    const int iw = static_cast<int>(m_image->GetWidth()), ih = static_cast<int>(m_image->GetHeight());
    if (m_vertical) {
        const int fw = iw / 4, fh = ih;
        if (fw <= 0 || fh <= 2 * kCap)
            return;
        MRender::DrawImageFrameMID(g, m_image, dest, frame * fw, 0, fw, fh, 0, kCap, 0, kCap);
    } else {
        const int fw = iw, fh = ih / 4;
        if (fh <= 0 || fw <= 2 * kCap)
            return;
        MRender::DrawImageFrameMID(g, m_image, dest, 0, frame * fh, fw, fh, kCap, 0, kCap, 0);
    }
}

void MScroll::DrawControl(HDC& dc, CRect clip)
{
    if (m_shown)
        MControl::DrawControl(dc, clip);
}

void MScroll::DrawFace(HDC&, int w, int h)
{
    MBitsGraphics bitsGraphics(m_cacheBits, w, h);
    if (!m_image || !bitsGraphics.ok())
        return;
    Gdiplus::Graphics& g = *bitsGraphics;
    CRect thumb = m_thumb;
    thumb.OffsetRect(-m_rect.left, -m_rect.top);
    CRect track = m_vertical ? CRect(thumb.left, 0, thumb.right, h) : CRect(0, thumb.top, w, thumb.bottom);
    DrawThreePiece(g, 0, track);
    DrawThreePiece(g, m_thumbState ? 1 : 2, thumb);
}
