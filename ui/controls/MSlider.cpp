#include "MSlider.h"

#include <algorithm>
#include <cwchar>

#include "MRender.h"
#include "PaintManager.h"

MSlider::MSlider(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : MControlFont(parent, id, rect, L"", visible, enabled, 1)
{
    m_textColor = 0xFF050505;
    m_hAlign = 1;
    m_vAlign = 4;
    PlaceThumb();
}

int MSlider::GetThumbOffset() const
{
    const int travel = m_rect.Width() - m_thumbW;
    // An empty value range or a slider no wider than its thumb keeps the thumb at the left.
    if (m_max <= m_min || travel <= 0)
        return 0;
    const long long offset = static_cast<long long>(travel) * (m_progress - m_min) / (m_max - m_min);
    return static_cast<int>(std::min<long long>(std::max<long long>(offset, 0), travel));
}

void MSlider::PlaceThumb()
{
    if (m_thumbW == 0 || m_thumbH == 0) {
        m_thumbW = m_thumbFrameW;
        m_thumbH = m_thumbFrameH;
    }
    const int offset = GetThumbOffset();
    m_thumb.SetRect(m_rect.left + offset, m_rect.top, m_rect.left + offset + m_thumbW, m_rect.top + m_thumbH);
}

void MSlider::SetControlRect(CRect rect)
{
    MControlFont::SetControlRect(rect);
    PlaceThumb();
}

int MSlider::SetImage(const wchar_t* file, int)
{
    if (!MControlFont::SetImage(file, 1))
        return 0;
    m_frameW = m_image ? static_cast<int>(m_image->GetWidth()) : 0;
    m_frameH = m_image ? static_cast<int>(m_image->GetHeight()) / 2 : 0;
    return 1;
}

int MSlider::SetThumbImage(const wchar_t* file)
{
    if (!m_manager || !file || !*file)
        return 0;
    ImgResInfo* info = m_manager->AddImgResInfo(file, 4);
    if (!info)
        return 0;
    m_thumbImage = info->image;
    m_thumbFrameW = info->frameWidth;
    m_thumbFrameH = info->frameHeight;
    m_thumbW = m_thumbFrameW;
    m_thumbH = m_thumbFrameH;
    PlaceThumb();
    UpdateControl(1);
    return 1;
}

int MSlider::SetProgress(int progress)
{
    if (progress < 0)
        return m_progress;
    progress = std::min(progress, m_max);
    if (progress != m_progress) {
        m_progress = progress;
        PlaceThumb();
        UpdateControl(1);
    }
    return m_progress;
}

void MSlider::SetShowText(int show)
{
    if (m_showText == (show != 0))
        return;
    m_showText = show != 0;
    UpdateControl(1);
}

int MSlider::MoveThumbPos(CPoint pt)
{
    const int travel = m_rect.Width() - m_thumbW;
    int value = m_min;
    // A slider no wider than its thumb has nowhere to slide: it stays at the minimum.
    if (travel > 0) {
        const long long v = m_min + static_cast<long long>(pt.x - m_rect.left) * (static_cast<long long>(m_max) - m_min + 1) / travel;
        value = static_cast<int>(std::min<long long>(std::max<long long>(v, m_min), std::max(m_max, m_min)));
    }
    if (value == m_progress)
        return 0;
    m_progress = value;
    PlaceThumb();
    UpdateControl(1);
    SendMessage(MN_POSITION, static_cast<WPARAM>(m_progress), 0);
    return 1;
}

void MSlider::SetState(int state)
{
    if (state == m_state)
        return;
    m_state = state;
    UpdateControl(1);
}

int MSlider::OnControlMouseMove(UINT flags, CPoint pt)
{
    if (!m_enabled)
        return 0;
    if (m_state == 2 && (flags & MK_LBUTTON)) {
        MoveThumbPos(pt);
        return 1;
    }
    if (!m_pressed)
        SetState(m_thumb.PtInRect(pt) ? 1 : 0);
    return m_rect.PtInRect(pt) ? 1 : 0;
}

int MSlider::OnControlLButtonDown(UINT, CPoint pt)
{
    if (!m_enabled || !m_rect.PtInRect(pt))
        return 0;
    if (m_thumb.PtInRect(pt)) {
        SetState(2);
        MoveThumbPos(pt);
    } else {
        // The thumb jumps to the pointer and the press goes on as a drag.
        MoveThumbPos(pt);
        if (m_thumb.PtInRect(pt))
            SetState(2);
    }
    return 1;
}

int MSlider::OnControlLButtonUp(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    SetState(m_thumb.PtInRect(pt) ? 1 : 0);
    SendMessage(MN_CLICKED, 0, 0);
    return 1;
}

int MSlider::OnControlScroll(int, UINT down, CPoint)
{
    if (!m_enabled)
        return 1;
    const int lo = std::min(m_min, m_max), hi = std::max(m_min, m_max);
    const int value = std::min(std::max(m_progress + (down == 1 ? -1 : 1), lo), hi);
    if (value != m_progress) {
        SetProgress(value);
        SendMessage(MN_CLICKED, 0, 0);
    }
    return 1;
}

void MSlider::DrawFace(HDC&, int w, int h)
{
    MBitsGraphics bitsGraphics(m_cacheBits, w, h);
    if (!bitsGraphics.ok())
        return;
    Gdiplus::Graphics& g = *bitsGraphics;
    const int offset = GetThumbOffset();
    if (m_image && m_frameW > 0 && m_frameH > 0) {
        g.DrawImage(m_image, Gdiplus::Rect(12, 15, w - 20, m_frameH), 0, m_frameH, m_frameW, m_frameH,
                    Gdiplus::UnitPixel);
        if (m_thumbImage && m_min < m_max) {
            const int filled = std::min(offset + 10, m_frameW);
            g.DrawImage(m_image, Gdiplus::Rect(10, 15, filled, m_frameH), 0, 0, filled, m_frameH,
                        Gdiplus::UnitPixel);
        }
    }
    if (m_thumbImage && m_thumbFrameW > 0 && m_thumbFrameH > 0)
        g.DrawImage(m_thumbImage, Gdiplus::Rect(offset, 0, m_thumbW, m_thumbH), (m_state ? 1 : 0) * m_thumbFrameW, 0,
                    m_thumbFrameW, m_thumbFrameH, Gdiplus::UnitPixel);
    if (m_showText) {
        CString text;
        text.Format(L"%ls%d", m_title.c_str(), m_progress);
        const UINT h0 = m_hAlign, v0 = m_vAlign;
        m_hAlign = 1;
        m_vAlign = 4;
        Gdiplus::TextRenderingHint hint = m_renderingHint;
        m_renderingHint = Gdiplus::TextRenderingHintClearTypeGridFit;
        DrawTitleText(g, text, CRect(0, h - 20, w, h), m_textColor);
        m_renderingHint = hint;
        m_hAlign = h0;
        m_vAlign = v0;
    }
}
