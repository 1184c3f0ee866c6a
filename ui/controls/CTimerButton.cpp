#include "CTimerButton.h"

#include "MRender.h"
#include "PaintManager.h"

namespace {
const Gdiplus::ARGB kFocusColor = 0xFE4CFF29;
const UINT kEndCheckKey = 1; // window timer key that ends a run on the window's thread
} // namespace

CTimerButton::CTimerButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled)
    : MStateButton(parent, id, rect, title, visible, enabled)
{
    m_hAlign = 1;
    m_runTimer = 1;
    m_changesCursor = false;
}

DWORD CTimerButton::Now() const { return GetTickCount(); }

CString CTimerButton::GetShownTitle()
{
    if (!m_running)
        return m_title;
    const long left = 10 - static_cast<long>((Now() - m_start) / 1000);
    CString text;
    text.Format(L"%s(%lds)", m_title.c_str(), left < 0 ? 0L : left);
    return text;
}

int CTimerButton::SetRun(int run)
{
    if (!m_enabled)
        return IsRunning();
    m_running = run != 0;
    m_lastRedraw = 0;
    m_start = Now();
    if (m_manager) {
        // The periodic tick runs on another thread; a run ends on the window's thread.
        if (m_running)
            m_manager->SetTimer(this, kEndCheckKey, kCheckMs);
        else
            m_manager->KillTimer(this, kEndCheckKey);
    }
    UpdateControl(1);
    return run;
}

void CTimerButton::StopRun()
{
    m_running = false;
    if (m_manager)
        m_manager->KillTimer(this, kEndCheckKey);
    UpdateControl(1);
}

int CTimerButton::OnControlTimer()
{
    if (!m_running || !m_visible)
        return 0;
    const DWORD now = Now();
    if (now - m_lastRedraw >= kRedrawMs)
        UpdateControl(1); // the face sets m_lastRedraw when it is drawn
    if (now - m_start > kRunMs && !(m_manager && m_manager->IsForeignThread())) {
        StopRun();
        SendMessage(MN_CLICKED);
    }
    return 1;
}

int CTimerButton::SetControlFocus(int focus)
{
    if (!m_enabled)
        return 0;
    if ((focus != 0) != (m_focused != 0)) {
        m_focused = focus ? 1 : 0;
        UpdateControl(1);
    }
    return 1;
}

int CTimerButton::OnControlLButtonUp(UINT flags, CPoint pt)
{
    const bool click = m_enabled && m_state == BS_PRESSED && m_rect.PtInRect(pt);
    if (click && m_running)
        StopRun();
    return MStateButton::OnControlLButtonUp(flags, pt);
}

void CTimerButton::DrawSlotFaces(Gdiplus::Graphics& g, int w, int h)
{
    m_lastRedraw = Now();
    const CString title = GetShownTitle();
    Gdiplus::Pen focusPen{Gdiplus::Color(kFocusColor), 1.0f};
    focusPen.SetDashStyle(Gdiplus::DashStyleDot);
    const UINT h0 = m_hAlign, v0 = m_vAlign;
    m_hAlign = 1;
    m_vAlign = 4;
    for (int i = 0; i < 4; ++i) {
        const CRect slot(i * w, 0, (i + 1) * w, h);
        DrawImageState(g, slot, i, m_frameSize);
        if (m_focused)
            g.DrawRectangle(&focusPen, slot.left + 6, 2, w - 12, h - 4);
        CRect text = slot;
        if (i == BS_PRESSED)
            text.OffsetRect(1, 1);
        DrawTitleText(g, title, text, i == BS_DISABLED ? 0xFF808080 : m_textColor);
    }
    m_hAlign = h0;
    m_vAlign = v0;
}
