// Mouse, keyboard and focus of the paint manager: hit testing, hover, capture, the
// window drag by empty space, the wheel, keys and Tab navigation order.
#include "PaintManager.h"

#include <windowsx.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdlib>

// ---------------------------------------------------------------- mouse

void PaintManager::TrackMouse()
{
    if (m_tracking || !m_hwnd)
        return;
    TRACKMOUSEEVENT tme = {};
    tme.cbSize = sizeof(tme);
    tme.dwFlags = TME_LEAVE | TME_HOVER;
    tme.hwndTrack = m_hwnd;
    tme.dwHoverTime = 400;
    if (TrackMouseEvent(&tme))
        m_tracking = 1;
}

void PaintManager::OnMouseMove(UINT flags, CPoint pt)
{
    TrackMouse();
    MControl* hover = m_hover;
    if (hover && hover->PtInRect(pt) && hover->OnCheckMouseResponse(flags, pt) && m_tracking) {
        hover->OnMouseMove(flags, pt);
        return;
    }
    if (m_tooltipWnd)
        ::SendMessageW(m_tooltipWnd, TTM_ACTIVATE, FALSE, 0);
    if (m_leftPressed && hover)
        return; // moves outside the pressed control are dropped
    if (!m_tracking)
        m_hover = nullptr;
    MControl* next = nullptr;
    {
        MAutoLock guard(m_controlsLock);
        for (size_t i = 0; i < m_controls.size(); ++i) {
            MControl* c = m_controls[i];
            c->OnMouseMove(flags, pt);
            if (i < m_controls.size() && m_controls[i] == c && c->PtInRect(pt) && c->GetRresponse())
                next = c;
        }
    }
    m_hover = next;
}

void PaintManager::OnMouseLeave()
{
    if (m_tooltipWnd)
        ::SendMessageW(m_tooltipWnd, TTM_ACTIVATE, FALSE, 0);
    m_tracking = 0;
    if (!m_leftPressed && m_hover) {
        MControl* hover = m_hover;
        m_hover = nullptr;
        hover->OnMouseMove(0, CPoint(-1, -1));
    }
}

void PaintManager::OnButtonDown(UINT flags, CPoint pt, bool left)
{
    if (left)
        m_leftDblClk = 0;
    else
        m_rightDblClk = 0;
    if (m_focus && m_focus != m_hover) {
        MControl* old = m_focus;
        m_focus = nullptr;
        old->SetControlFocus(0);
    }
    MControl* hover = m_hover;
    if (hover && hover->IsVisible() && hover->GetRresponse() && hover->PtInRect(pt) &&
        hover->OnCheckMouseResponse(flags, pt)) {
        if (left)
            m_leftPressed = 1;
        else
            m_rightPressed = 1;
        if (m_focus != hover)
            SetFocusControl(hover);
        const int handled = left ? hover->OnLButtonDown(flags, pt) : hover->OnRButtonDown(flags, pt);
        hover = m_hover; // the press may have removed it
        if (!m_captured && hover && hover->OnCheckMouseResponse(flags, pt)) {
            SetCapture();
            return;
        }
        if (handled)
            return;
    }
    if (left && m_wndDrag && m_hwnd) {
        // A press that no control claims drags the whole window. The system's move loop
        // runs inside this call; the window may even be destroyed in it (a dialog closed
        // by a timer while being dragged), so nothing of this object is read afterwards
        // unless the window still exists.
        HWND hwnd = m_hwnd;
        ReleaseCapture();
        POINT screen = pt;
        ::ClientToScreen(hwnd, &screen);
        m_inWindowDrag = 1;
        ::SendMessageW(hwnd, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(screen.x, screen.y));
        if (IsWindow(hwnd))
            m_inWindowDrag = 0;
    }
}

void PaintManager::OnButtonUp(UINT flags, CPoint pt, bool left)
{
    ReleaseCapture();
    if (left)
        m_leftPressed = 0;
    else
        m_rightPressed = 0;
    MControl* hover = m_hover;
    if (hover && hover->IsVisible() && hover->GetRresponse()) {
        const CRect rect = hover->GetRect();
        if (left)
            hover->OnLButtonUp(flags, pt);
        else
            hover->OnRButtonUp(flags, pt);
        if (!rect.PtInRect(pt) && m_hover == hover)
            m_hover = nullptr;
    }
}

