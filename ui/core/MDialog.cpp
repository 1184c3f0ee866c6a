#include "MDialog.h"

#include <windowsx.h>

#include "Manager.h"

MDialog::MDialog() = default;

MDialog::~MDialog()
{
    // The window must not outlive the object that handles its messages.
    if (m_hwnd && IsWindow(m_hwnd))
        ::DestroyWindow(m_hwnd);
}

// ---------------------------------------------------------------- routing

LRESULT MDialog::OnWindowMessage(UINT msg, WPARAM wparam, LPARAM lparam)
{
    const CPoint pt(GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam));
    const UINT flags = static_cast<UINT>(wparam);
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;
    case UM_CLOSEWINDOW:
        return OnUserCloseWindow(wparam, lparam);
    case WM_CREATE:
        OnCreate(reinterpret_cast<CREATESTRUCTW*>(lparam));
        break;
    case WM_DESTROY:
        OnDestroy();
        break;
    case WM_SIZE:
        OnSize(static_cast<UINT>(wparam), LOWORD(lparam), HIWORD(lparam));
        break;
    case WM_PAINT:
        OnPaint();
        break;
    case WM_CLOSE:
        OnClose();
        break;
    case WM_WINDOWPOSCHANGING:
        OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(lparam));
        break;
    case WM_WINDOWPOSCHANGED:
        OnWindowPosChanged(reinterpret_cast<WINDOWPOS*>(lparam));
        break;
    case WM_NCACTIVATE:
        OnNcActivate(static_cast<int>(wparam));
        break;
    case WM_TIMER:
        OnTimer(static_cast<UINT>(wparam));
        break;
    case WM_MOUSEMOVE:
        OnMouseMove(flags, pt);
        break;
    case WM_MOUSELEAVE:
        OnMouseLeave();
        break;
    case WM_MOUSEHOVER:
        OnMouseHover(flags, pt);
        break;
    case WM_MOUSEWHEEL:
        OnMouseWheel(GET_KEYSTATE_WPARAM(wparam), GET_WHEEL_DELTA_WPARAM(wparam), pt);
        break;
    case WM_LBUTTONDOWN:
        OnLButtonDown(flags, pt);
        break;
    case WM_LBUTTONUP:
        OnLButtonUp(flags, pt);
        break;
    case WM_LBUTTONDBLCLK:
        OnLButtonDblClk(flags, pt);
        break;
    case WM_RBUTTONDOWN:
        OnRButtonDown(flags, pt);
        break;
    case WM_RBUTTONUP:
        OnRButtonUp(flags, pt);
        break;
    case WM_RBUTTONDBLCLK:
        OnRButtonDblClk(flags, pt);
        break;
    case WM_KEYDOWN:
        OnKeyDown(static_cast<UINT>(wparam), LOWORD(lparam), HIWORD(lparam));
        break;
    default:
        break;
    }
    if (LRESULT r = m_pm.OnWindowMessage(msg, wparam, lparam))
        return r;
    return MWindow::OnWindowMessage(msg, wparam, lparam);
}

int MDialog::PreTranslateMessage(MSG* msg) { return m_pm.PreTranslateMessage(msg); }

int MDialog::OnInitDialog()
{
    m_pm.Init(m_hwnd, this);
    GetClientRect(m_client);
    InitUI(m_client);
    return 1;
}

void MDialog::OnDestroyMessage(HWND hwnd)
{
    if (hwnd == m_pm.GetPaintWnd())
        m_pm.DestroyData();
    PostNcDestroy();
}

const wchar_t* MDialog::GetClassName() { return L"MDialog"; }

LRESULT MDialog::OnBaseMessage(UINT id, UINT code, WPARAM wparam, LPARAM lparam)
{
    return OnMessage(id, code, wparam, lparam);
}

LRESULT MDialog::OnControlUpdate(CRect rect, int rebuild, MControl* control)
{
    return m_pm.OnControlUpdate(rect, rebuild, control);
}

// ---------------------------------------------------------------- default handlers

void MDialog::OnMinimize() { ShowWindow(SW_MINIMIZE); }

void MDialog::OnMaximize()
{
    if (!m_hwnd)
        return;
    ShowWindow(IsZoomed(m_hwnd) ? SW_RESTORE : SW_MAXIMIZE);
}

void MDialog::InitUI(CRect) {}
void MDialog::UISize(CRect) {}
LRESULT MDialog::OnMessage(UINT, UINT, WPARAM, LPARAM) { return 0; }

LRESULT MDialog::OnUserCloseWindow(WPARAM wparam, LPARAM lparam)
{
    MWindow::PostMessage(WM_CLOSE, wparam, lparam);
    return 1;
}

int MDialog::OnCreate(CREATESTRUCTW*)
{
    if (!m_hwnd)
        return 1;
    // Borderless: no caption and no sizing frame.
    const DWORD style = GetStyle();
    SetWindowLongPtrW(m_hwnd, GWL_STYLE, static_cast<LONG_PTR>((style & 0xFF3BFFFF) | 0x06000008));
    return 1;
}

void MDialog::OnSize(UINT type, int, int)
{
    if (type == SIZE_MINIMIZED)
        return;
    SetupBackTranslucent();
    GetClientRect(m_client);
    if (m_client.Width() > 1 && m_client.Height() > 1)
        UISize(m_client);
    InvalidateRect(&m_client, FALSE);
}

