#include "MPopupWnd.h"

MPopupWnd::MPopupWnd() = default;

MPopupWnd::~MPopupWnd()
{
    // The window must not outlive the object that handles its messages.
    if (m_hwnd && IsWindow(m_hwnd))
        ::DestroyWindow(m_hwnd);
}

LRESULT MPopupWnd::OnWindowMessage(UINT msg, WPARAM wparam, LPARAM lparam)
{
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;
    case WM_CREATE:
        if (m_hwnd) {
            // Borderless: no caption and no sizing frame.
            const DWORD style = GetStyle();
            SetWindowLongPtrW(m_hwnd, GWL_STYLE, static_cast<LONG_PTR>((style & 0xFF3BFFFF) | 0x06000008));
        }
        break;
    case WM_NCACTIVATE:
        // Clicking anywhere else closes the pop-up.
        if (!wparam)
            MWindow::PostMessage(WM_CLOSE);
        break;
    case WM_SIZE:
        if (wparam != SIZE_MINIMIZED) {
            CRect client;
            GetClientRect(client);
            if (client.Width() > 1 && client.Height() > 1)
                UISize(client);
        }
        break;
    default:
        break;
    }
    if (LRESULT r = m_pm.OnWindowMessage(msg, wparam, lparam))
        return r;
    return MWindow::OnWindowMessage(msg, wparam, lparam);
}

int MPopupWnd::PreTranslateMessage(MSG* msg) { return m_pm.PreTranslateMessage(msg); }

int MPopupWnd::OnInitDialog()
{
    m_pm.Init(m_hwnd, this);
    m_pm.EnableWndDrag(0);
    CRect client;
    GetClientRect(client);
    InitUI(client);
    return 1;
}

void MPopupWnd::OnDestroyMessage(HWND hwnd)
{
    if (hwnd == m_pm.GetPaintWnd())
        m_pm.DestroyData();
}

const wchar_t* MPopupWnd::GetClassName() { return L"MPopupWnd"; }

LRESULT MPopupWnd::OnBaseMessage(UINT id, UINT code, WPARAM wparam, LPARAM lparam)
{
    return OnMessage(id, code, wparam, lparam);
}

LRESULT MPopupWnd::OnControlUpdate(CRect rect, int rebuild, MControl* control)
{
    return m_pm.OnControlUpdate(rect, rebuild, control);
}

void MPopupWnd::InitUI(CRect) {}
void MPopupWnd::UISize(CRect) {}
LRESULT MPopupWnd::OnMessage(UINT, UINT, WPARAM, LPARAM) { return 0; }

MControl* MPopupWnd::CreateControl(const wchar_t* className, UINT id, CRect rect, const wchar_t* title, int visible,
                                   int enabled)
{
    return m_pm.CreateControl(1, static_cast<MObject*>(this), className, id, rect, title, visible, enabled);
}

MControl* MPopupWnd::CreateArea(const wchar_t* className, UINT id, CRect rect, const wchar_t* title, int visible,
                                int enabled)
{
    return m_pm.CreateControl(0, static_cast<MObject*>(this), className, id, rect, title, visible, enabled);
}

MControl* MPopupWnd::GetControl(UINT id) { return m_pm.GetControl(id); }
int MPopupWnd::LoadBKImage(CString file) { return m_pm.LoadBKImage(file); }
int MPopupWnd::LoadBKImage(UINT resourceId, CString type) { return m_pm.LoadBKImage(resourceId, type); }
void MPopupWnd::SetBackMode(enumBackMode mode, int cornerSize) { m_pm.SetBackMode(mode, cornerSize); }
void MPopupWnd::SetScrollResID(UINT vertical, UINT horizontal) { m_pm.SetScrollResID(vertical, horizontal); }
void MPopupWnd::SetLayeredWindow(int layered) { m_pm.SetLayeredWindow(layered); }

void MPopupWnd::SetupBackTranslucent()
{
    if (!m_hwnd)
        return;
    if (m_alpha != 255) {
        ModifyExStyle(0, WS_EX_LAYERED);
        SetLayeredWindowAttributes(m_hwnd, 0, static_cast<BYTE>(m_alpha), LWA_ALPHA);
    } else if (m_colorKey != 0xFFFFFF) {
        ModifyExStyle(0, WS_EX_LAYERED);
        SetLayeredWindowAttributes(m_hwnd, m_colorKey, 255, LWA_COLORKEY);
    }
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
