#include "PaintManager.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdlib>

#include "ControlFactory.h"
#include "MControlFont.h"
#include "MRender.h"
#include "Manager.h"
#include "zuntui_resource.h"

PaintManager::PaintManager() : m_fontName(Manager::GetFontName()) {}

PaintManager::~PaintManager()
{
    if (m_init)
        DestroyData();
    m_tickStopped = 1;
    KillMTimer();
    while (m_inTick.load() > 0)
        Sleep(1);
    if (m_tooltipWnd && IsWindow(m_tooltipWnd))
        DestroyWindow(m_tooltipWnd);
    m_tooltipWnd = nullptr;
    ClearAllControls();
    delete m_bkImage;
    m_bkImage = nullptr;
    ReleaseSurface();
    ClearImgResInfo();
    ClearTempFont();
}

// ---------------------------------------------------------------- life cycle

void PaintManager::Init(HWND window, MWindow* dialog)
{
    if (!window || !IsWindow(window))
        return;
    if (m_hwnd != window) {
        if (m_paintDC && m_hwnd)
            ReleaseDC(m_hwnd, m_paintDC);
        m_hwnd = window;
        m_threadId = GetWindowThreadProcessId(window, nullptr);
        m_paintDC = GetDC(window);
    }
    m_dialog = dialog;
    const CString arial = CString(Manager::GetProgramFolder() + L"font\\Arial.ttf");
    if (GetFileAttributesW(arial) != INVALID_FILE_ATTRIBUTES)
        AddTempFont(L"Arial", arial);
    m_init = 1;
    m_tickStopped = 0;
    m_scrollV = IDR_SCROLL_V;
    m_scrollH = IDR_SCROLL_H;
    AddGDITempFont(IDR_FONT_TTF);
}

void PaintManager::DestroyData()
{
    if (!m_init)
        return;
    if (m_inWindowDrag) {
        // The window goes away while the system's move loop drags it: a move loop that
        // waits for the button's release of a window that no longer exists would never
        // end, so the release is posted to this thread.
        m_inWindowDrag = 0;
        PostThreadMessageW(GetCurrentThreadId(), WM_LBUTTONUP, 0, 0);
    }
    // No periodic tick may run while the controls go away.
    m_tickStopped = 1;
    KillMTimer();
    m_periodicId = 0;
    while (m_inTick.load() > 0)
        Sleep(1);

    m_shadow.Destroy();
    delete m_bkImage;
    m_bkImage = nullptr;
    m_bkWidth = m_bkHeight = 0;
    ReleaseSurface();
    if (m_paintDC && m_hwnd)
        ReleaseDC(m_hwnd, m_paintDC);
    m_paintDC = nullptr;
    if (m_hwnd && IsWindow(m_hwnd)) {
        for (UINT id : {PM_TIMER_BANNER_HOLD, PM_TIMER_BANNER_FADE, PM_TIMER_PROGRESS, PM_TIMER_CARET})
            ::KillTimer(m_hwnd, id);
    }
    ClearTimers();
    ClearAllControls();
    {
        MAutoLock guard(m_timerControlsLock);
        m_timerControls.clear();
    }
    {
        MAutoLock guard(m_deferredLock);
        m_deferred.clear();
    }
    ClearImgResInfo();
    ClearTempFont();
    if (m_tooltipWnd && !IsWindow(m_tooltipWnd))
        m_tooltipWnd = nullptr;
    m_hover = m_focus = nullptr;
    m_caretOwner = nullptr;
    m_caretShown = 0;
    m_tracking = m_captured = 0;
    m_leftPressed = m_rightPressed = m_leftDblClk = m_rightDblClk = 0;
    m_init = 0;
}

bool PaintManager::IsForeignThread() const { return m_hwnd && m_threadId && GetCurrentThreadId() != m_threadId; }

UINT PaintManager::GetKeyModifiers()
{
    UINT mods = 0;
    if (GetKeyState(VK_MENU) < 0)
        mods = 18;
    else if (GetKeyState(VK_SHIFT) < 0)
        mods = 16;
    if (GetKeyState(VK_CONTROL) < 0)
        mods |= 17;
    return mods;
}

