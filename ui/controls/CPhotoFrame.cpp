#include "CPhotoFrame.h"

#include "MRender.h"

namespace {
const int kSlots = 4;
const int kOverlayCorner = 12;
}

CPhotoFrame::CPhotoFrame(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : MControlFont(parent, id, rect, L"", visible, enabled, 1), m_state(enabled ? 0 : 3)
{
}

int CPhotoFrame::SetPhotoFrame(const wchar_t* file, int count)
{
    const int loaded = m_photo.LoadFile(file, count);
    UpdateControl(1);
    return loaded;
}

int CPhotoFrame::SetPhotoFrame(UINT resourceId, CString resourceType, int count)
{
    const int loaded = m_photo.LoadResource(resourceId, resourceType, count);
    UpdateControl(1);
    return loaded;
}

int CPhotoFrame::SetShowMode(enumShowMode mode, int corner)
{
    if (!m_show.Set(mode, corner))
        return 0;
    UpdateControl(1);
    return 1;
}

int CPhotoFrame::SetShowModeMID(int left, int top, int right, int bottom)
{
    if (!m_show.SetMargins(left, top, right, bottom))
        return 0;
    UpdateControl(1);
    return 1;
}

void CPhotoFrame::DrawControl(HDC& dc, CRect)
{
    const int w = m_rect.Width(), h = m_rect.Height();
    if (w <= 0 || h <= 0)
        return;
    if (!m_update) {
        UpdateMemDC(dc, w * kSlots, h);
        if (!m_memDC)
            return;
        CopyBackground(dc);
        GdiFlush();
        {
            MBitsGraphics bits(m_cacheBits, w * kSlots, h);
            if (bits.ok())
                m_show.Draw(*bits, m_photo.image(), 0, m_photo.frameWidth(), m_photo.frameHeight(),
                            CRect(0, 0, w, h), m_hAlign, m_vAlign);
        }
        for (int i = 1; i < kSlots; ++i)
            ::BitBlt(m_memDC, i * w, 0, w, h, m_memDC, 0, 0, SRCCOPY);
        GdiFlush();
        if (m_image) {
            MBitsGraphics bits(m_cacheBits, w * kSlots, h);
            if (bits.ok())
                for (int i = 0; i < 3; ++i)
                    DrawImageState(*bits, CRect(i * w, 0, (i + 1) * w, h), 1, kOverlayCorner);
        }
    }
    BlitCache(dc, m_state * w);
}

void CPhotoFrame::SetState(int state)
{
    if (state == m_state)
        return;
    m_state = state;
    UpdateControl(0);
}

void CPhotoFrame::SetControlEnabled(int enabled)
{
    MControlFont::SetControlEnabled(enabled);
    m_state = enabled ? 0 : 3;
}

int CPhotoFrame::OnControlMouseMove(UINT, CPoint pt)
{
    if (!m_enabled || m_pressed)
        return 0;
    const bool inside = m_rect.PtInRect(pt) != 0;
    SetState(inside ? 1 : 0);
    return inside ? 1 : 0;
}

int CPhotoFrame::OnControlLButtonDown(UINT, CPoint pt)
{
    if (!m_enabled || !m_rect.PtInRect(pt))
        return 0;
    SetState(2);
    SendMessage(MN_PRESSED);
    return 1;
}

int CPhotoFrame::OnControlLButtonUp(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    if (!m_rect.PtInRect(pt)) {
        SetState(0);
        return 0;
    }
    const bool wasPressed = m_state == 2;
    SetState(1);
    if (wasPressed)
        SendMessage(MN_CLICKED);
    return 1;
}
