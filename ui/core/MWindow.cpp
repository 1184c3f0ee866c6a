#include "MWindow.h"

#include "Manager.h"

namespace {
const wchar_t kControlProp[] = L"Control";
}

MWindow::MWindow() : m_prevProc(DefWindowProcW) {}

MWindow::~MWindow()
{
    // A window that outlives its object must not reach it any more.
    if (m_hwnd && IsWindow(m_hwnd)) {
        if (GetPropW(m_hwnd, kControlProp) == this)
            RemovePropW(m_hwnd, kControlProp);
        else if (reinterpret_cast<MWindow*>(GetWindowLongPtrW(m_hwnd, GWLP_USERDATA)) == this)
            SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
    }
}

const wchar_t* MWindow::GetWindowClassName() { return L"ZuntClient"; }

const wchar_t* MWindow::GetSuperClassName() { return nullptr; }

void MWindow::ShowWindow(int cmdShow)
{
    if (m_hwnd)
        ::ShowWindow(m_hwnd, cmdShow);
}

LRESULT MWindow::OnWindowMessage(UINT msg, WPARAM wparam, LPARAM lparam)
{
    return CallWindowProcW(m_prevProc, m_hwnd, msg, wparam, lparam);
}

int MWindow::PreTranslateMessage(MSG*) { return 0; }

int MWindow::OnInitDialog() { return 1; }

void MWindow::OnDestroyMessage(HWND) {}

// ---------------------------------------------------------------- creation and routing

bool MWindow::RegisterWindowClass()
{
    HINSTANCE instance = Manager::GetInstance() ? Manager::GetInstance() : GetModuleHandleW(nullptr);
    const wchar_t* name = GetWindowClassName();
    if (!name || !*name)
        return false;
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    if (const wchar_t* super = GetSuperClassName()) {
        if (!GetClassInfoExW(nullptr, super, &wc) && !GetClassInfoExW(instance, super, &wc))
            return false;
        m_prevProc = wc.lpfnWndProc;
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = SubclassProc;
        wc.hInstance = instance;
        wc.lpszClassName = name;
        wc.lpszMenuName = nullptr;
    } else {
        wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
        wc.lpfnWndProc = WndProc;
        wc.hInstance = instance;
        wc.lpszClassName = name;
    }
    if (RegisterClassExW(&wc))
        return true;
    return GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND MWindow::Create(HWND parent, const wchar_t* name, DWORD style, DWORD exStyle, CRect rect, HMENU menu)
{
    if (m_hwnd && IsWindow(m_hwnd))
        return m_hwnd;
    m_parentHwnd = parent;
    if (!RegisterWindowClass())
        return nullptr;
    HINSTANCE instance = Manager::GetInstance() ? Manager::GetInstance() : GetModuleHandleW(nullptr);
    HWND hwnd = CreateWindowExW(exStyle, GetWindowClassName(), name, style, rect.left, rect.top, rect.Width(),
                                rect.Height(), parent, menu, instance, this);
    if (!hwnd)
        return nullptr;
    OnInitDialog();
    return hwnd;
}

HWND MWindow::Create(HWND parent) { return Create(parent, L"ZuntClient", 0x80B, 0, CRect(0, 0, 800, 600)); }

HWND MWindow::Create(HWND parent, CRect rect) { return Create(parent, L"ZuntClient", 0x80B, 0, rect); }

MWindow* MWindow::FromHandle(HWND hwnd)
{
    if (!hwnd || !IsWindow(hwnd))
        return nullptr;
    if (auto* self = static_cast<MWindow*>(GetPropW(hwnd, kControlProp)))
        return self;
    // The class procedure: a window of ours may be subclassed further (the drop shadow).
    if (reinterpret_cast<WNDPROC>(GetClassLongPtrW(hwnd, GCLP_WNDPROC)) == WndProc)
        return reinterpret_cast<MWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    return nullptr;
}

LRESULT MWindow::Route(MWindow* self, HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam, bool property)
{
    if (msg == WM_NCDESTROY) {
        LRESULT r = CallWindowProcW(self->m_prevProc, hwnd, msg, wparam, lparam);
        if (property)
            RemovePropW(hwnd, kControlProp);
        else
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->m_hwnd = nullptr;
        self->OnDestroyMessage(hwnd); // the object may delete itself here
        return r;
    }
    return self->OnWindowMessage(msg, wparam, lparam);
}

LRESULT CALLBACK MWindow::WndProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)
{
    MWindow* self = nullptr;
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lparam);
        self = static_cast<MWindow*>(cs->lpCreateParams);
        if (self) {
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
            self->m_hwnd = hwnd;
        }
    } else {
        self = reinterpret_cast<MWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self)
        return DefWindowProcW(hwnd, msg, wparam, lparam);
    return Route(self, hwnd, msg, wparam, lparam, false);
}