LRESULT PaintManager::OnWindowMessage(UINT msg, WPARAM wparam, LPARAM lparam)
{
    {
        MAutoLock guard(m_controlsLock);
        for (size_t i = 0; i < m_controls.size(); ++i)
            if (m_controls[i]->OnWindowMessage(msg, wparam, lparam))
                return 0;
    }
    const CPoint pt(GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam));
    const UINT flags = static_cast<UINT>(wparam);
    switch (msg) {
    case WM_PAINT:
        // 0 when nothing was painted: the default handling then validates the window,
        // otherwise a minimised window would be asked to paint again and again.
        return OnPaint() ? 1 : 0;
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lparam);
        if (m_minW > 0) info->ptMinTrackSize.x = m_minW;
        if (m_minH > 0) info->ptMinTrackSize.y = m_minH;
        if (m_maxW > 0) info->ptMaxTrackSize.x = info->ptMaxSize.x = m_maxW;
        if (m_maxH > 0) info->ptMaxTrackSize.y = info->ptMaxSize.y = m_maxH;
        return 1;
    }
    case WM_CREATE:
    case WM_DESTROY:
    case WM_SIZE:
    case WM_CHAR:
    case WM_MOUSEHOVER:
        return 1;
    case WM_NCDESTROY:
        DestroyData();
        return 1;
    case WM_NCACTIVATE:
        OnNcActivate(static_cast<int>(wparam));
        return 1;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        OnKeyDown(static_cast<UINT>(wparam));
        return 1;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        return 0;
    case WM_COMMAND:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
        if (lparam && IsWindow(reinterpret_cast<HWND>(lparam)))
            return ::SendMessageW(reinterpret_cast<HWND>(lparam), msg + 0x2000, wparam, lparam);
        return 0;
    case WM_TIMER:
        OnTimerMessage(static_cast<UINT>(wparam));
        return 0;
    case WM_CAPTURECHANGED:
        m_captured = 0;
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(flags, pt);
        return 1;
    case WM_LBUTTONDOWN:
        OnButtonDown(flags, pt, true);
        return 1;
    case WM_RBUTTONDOWN:
        OnButtonDown(flags, pt, false);
        return 1;
    case WM_LBUTTONUP:
        OnButtonUp(flags, pt, true);
        return 1;
    case WM_RBUTTONUP:
        OnButtonUp(flags, pt, false);
        return 1;
    case WM_LBUTTONDBLCLK:
        OnButtonDblClk(flags, pt, true);
        return 1;
    case WM_RBUTTONDBLCLK:
        OnButtonDblClk(flags, pt, false);
        return 1;
    case WM_MOUSEWHEEL:
        OnMouseWheel(wparam, lparam);
        return 1;
    case WM_MOUSELEAVE:
        OnMouseLeave();
        return 1;
    default:
        return 0;
    }
}

int PaintManager::PreTranslateMessage(MSG* msg)
{
    if (!msg || !m_hwnd)
        return 0;
    const bool ours = msg->hwnd == m_hwnd || IsChild(m_hwnd, msg->hwnd);
    switch (msg->message) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MOUSEWHEEL:
        if (m_tooltipWnd && ours)
            ::SendMessageW(m_tooltipWnd, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg));
        return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        if (msg->wParam != VK_TAB || !ours)
            return 0;
        const UINT mods = GetKeyModifiers();
        MControl* target = mods == 0 ? GetNextFocusableControl() : mods == 16 ? GetPrevFocusableControl() : nullptr;
        if (!target || target == m_focus)
            return 0;
        SetFocusControl(target);
        return 1;
    }
    default:
        return 0;
    }
}

// ---------------------------------------------------------------- controls

MControl* PaintManager::CreateControl(UINT kind, MObject* parent, const wchar_t* className, UINT id, CRect rect,
                                      const wchar_t* title, int visible, int enabled)
{
    MControl* c = ConstructControl(1, parent, className, id, rect, title, visible, enabled);
    if (!c)
        return nullptr;
    c->SetManager(this);
    c->InitControl(this);
    AddChild(c, kind);
    return c;
}

MControl* PaintManager::CreateControl(MObject* parent, const wchar_t* className, UINT id, CRect rect,
                                      const wchar_t* title, int visible, int enabled)
{
    return CreateControl(1, parent, className, id, rect, title, visible, enabled);
}

MControl* PaintManager::CreateArea(MObject* parent, const wchar_t* className, UINT id, CRect rect,
                                   const wchar_t* title, int visible, int enabled)
{
    return CreateControl(0, parent, className, id, rect, title, visible, enabled);
}

void PaintManager::AddControl(MControl* control, UINT kind)
{
    if (!control)
        return;
    if (control->GetManager() != this) {
        control->SetManager(this);
        control->InitControl(this);
    }
    AddChild(control, kind);
}