int MDialog::OnMouseMove(UINT, CPoint) { return 0; }
int MDialog::OnMouseLeave() { return 0; }
int MDialog::OnMouseHover(UINT, CPoint) { return 0; }
int MDialog::OnMouseWheel(UINT, short, CPoint) { return 0; }
int MDialog::OnLButtonDown(UINT, CPoint) { return 0; }
int MDialog::OnLButtonUp(UINT, CPoint) { return 0; }
int MDialog::OnLButtonDblClk(UINT, CPoint) { return 0; }
int MDialog::OnRButtonDown(UINT, CPoint) { return 0; }
int MDialog::OnRButtonUp(UINT, CPoint) { return 0; }
int MDialog::OnRButtonDblClk(UINT, CPoint) { return 0; }
int MDialog::OnKeyDown(UINT, UINT, UINT) { return 0; }
LRESULT MDialog::OnNcHitTest(CPoint) { return 0; }
int MDialog::OnGetMinMaxInfo(MINMAXINFO*) { return 0; }
int MDialog::OnNcCalcSize(int, NCCALCSIZE_PARAMS*) { return 0; }
int MDialog::OnNcActivate(int) { return 0; }
int MDialog::OnWindowPosChanging(WINDOWPOS*) { return 1; }
int MDialog::OnWindowPosChanged(WINDOWPOS*) { return 1; }
int MDialog::OnPaint() { return 0; }
void MDialog::OnTimer(UINT) {}
int MDialog::OnNcPaint() { return 0; }
int MDialog::OnClose() { return 1; }
int MDialog::OnDestroy() { return 0; }
int MDialog::PostNcDestroy() { return 0; }

// ---------------------------------------------------------------- controls and look

MControl* MDialog::CreateControl(const wchar_t* className, UINT id, CRect rect, const wchar_t* title, int visible,
                                 int enabled)
{
    return m_pm.CreateControl(1, static_cast<MObject*>(this), className, id, rect, title, visible, enabled);
}

MControl* MDialog::CreateArea(const wchar_t* className, UINT id, CRect rect, const wchar_t* title, int visible,
                              int enabled)
{
    return m_pm.CreateControl(0, static_cast<MObject*>(this), className, id, rect, title, visible, enabled);
}

void MDialog::AddControl(MControl* control, UINT kind) { m_pm.AddControl(control, kind); }
MControl* MDialog::GetControl(UINT id) { return m_pm.GetControl(id); }
std::vector<MControl*>& MDialog::GetControls() { return m_pm.GetControls(); }
void MDialog::RemoveControl(MControl* control) { m_pm.RemoveControl(control); }
void MDialog::SetFocusControl(MControl* control) { m_pm.SetFocusControl(control); }
int MDialog::LoadBKImage(CString file) { return m_pm.LoadBKImage(file); }
int MDialog::LoadBKImage(UINT resourceId, CString type) { return m_pm.LoadBKImage(resourceId, type); }
void MDialog::SetBackMode(enumBackMode mode, int cornerSize) { m_pm.SetBackMode(mode, cornerSize); }
void MDialog::SetBackColor(DWORD background, DWORD border) { m_pm.SetBackColor(background, border); }
void MDialog::SetScrollResID(UINT vertical, UINT horizontal) { m_pm.SetScrollResID(vertical, horizontal); }
void MDialog::SetLayeredWindow(int layered) { m_pm.SetLayeredWindow(layered); }
void MDialog::EnableWndDrag(int enable) { m_pm.EnableWndDrag(enable); }

void MDialog::SetupBackTranslucent()
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

UINT MDialog::SetMTimer(UINT periodMs) { return m_pm.SetMTimer(periodMs); }
void MDialog::KillMTimer(UINT id) { m_pm.KillMTimer(id); }
void MDialog::SetMessage(CString text, CRect rect, MsgLevel level) { m_pm.SetMessage(text, rect, level); }
void MDialog::SetProgress(int percent, CString text, CRect rect) { m_pm.SetProgress(percent, text, rect); }
void MDialog::SetTooltip(CString text, CRect rect) { m_pm.SetTooltip(text, rect); }
void MDialog::ClearTooltip() { m_pm.ClearTooltip(); }
int MDialog::GetTooltipCtrlID() const { return m_pm.GetTooltipCtrlID(); }

void MDialog::CreateShadow(int show, bool reRegister)
{
    if (!show)
        return;
    MShadow::Initialize(Manager::GetInstance(), reRegister);
    m_pm.GetShadow().Create(&m_pm);
}

int MDialog::SetSize(int size) { return m_pm.GetShadow().SetSize(size); }
int MDialog::SetSharpness(int sharpness) { return m_pm.GetShadow().SetSharpness(sharpness); }
int MDialog::SetDarkness(int darkness) { return m_pm.GetShadow().SetDarkness(darkness); }
int MDialog::SetPosition(int x, int y) { return m_pm.GetShadow().SetPosition(x, y); }
int MDialog::SetShadowColor(COLORREF color) { return m_pm.GetShadow().SetColor(color); }
int MDialog::SetShadowImage(const wchar_t* file, CRect corners) { return m_pm.GetShadow().SetImage(file, corners); }
int MDialog::SetShadowImage(UINT resourceId, CRect corners) { return m_pm.GetShadow().SetImage(resourceId, corners); }
void MDialog::SetShadowShow(int show) { m_pm.GetShadow().SetShow(show); }

void MDialog::DoOK() { MWindow::PostMessage(UM_CLOSEWINDOW, IDOK, 0); }
void MDialog::DoCancel() { MWindow::PostMessage(UM_CLOSEWINDOW, IDCANCEL, 0); }
void MDialog::DoClose() { MWindow::PostMessage(UM_CLOSEWINDOW, IDCANCEL, 0); }
void MDialog::DoYes() { MWindow::PostMessage(UM_CLOSEWINDOW, IDYES, 0); }
void MDialog::DoNo() { MWindow::PostMessage(UM_CLOSEWINDOW, IDNO, 0); }