void PaintManager::OnButtonDblClk(UINT flags, CPoint pt, bool left)
{
    if (left)
        m_leftDblClk = 1;
    else
        m_rightDblClk = 1;
    MControl* hover = m_hover;
    if (hover && hover->IsVisible() && hover->GetRresponse()) {
        const CRect rect = hover->GetRect();
        if (left)
            hover->OnLButtonDblClk(flags, pt);
        else
            hover->OnRButtonDblClk(flags, pt);
        if (!rect.PtInRect(pt) && m_hover == hover)
            m_hover = nullptr;
    }
}

int PaintManager::OnMouseWheel(WPARAM wparam, LPARAM lparam)
{
    POINT p = {GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
    if (m_hwnd)
        ::ScreenToClient(m_hwnd, &p);
    const CPoint pt(p);
    const int notches = GET_WHEEL_DELTA_WPARAM(wparam) / WHEEL_DELTA; // deltas under a notch do nothing
    const UINT down = notches <= 0 ? 1 : 0;
    int handled = 0;
    for (int i = 0; i < std::abs(notches); ++i) {
        int step = m_hover ? m_hover->OnScroll(1, down, pt) : 0;
        if (!step) {
            MAutoLock guard(m_controlsLock);
            for (size_t k = 0; k < m_controls.size() && !step; ++k)
                step = m_controls[k]->OnScroll(1, down, pt);
        }
        if (step)
            handled = 1;
    }
    return handled;
}

void PaintManager::OnKeyDown(UINT key)
{
    const UINT mods = GetKeyModifiers();
    if (m_hover && m_hover->OnKeyDown(key, 1, mods))
        return;
    MAutoLock guard(m_controlsLock);
    for (size_t i = 0; i < m_controls.size(); ++i)
        if (m_controls[i]->OnKeyDown(key, 1, mods))
            return;
}

void PaintManager::OnNcActivate(int active)
{
    m_active = active;
    if (!active) {
        m_tracking = 0;
        ReleaseCapture();
        m_leftDblClk = m_rightDblClk = 0;
        MControl* hover = m_hover;
        const int leftPressed = m_leftPressed;
        m_leftPressed = m_rightPressed = 0;
        m_hover = nullptr;
        if (hover) {
            if (leftPressed)
                hover->OnLButtonUp(0, CPoint(-1, -1));
            else
                hover->OnMouseMove(0, CPoint(-1, -1));
        }
    }
    Invalidate();
}

// ---------------------------------------------------------------- focus

void PaintManager::SetFocusControl(MControl* control)
{
    MControl* old = m_focus;
    m_focus = control;
    if (old && old != control)
        old->SetControlFocus(0);
    if (control && old != control)
        control->SetControlFocus(1);
}

MControl* PaintManager::FindFocusable(bool forward)
{
    MAutoLock guard(m_controlsLock);
    const int n = static_cast<int>(m_controls.size());
    if (n == 0)
        return nullptr;
    int start = -1;
    for (int i = 0; i < n; ++i)
        if (m_controls[static_cast<size_t>(i)] == m_focus)
            start = i;
    auto usable = [](MControl* c) { return c->IsVisible() && c->IsEnabled() && c->IsTabStop(); };
    if (forward) {
        for (int i = start + 1; i < n; ++i)
            if (usable(m_controls[static_cast<size_t>(i)]))
                return m_controls[static_cast<size_t>(i)];
        for (int i = 0; i < n; ++i) // wrap around
            if (usable(m_controls[static_cast<size_t>(i)]))
                return m_controls[static_cast<size_t>(i)];
    } else {
        const int from = start < 0 ? n : start;
        for (int i = from - 1; i >= 0; --i)
            if (usable(m_controls[static_cast<size_t>(i)]))
                return m_controls[static_cast<size_t>(i)];
        for (int i = n - 1; i >= 0; --i)
            if (usable(m_controls[static_cast<size_t>(i)]))
                return m_controls[static_cast<size_t>(i)];
    }
    return nullptr;
}

MControl* PaintManager::GetNextFocusableControl() { return FindFocusable(true); }

MControl* PaintManager::GetPrevFocusableControl() { return FindFocusable(false); }