MControl* PaintManager::GetControl(UINT id) { return FindChild(id); }

void PaintManager::RemoveControl(MControl* control)
{
    if (!control)
        return;
    if (EraseChild(control))
        MControl::DeleteControl(control);
}

void PaintManager::ClearControls()
{
    for (MControl* c : TakeChildren(1))
        MControl::DeleteControl(c);
}

void PaintManager::ClearAreaControls()
{
    for (MControl* c : TakeChildren(0))
        MControl::DeleteControl(c);
}

void PaintManager::ClearAllControls()
{
    ClearControls();
    ClearAreaControls();
}

void PaintManager::ForgetControl(MControl* control)
{
    if (!control)
        return;
    if (m_hover == control)
        m_hover = nullptr;
    if (m_focus == control)
        m_focus = nullptr;
    if (m_caretOwner && static_cast<MControl*>(m_caretOwner) == control)
        m_caretOwner = nullptr;
    m_timerControlsLock.Lock();
    const auto registered = std::remove(m_timerControls.begin(), m_timerControls.end(), control);
    const bool wasRegistered = registered != m_timerControls.end();
    m_timerControls.erase(registered, m_timerControls.end());
    while (m_ticking == control) {
        // A tick is running on this control: wait until it has left it.
        m_timerControlsLock.Unlock();
        Sleep(1);
        m_timerControlsLock.Lock();
    }
    m_timerControlsLock.Unlock();
    if (wasRegistered)
        RefreshPeriodicTick();
    KillTimer(control);
    MAutoLock guard(m_deferredLock);
    m_deferred.erase(std::remove_if(m_deferred.begin(), m_deferred.end(),
                                    [control](const DeferredUpdate& d) { return d.control == control; }),
                     m_deferred.end());
}

// ---------------------------------------------------------------- repaint

LRESULT PaintManager::OnControlUpdate(CRect rect, int rebuild, MControl* control)
{
    if (!control)
        return 0;
    if (IsForeignThread()) {
        DeferUpdate(control, rect, rebuild);
        return 0;
    }
    if (rebuild)
        control->SetUpdate(0, m_backColor);
    CRect dirty = rect;
    if (m_init) {
        bool met = false;
        for (int pass = 0; pass < 2; ++pass) {
            std::vector<MControl*>& list = pass == 0 ? m_areas : m_controls;
            MAutoLock guard(pass == 0 ? m_areasLock : m_controlsLock);
            for (size_t i = 0; i < list.size(); ++i) {
                MControl* c = list[i];
                if (c == control) {
                    met = true;
                } else if (met && c->IsVisible() && c->GetRect().Intersects(rect)) {
                    c->SetUpdate(0, m_backColor);
                    dirty |= c->GetRect();
                }
            }
        }
    }
    InvalidateRect(dirty, 0);
    return 0;
}

void PaintManager::DeferUpdate(MControl* control, const CRect& rect, int rebuild)
{
    {
        // One entry per control: a control ticking in a window that does not paint (hidden)
        // must not grow the queue.
        MAutoLock guard(m_deferredLock);
        auto it = std::find_if(m_deferred.begin(), m_deferred.end(),
                               [control](const DeferredUpdate& d) { return d.control == control; });
        if (it != m_deferred.end()) {
            it->rect |= rect;
            it->rebuild |= rebuild;
        } else {
            m_deferred.push_back(DeferredUpdate{control, rect, rebuild});
        }
    }
    // Invalidation is safe from any thread; the request itself is replayed before painting.
    InvalidateRect(rect, 0);
}

int PaintManager::GetDeferredCount()
{
    MAutoLock guard(m_deferredLock);
    return static_cast<int>(m_deferred.size());
}

void PaintManager::FlushDeferredUpdates()
{
    for (;;) {
        DeferredUpdate d;
        {
            MAutoLock guard(m_deferredLock);
            if (m_deferred.empty())
                return;
            d = m_deferred.front();
            m_deferred.erase(m_deferred.begin());
        }
        if (MObject* owner = d.control->GetParantObject())
            owner->OnControlUpdate(d.rect, d.rebuild, d.control);
    }
}

void PaintManager::Invalidate()
{
    if (m_hwnd)
        ::InvalidateRect(m_hwnd, nullptr, FALSE);
}