LRESULT CALLBACK MWindow::SubclassProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)
{
    MWindow* self = nullptr;
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lparam);
        self = static_cast<MWindow*>(cs->lpCreateParams);
        if (self) {
            SetPropW(hwnd, kControlProp, self);
            self->m_hwnd = hwnd;
        }
    } else {
        self = static_cast<MWindow*>(GetPropW(hwnd, kControlProp));
    }
    if (!self)
        return DefWindowProcW(hwnd, msg, wparam, lparam);
    return Route(self, hwnd, msg, wparam, lparam, true);
}

// ---------------------------------------------------------------- modal loop

UINT MWindow::ShowModal(int show)
{
    HWND hwnd = m_hwnd;
    if (!hwnd || !IsWindow(hwnd))
        return 0xFFFFFFFF;
    HWND owner = GetWindow(hwnd, GW_OWNER);
    if (!owner)
        owner = m_parentHwnd;
    if (owner && IsWindow(owner))
        ::EnableWindow(owner, FALSE);
    ::ShowWindow(hwnd, show);

    // From here on only locals are read unless the window is still linked to this object:
    // a window may destroy itself, and some delete their object with it.
    auto alive = [hwnd, this] { return IsWindow(hwnd) && FromHandle(hwnd) == this; };
    UINT result = 0;
    bool quit = false;
    WPARAM quitCode = 0;
    MSG msg = {};
    while (IsWindow(hwnd)) {
        BOOL r = GetMessageW(&msg, nullptr, 0, 0);
        if (r == 0) {
            quit = true;
            quitCode = msg.wParam;
            break;
        }
        if (r == -1)
            break;
        if (Manager::PreTranslateMessage(&msg))
            continue; // Alt+F4 does not close windows
        if (msg.message == WM_CLOSE && msg.hwnd == hwnd) {
            result = static_cast<UINT>(msg.wParam);
            if (owner && IsWindow(owner)) {
                ::EnableWindow(owner, TRUE);
                ::SetFocus(owner);
            }
        }
        if (alive() && PreTranslateMessage(&msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (owner && IsWindow(owner)) {
        ::EnableWindow(owner, TRUE);
        ::SetFocus(owner);
    }
    if (quit)
        PostQuitMessage(static_cast<int>(quitCode));
    return result;
}

BOOL MWindow::DestroyWindow() { return m_hwnd ? ::DestroyWindow(m_hwnd) : FALSE; }

void MWindow::CenterWindow(MWindow* reference)
{
    HWND hwnd = m_hwnd;
    if (!hwnd)
        return;
    const DWORD style = GetStyle();
    HWND ref = reference ? reference->m_hwnd : (style & WS_CHILD) ? GetParent(hwnd) : GetWindow(hwnd, GW_OWNER);
    CRect wr;
    ::GetWindowRect(hwnd, &wr);
    const int w = wr.Width(), h = wr.Height();
    const UINT flags = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
    if (style & WS_CHILD) {
        HWND parent = GetParent(hwnd);
        if (!parent)
            return;
        CRect pc;
        ::GetClientRect(parent, &pc);
        ::SetWindowPos(hwnd, nullptr, (pc.Width() - w) / 2, (pc.Height() - h) / 2, 0, 0, flags);
        return;
    }
    MONITORINFO mi = {};
    mi.cbSize = sizeof(mi);
    GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &mi);
    const CRect work(mi.rcWork);
    CRect centre = work;
    if (ref && IsWindow(ref)) {
        const LONG_PTR rs = GetWindowLongPtrW(ref, GWL_STYLE);
        if ((rs & WS_VISIBLE) && !(rs & WS_MINIMIZE))
            ::GetWindowRect(ref, &centre);
    }
    int x = centre.left + (centre.Width() - w) / 2;
    int y = centre.top + (centre.Height() - h) / 2;
    if (x + w > work.right) x = work.right - w;
    if (y + h > work.bottom) y = work.bottom - h;
    if (x < work.left) x = work.left;
    if (y < work.top) y = work.top;
    ::SetWindowPos(hwnd, nullptr, x, y, 0, 0, flags);
}

void MWindow::BringToTop()
{
    if (!m_hwnd)
        return;
    HWND foreground = GetForegroundWindow();
    const DWORD me = GetCurrentThreadId();
    const DWORD other = foreground ? GetWindowThreadProcessId(foreground, nullptr) : me;
    const bool attach = other != me && AttachThreadInput(me, other, TRUE);
    AllowSetForegroundWindow(ASFW_ANY);
    SetForegroundWindow(m_hwnd);
    if (attach)
        AttachThreadInput(me, other, FALSE);
    ::ShowWindow(m_hwnd, ::IsIconic(m_hwnd) ? SW_RESTORE : SW_SHOW);
}

void MWindow::SetIcon(UINT resourceId)
{
    if (!m_hwnd)
        return;
    HINSTANCE instance = Manager::GetInstance() ? Manager::GetInstance() : GetModuleHandleW(nullptr);
    HICON big = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(resourceId), IMAGE_ICON,
                                              GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
    HICON smallIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(resourceId), IMAGE_ICON,
                                                GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    if (big)
        ::SendMessageW(m_hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    if (smallIcon)
        ::SendMessageW(m_hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
}

// ---------------------------------------------------------------- thin wrappers

DWORD MWindow::GetStyle() const { return m_hwnd ? static_cast<DWORD>(GetWindowLongPtrW(m_hwnd, GWL_STYLE)) : 0; }

DWORD MWindow::GetExStyle() const
{
    return m_hwnd ? static_cast<DWORD>(GetWindowLongPtrW(m_hwnd, GWL_EXSTYLE)) : 0;
}

BOOL MWindow::ModifyStyle(DWORD remove, DWORD add)
{
    if (!m_hwnd)
        return FALSE;
    const DWORD style = GetStyle();
    const DWORD next = (style & ~remove) | add;
    if (next == style)
        return FALSE;
    SetWindowLongPtrW(m_hwnd, GWL_STYLE, static_cast<LONG_PTR>(next));
    return TRUE;
}

BOOL MWindow::ModifyExStyle(DWORD remove, DWORD add)
{
    if (!m_hwnd)
        return FALSE;
    const DWORD style = GetExStyle();
    const DWORD next = (style & ~remove) | add;
    if (next == style)
        return FALSE;
    SetWindowLongPtrW(m_hwnd, GWL_EXSTYLE, static_cast<LONG_PTR>(next));
    return TRUE;
}

BOOL MWindow::GetClientRect(CRect& rect) const
{
    if (!m_hwnd) {
        rect.SetRectEmpty();
        return FALSE;
    }
    return ::GetClientRect(m_hwnd, &rect);
}

BOOL MWindow::GetWindowRect(CRect& rect) const
{
    if (!m_hwnd) {
        rect.SetRectEmpty();
        return FALSE;
    }
    return ::GetWindowRect(m_hwnd, &rect);
}

BOOL MWindow::SetWindowText(const wchar_t* text) { return m_hwnd ? ::SetWindowTextW(m_hwnd, text) : FALSE; }

CString MWindow::GetWindowText() const
{
    if (!m_hwnd)
        return CString();
    const int n = ::GetWindowTextLengthW(m_hwnd);
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    const int got = ::GetWindowTextW(m_hwnd, &text[0], n + 1);
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    return CString(text);
}

int MWindow::GetWindowTextLength() const { return m_hwnd ? ::GetWindowTextLengthW(m_hwnd) : 0; }
BOOL MWindow::EnableWindow(BOOL enable) { return m_hwnd ? ::EnableWindow(m_hwnd, enable) : FALSE; }
BOOL MWindow::IsWindowEnabled() const { return m_hwnd ? ::IsWindowEnabled(m_hwnd) : FALSE; }
BOOL MWindow::IsWindowVisible() const { return m_hwnd ? ::IsWindowVisible(m_hwnd) : FALSE; }
BOOL MWindow::IsIconic() const { return m_hwnd ? ::IsIconic(m_hwnd) : FALSE; }
BOOL MWindow::InvalidateRect(const RECT* rect, BOOL erase) { return m_hwnd ? ::InvalidateRect(m_hwnd, rect, erase) : FALSE; }
HWND MWindow::SetCapture() { return m_hwnd ? ::SetCapture(m_hwnd) : nullptr; }
BOOL MWindow::ReleaseCapture() { return m_hwnd ? ::ReleaseCapture() : FALSE; }
HWND MWindow::SetFocus() { return m_hwnd ? ::SetFocus(m_hwnd) : nullptr; }
UINT_PTR MWindow::SetTimer(UINT_PTR id, UINT elapse) { return m_hwnd ? ::SetTimer(m_hwnd, id, elapse, nullptr) : 0; }
BOOL MWindow::KillTimer(UINT_PTR id) { return m_hwnd ? ::KillTimer(m_hwnd, id) : FALSE; }
BOOL MWindow::ClientToScreen(POINT* pt) const { return m_hwnd ? ::ClientToScreen(m_hwnd, pt) : FALSE; }
BOOL MWindow::ScreenToClient(POINT* pt) const { return m_hwnd ? ::ScreenToClient(m_hwnd, pt) : FALSE; }

BOOL MWindow::SetWindowPos(HWND after, int x, int y, int cx, int cy, UINT flags)
{
    return m_hwnd ? ::SetWindowPos(m_hwnd, after, x, y, cx, cy, flags) : FALSE;
}

BOOL MWindow::MoveWindow(int x, int y, int cx, int cy, BOOL repaint)
{
    return m_hwnd ? ::MoveWindow(m_hwnd, x, y, cx, cy, repaint) : FALSE;
}

LRESULT MWindow::SendMessage(UINT msg, WPARAM wparam, LPARAM lparam)
{
    return m_hwnd ? ::SendMessageW(m_hwnd, msg, wparam, lparam) : 0;
}

BOOL MWindow::PostMessage(UINT msg, WPARAM wparam, LPARAM lparam)
{
    return m_hwnd ? ::PostMessageW(m_hwnd, msg, wparam, lparam) : FALSE;
}
