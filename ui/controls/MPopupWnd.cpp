#include "MPopupWnd.h"

MPopupWnd::MPopupWnd()
{
    m_colorKey = 0xF1F1F1;
    m_pm.EnableWndDrag(0);
}

const wchar_t* MPopupWnd::GetClassName() { return L"MPopupWnd"; }

int MPopupWnd::OnNcActivate(int active)
{
    if (!active)
        CloseWindow();
    return 0;
}

void MPopupWnd::SetupRegion(int corner)
{
    if (!m_hwnd)
        return;
    if (corner <= 0) {
        SetWindowRgn(m_hwnd, nullptr, TRUE);
        return;
    }
    CRect r;
    GetWindowRect(r);
    // The window owns the region once it is set.
    HRGN region = CreateRoundRectRgn(0, 0, r.Width() + 1, r.Height() + 1, corner, corner);
    if (region && !SetWindowRgn(m_hwnd, region, TRUE))
        DeleteObject(region);
}

LRESULT MPopupWnd::SendMessageToParent(UINT code, WPARAM wparam, LPARAM lparam)
{
    if (!m_parent)
        return 0;
    if (MControl* control = dynamic_cast<MControl*>(m_parent))
        return control->OnMessage(0, code, wparam, lparam);
    return m_parent->OnBaseMessage(0, code, wparam, lparam);
}

void MPopupWnd::CloseWindow() { MWindow::PostMessage(WM_CLOSE); }