void PaintManager::InvalidateRect(CRect rect, int erase)
{
    if (!m_hwnd)
        return;
    if (m_layered)
        ::InvalidateRect(m_hwnd, nullptr, TRUE);
    else
        ::InvalidateRect(m_hwnd, &rect, erase ? TRUE : FALSE);
}

// ---------------------------------------------------------------- painting

bool PaintManager::OnPaint()
{
    if (!m_init || !m_hwnd || IsIconic(m_hwnd))
        return false;
    FlushDeferredUpdates();
    RECT pending;
    if (!GetUpdateRect(m_hwnd, &pending, FALSE))
        return false;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hwnd, &ps);
    if (dc)
        Render(dc, CRect(ps.rcPaint));
    EndPaint(m_hwnd, &ps);
    Sleep(15); // caps repainting at about 60 frames per second
    return true;
}

bool PaintManager::EnsureSurface(HDC target, int w, int h)
{
    if (m_surfaceDC && w == m_surfaceW && h == m_surfaceH)
        return true;
    ReleaseSurface();
    m_surfaceBmp = MRender::CreateARGB32Bitmap(target, w, h, &m_surfaceBits);
    if (!m_surfaceBmp)
        return false;
    m_surfaceDC = ::CreateCompatibleDC(target);
    m_surfaceOld = SelectObject(m_surfaceDC, m_surfaceBmp);
    m_surfaceW = w;
    m_surfaceH = h;
    return true;
}

void PaintManager::ReleaseSurface()
{
    if (m_surfaceDC) {
        SelectObject(m_surfaceDC, m_surfaceOld);
        DeleteDC(m_surfaceDC);
    }
    if (m_surfaceBmp)
        DeleteObject(m_surfaceBmp);
    m_surfaceDC = nullptr;
    m_surfaceBmp = nullptr;
    m_surfaceOld = nullptr;
    m_surfaceBits = nullptr;
    m_surfaceW = m_surfaceH = 0;
}

int PaintManager::Render(HDC target, const CRect& updateIn)
{
    const CSize size = GetClientSize();
    const int w = size.cx, h = size.cy;
    if (w <= 0 || h <= 0 || !target)
        return 0;
    const CRect client(0, 0, w, h);
    CRect update;
    if (!update.IntersectRect(updateIn, client))
        return 0;
    // The off-screen surface is kept while the client size stays: a fresh bitmap of the
    // client's size on every paint costs more than all the cached faces together.
    if (!EnsureSurface(target, w, h))
        return 0;
    HDC mem = m_surfaceDC;
    BYTE* bits = m_surfaceBits;
    const int saved = SaveDC(mem);
    GdiFlush();

    // Layered windows start transparent; so does what a natural-size background image
    // leaves uncovered (the surface still holds the previous frame).
    if (m_layered || (m_bkImage && m_backMode != BACKMODE_FRAME))
        MRender::FillPixels(bits, w, h, update, 0);
    if (m_bkImage) {
        MBitsGraphics g(bits, w, h);
        if (g.ok()) {
            g->SetClip(Gdiplus::Rect(update.left, update.top, update.Width(), update.Height()));
            if (m_backMode == BACKMODE_FRAME)
                MRender::DrawImageFrame(*g, m_bkImage, client, 0, 0, m_bkWidth, m_bkHeight, m_cornerSize);
            else
                g->DrawImage(m_bkImage, Gdiplus::Rect(0, 0, m_bkWidth, m_bkHeight), 0, 0, m_bkWidth, m_bkHeight,
                             Gdiplus::UnitPixel);
        }
    } else {
        auto argb = [](DWORD ref) {
            return 0xFE000000u | (GetRValue(ref) << 16) | (GetGValue(ref) << 8) | GetBValue(ref);
        };
        CRect inner;
        MRender::FillPixels(bits, w, h, update, argb(m_borderColor));
        if (inner.IntersectRect(update, CRect(1, 1, w - 1, h - 1)))
            MRender::FillPixels(bits, w, h, inner, argb(m_backColor));
    }

    const CRect clip = m_layered ? client : update;
    {
        MAutoLock guard(m_areasLock);
        for (size_t i = 0; i < m_areas.size(); ++i)
            m_areas[i]->Draw(mem, clip);
    }
    {
        MAutoLock guard(m_controlsLock);
        for (size_t i = 0; i < m_controls.size(); ++i)
            m_controls[i]->Draw(mem, clip);
    }
    DrawCaret(mem, update);

    GdiFlush();
    if (m_layered)
        MRender::OpaqueGdiPixels(bits, w, h, update);
    if (m_bannerAlpha > 10 && !m_bannerText.IsEmpty()) {
        MBitsGraphics g(bits, w, h);
        if (g.ok())
            DrawBanner(*g);
    }
    RestoreDC(mem, saved);

    if (m_layered && m_hwnd) {
        CRect wr;
        ::GetWindowRect(m_hwnd, &wr);
        POINT dst = {wr.left, wr.top}, src = {0, 0};
        SIZE sz = {w, h};
        BLENDFUNCTION bf = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        UpdateLayeredWindow(m_hwnd, nullptr, &dst, &sz, mem, &src, 0, &bf, ULW_ALPHA);
    } else {
        ::BitBlt(target, update.left, update.top, update.Width(), update.Height(), mem, update.left, update.top,
                 SRCCOPY);
    }
    return 1;
}

// ---------------------------------------------------------------- look

void PaintManager::SetBackColor(DWORD background, DWORD border)
{
    m_backColor = background;
    m_borderColor = border;
    Invalidate();
}

int PaintManager::LoadBKImage(CString file)
{
    Gdiplus::Image* image = MRender::LoadImageFromFile(CString(Manager::GetSkinFolder() + file));
    if (!image)
        return 0;
    delete m_bkImage;
    m_bkImage = image;
    m_bkWidth = static_cast<int>(image->GetWidth());
    m_bkHeight = static_cast<int>(image->GetHeight());
    Invalidate();
    return 1;
}

int PaintManager::LoadBKImage(UINT resourceId, CString type)
{
    Gdiplus::Image* image = MRender::LoadImageFromIDResource(resourceId, type, Manager::GetInstance());
    if (!image)
        return 0;
    delete m_bkImage;
    m_bkImage = image;
    m_bkWidth = static_cast<int>(image->GetWidth());
    m_bkHeight = static_cast<int>(image->GetHeight());
    Invalidate();
    return 1;
}

void PaintManager::SetBackMode(enumBackMode mode, int cornerSize)
{
    m_backMode = mode;
    m_cornerSize = cornerSize;
    Invalidate();
}

void PaintManager::SetLayeredWindow(int layered)
{
    m_layered = layered ? 1 : 0;
    if (m_hwnd) {
        LONG_PTR ex = GetWindowLongPtrW(m_hwnd, GWL_EXSTYLE);
        LONG_PTR want = m_layered ? (ex | WS_EX_LAYERED) : (ex & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
        if (want != ex)
            SetWindowLongPtrW(m_hwnd, GWL_EXSTYLE, want);
        ::InvalidateRect(m_hwnd, nullptr, TRUE);
    }
}


// ---------------------------------------------------------------- window operations

LRESULT PaintManager::SendMessage(UINT msg, WPARAM wparam, LPARAM lparam)
{
    return m_hwnd && IsWindow(m_hwnd) ? ::SendMessageW(m_hwnd, msg, wparam, lparam) : 0;
}

LRESULT PaintManager::PostMessage(UINT msg, WPARAM wparam, LPARAM lparam)
{
    // Delivered at once, like SendMessage.
    return m_hwnd && IsWindow(m_hwnd) ? ::SendMessageW(m_hwnd, msg, wparam, lparam) : 0;
}

HWND PaintManager::SetCapture()
{
    if (!m_hwnd)
        return nullptr;
    HWND previous = ::SetCapture(m_hwnd);
    m_captured = 1;
    return previous;
}

BOOL PaintManager::ReleaseCapture()
{
    BOOL ok = TRUE;
    const int had = m_captured;
    m_captured = 0;
    if (had && m_hwnd && GetCapture() == m_hwnd)
        ok = ::ReleaseCapture();
    return ok;
}

BOOL PaintManager::GetClientRect(CRect& rect)
{
    if (!m_hwnd || !IsWindow(m_hwnd)) {
        rect.SetRectEmpty();
        return FALSE;
    }
    return ::GetClientRect(m_hwnd, &rect);
}

BOOL PaintManager::GetWindowRect(CRect& rect)
{
    if (!m_hwnd || !IsWindow(m_hwnd)) {
        rect.SetRectEmpty();
        return FALSE;
    }
    return ::GetWindowRect(m_hwnd, &rect);
}

CSize PaintManager::GetClientSize()
{
    CRect rc;
    GetClientRect(rc);
    return rc.Size();
}
