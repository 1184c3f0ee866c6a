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

namespace {

const UINT kTooltipToolId = 1313;

bool IsReservedTimerId(UINT id)
{
    return id == 0 || id == PM_TIMER_BANNER_HOLD || id == PM_TIMER_BANNER_FADE || id == PM_TIMER_PROGRESS ||
           id == PM_TIMER_CARET;
}

} // namespace

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
    if (kind == 0) {
        MAutoLock guard(m_areasLock);
        m_areas.push_back(c);
    } else {
        MAutoLock guard(m_controlsLock);
        m_controls.push_back(c);
    }
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
    if (kind == 0) {
        MAutoLock guard(m_areasLock);
        m_areas.push_back(control);
    } else {
        MAutoLock guard(m_controlsLock);
        m_controls.push_back(control);
    }
}

MControl* PaintManager::GetControl(UINT id)
{
    {
        MAutoLock guard(m_controlsLock);
        for (size_t i = 0; i < m_controls.size(); ++i) {
            MControl* c = m_controls[i];
            if (c->GetControlID() == id)
                return c;
            if (MControl* found = c->GetControl(id))
                return found;
        }
    }
    MAutoLock guard(m_areasLock);
    for (size_t i = 0; i < m_areas.size(); ++i) {
        MControl* c = m_areas[i];
        if (c->GetControlID() == id)
            return c;
        if (MControl* found = c->GetControl(id))
            return found;
    }
    return nullptr;
}

void PaintManager::RemoveControl(MControl* control)
{
    if (!control)
        return;
    const bool found =
        EraseUnderLock(m_controlsLock, m_controls, control) || EraseUnderLock(m_areasLock, m_areas, control);
    if (found)
        MControl::DeleteControl(control);
}

void PaintManager::DeleteList(std::vector<MControl*>& list, MLock& lock)
{
    std::vector<MControl*> doomed;
    {
        MAutoLock guard(lock);
        doomed.swap(list);
    }
    for (MControl* c : doomed)
        MControl::DeleteControl(c);
}

void PaintManager::ClearControls() { DeleteList(m_controls, m_controlsLock); }

void PaintManager::ClearAreaControls() { DeleteList(m_areas, m_areasLock); }

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
    m_timerControls.erase(std::remove(m_timerControls.begin(), m_timerControls.end(), control),
                          m_timerControls.end());
    while (m_ticking == control) {
        // A tick is running on this control: wait until it has left it.
        m_timerControlsLock.Unlock();
        Sleep(1);
        m_timerControlsLock.Lock();
    }
    m_timerControlsLock.Unlock();
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

void PaintManager::DrawBanner(Gdiplus::Graphics& g)
{
    const CRect& r = m_bannerRect;
    if (r.IsRectEmpty())
        return;
    const BYTE a = static_cast<BYTE>(std::min(std::max(m_bannerAlpha, 0), 255));
    Gdiplus::SolidBrush outer(Gdiplus::Color(a, 0xE6, 0xE6, 0xE6));
    g.FillRectangle(&outer, static_cast<INT>(r.left), static_cast<INT>(r.top), r.Width(), r.Height());
    Gdiplus::SolidBrush inner(Gdiplus::Color(a, 0xFE, 0xFE, 0xFE));
    g.FillRectangle(&inner, static_cast<INT>(r.left + 2), static_cast<INT>(r.top + 2), r.Width() - 4, r.Height() - 4);

    Gdiplus::FontFamily* family = FindTempFont(m_fontName);
    Gdiplus::Font font(family ? family : Gdiplus::FontFamily::GenericSansSerif(), 12.0f, Gdiplus::FontStyleRegular,
                       Gdiplus::UnitPixel);
    Gdiplus::SolidBrush text(Gdiplus::Color(a, 0x05, 0x05, 0x05));
    Gdiplus::StringFormat format;
    const float x = static_cast<float>(r.left + 5), y = static_cast<float>(r.top + 5);
    if (m_bannerShown == 0) {
        format.SetAlignment(Gdiplus::StringAlignmentNear);
        format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
        g.DrawString(m_bannerText, -1, &font, Gdiplus::RectF(x, y, 190.0f, 50.0f), &format, &text);
    } else {
        format.SetAlignment(Gdiplus::StringAlignmentCenter);
        format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
        g.DrawString(m_bannerText, -1, &font, Gdiplus::RectF(x, y, static_cast<float>(r.Width() - 10), 30.0f),
                     &format, &text);
        Gdiplus::Pen line(Gdiplus::Color(0xC8C8C8C8), 1.0f);
        g.DrawLine(&line, static_cast<INT>(r.left + 10), static_cast<INT>(r.bottom - 15),
                   static_cast<INT>(r.right - 20), static_cast<INT>(r.bottom - 15));
        Gdiplus::SolidBrush bar(Gdiplus::Color(0xFEFFE100));
        g.FillRectangle(&bar, static_cast<INT>(r.left + 10), static_cast<INT>(r.bottom - 16),
                        (r.Width() - 20) * m_bannerShown / 100, 3);
    }
}

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

// ---------------------------------------------------------------- periodic timer

UINT PaintManager::SetMTimer(UINT periodMs)
{
    m_tickStopped = 0;
    m_periodicId = RKTimer::SetTimer(periodMs, L"", 0);
    return m_periodicId;
}

void PaintManager::AddMTimer(MControl* control)
{
    if (!control)
        return;
    MAutoLock guard(m_timerControlsLock);
    if (std::find(m_timerControls.begin(), m_timerControls.end(), control) == m_timerControls.end())
        m_timerControls.push_back(control);
}

void PaintManager::DeleteFSTimer(MControl* control)
{
    MAutoLock guard(m_timerControlsLock);
    auto it = std::find(m_timerControls.begin(), m_timerControls.end(), control);
    if (it != m_timerControls.end())
        m_timerControls.erase(it);
}

int PaintManager::IsMTimerControl(MControl* control)
{
    MAutoLock guard(m_timerControlsLock);
    return std::find(m_timerControls.begin(), m_timerControls.end(), control) != m_timerControls.end() ? 1 : 0;
}

void PaintManager::OnMTimer(UINT id)
{
    ++m_inTick;
    if (m_tickStopped.load() || id != m_periodicId) {
        --m_inTick;
        return;
    }
    std::vector<MControl*> snapshot;
    {
        MAutoLock guard(m_timerControlsLock);
        snapshot = m_timerControls;
    }
    for (MControl* c : snapshot) {
        {
            MAutoLock guard(m_timerControlsLock);
            if (m_tickStopped.load() ||
                std::find(m_timerControls.begin(), m_timerControls.end(), c) == m_timerControls.end())
                continue; // removed meanwhile
            m_ticking = c;
        }
        if (c->IsRunTimer() && c->IsVisible() && c->IsParentVisible())
            c->OnTimer();
        MAutoLock guard(m_timerControlsLock);
        m_ticking = nullptr;
    }
    --m_inTick;
}

// ---------------------------------------------------------------- control window timers

int PaintManager::SetTimer(MControl* control, UINT key, UINT elapseMs)
{
    if (!control || !m_hwnd || !IsWindow(m_hwnd))
        return 0;
    MAutoLock guard(m_recordsLock);
    for (TimerRecord& r : m_records) {
        if (r.hwnd == m_hwnd && r.control == control && r.key == key) {
            if (!r.killed)
                return 0;
            if (!::SetTimer(m_hwnd, r.timerId, elapseMs, nullptr))
                return 0;
            r.killed = 0;
            return 1;
        }
    }
    UINT id = 0;
    for (int tries = 0; tries < 240 && !id; ++tries) {
        m_lastTimerId = (m_lastTimerId + 1) % 240;
        const UINT candidate = m_lastTimerId;
        if (IsReservedTimerId(candidate))
            continue;
        bool used = false;
        for (const TimerRecord& r : m_records)
            used = used || (r.hwnd == m_hwnd && r.timerId == candidate);
        if (!used)
            id = candidate;
    }
    if (!id || !::SetTimer(m_hwnd, id, elapseMs, nullptr))
        return 0;
    m_records.push_back(TimerRecord{m_hwnd, key, id, 0, control});
    return 1;
}

int PaintManager::KillTimer(MControl* control, UINT key)
{
    MAutoLock guard(m_recordsLock);
    for (TimerRecord& r : m_records) {
        if (r.control == control && r.key == key && r.hwnd == m_hwnd && !r.killed) {
            ::KillTimer(r.hwnd, r.timerId);
            r.killed = 1;
            return 1;
        }
    }
    return 0;
}

int PaintManager::KillTimer(MControl* control)
{
    MAutoLock guard(m_recordsLock);
    int any = 0;
    for (size_t i = m_records.size(); i-- > 0;) {
        TimerRecord& r = m_records[i];
        if (r.control != control)
            continue;
        if (!r.killed && r.hwnd && IsWindow(r.hwnd))
            ::KillTimer(r.hwnd, r.timerId);
        m_records.erase(m_records.begin() + static_cast<std::ptrdiff_t>(i));
        any = 1;
    }
    return any;
}

void PaintManager::ClearTimers()
{
    MAutoLock guard(m_recordsLock);
    for (const TimerRecord& r : m_records)
        if (!r.killed && r.hwnd && IsWindow(r.hwnd))
            ::KillTimer(r.hwnd, r.timerId);
    m_records.clear();
}

UINT PaintManager::GetTimerID(MControl* control, UINT key)
{
    MAutoLock guard(m_recordsLock);
    for (const TimerRecord& r : m_records)
        if (r.control == control && r.key == key && r.hwnd == m_hwnd)
            return r.timerId;
    return 0;
}

void PaintManager::OnTimerMessage(UINT id)
{
    switch (id) {
    case PM_TIMER_CARET:
        InvalidateRect(m_caretRect, 0);
        m_caretBlink = !m_caretBlink;
        return;
    case PM_TIMER_BANNER_HOLD:
        ::KillTimer(m_hwnd, PM_TIMER_BANNER_HOLD);
        ::SetTimer(m_hwnd, PM_TIMER_BANNER_FADE, 50, nullptr);
        return;
    case PM_TIMER_BANNER_FADE:
        OnBannerFadeStep();
        return;
    case PM_TIMER_PROGRESS:
        OnProgressStep();
        return;
    default:
        break;
    }
    std::vector<MControl*> due;
    {
        MAutoLock guard(m_recordsLock);
        for (const TimerRecord& r : m_records)
            if (r.hwnd == m_hwnd && r.timerId == id && !r.killed)
                due.push_back(r.control);
    }
    for (MControl* c : due) {
        bool live = false;
        {
            MAutoLock guard(m_recordsLock);
            for (const TimerRecord& r : m_records)
                live = live || (r.control == c && r.timerId == id && !r.killed);
        }
        if (live) // an earlier tick may have stopped or removed it
            c->OnTimer();
    }
}

// ---------------------------------------------------------------- tooltip, banner, caret

void PaintManager::EnsureTooltip()
{
    if (m_tooltipWnd && IsWindow(m_tooltipWnd))
        return;
    m_tooltipWnd = nullptr;
    if (!m_hwnd)
        return;
    INITCOMMONCONTROLSEX icc = {};
    icc.dwSize = sizeof(icc);
    icc.dwICC = ICC_WIN95_CLASSES;
    InitCommonControlsEx(&icc);
    m_tooltipWnd = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hwnd, nullptr,
                                   Manager::GetInstance(), nullptr);
    if (!m_tooltipWnd)
        return;
    ::SendMessageW(m_tooltipWnd, TTM_SETMAXTIPWIDTH, 0, 256);
    ::SendMessageW(m_tooltipWnd, TTM_SETTIPBKCOLOR, RGB(255, 255, 255), 0);
    TOOLINFOW ti = {};
    ti.cbSize = sizeof(ti);
    ti.hwnd = m_hwnd;
    ti.uId = kTooltipToolId;
    ::GetClientRect(m_hwnd, &ti.rect);
    ti.lpszText = const_cast<LPWSTR>(L"");
    if (!::SendMessageW(m_tooltipWnd, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti))) {
        // Common controls before version 6 only know the shorter structure.
        ti.cbSize = TTTOOLINFOW_V2_SIZE;
        ::SendMessageW(m_tooltipWnd, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }
    if (GetACP() == 936) {
        RECT margin = {2, 3, 0, 0};
        ::SendMessageW(m_tooltipWnd, TTM_SETMARGIN, 0, reinterpret_cast<LPARAM>(&margin));
    }
}

void PaintManager::SetTooltip(const wchar_t* text, CRect)
{
    if (!text || !*text) {
        if (m_tooltipWnd)
            ::SendMessageW(m_tooltipWnd, TTM_ACTIVATE, FALSE, 0);
        return;
    }
    EnsureTooltip();
    if (!m_tooltipWnd)
        return;
    TOOLINFOW ti = {};
    ti.cbSize = sizeof(ti);
    ti.hwnd = m_hwnd;
    ti.uId = kTooltipToolId;
    ::GetClientRect(m_hwnd, &ti.rect);
    ::SendMessageW(m_tooltipWnd, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&ti));
    ti.lpszText = const_cast<LPWSTR>(text);
    ::SendMessageW(m_tooltipWnd, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
    ::SendMessageW(m_tooltipWnd, TTM_ACTIVATE, TRUE, 0);
}

void PaintManager::ClearTooltip()
{
    if (m_tooltipWnd)
        ::SendMessageW(m_tooltipWnd, TTM_ACTIVATE, FALSE, 0);
    m_tooltipOwner = 0;
}

void PaintManager::SetMessage(CString text, CRect rect, MsgLevel level)
{
    if (m_hwnd) {
        ::KillTimer(m_hwnd, PM_TIMER_BANNER_HOLD);
        ::KillTimer(m_hwnd, PM_TIMER_BANNER_FADE);
    }
    m_bannerAlpha = 255;
    m_bannerText = text;
    m_bannerLevel = level;
    m_bannerShown = 0;
    m_bannerRect = rect;
    InvalidateRect(rect, 0);
    if (m_hwnd)
        ::SetTimer(m_hwnd, PM_TIMER_BANNER_HOLD, 3000, nullptr);
}

void PaintManager::OnBannerFadeStep()
{
    if (m_bannerAlpha < 20) {
        m_bannerAlpha = 0;
        m_bannerShown = 0;
        if (m_hwnd)
            ::KillTimer(m_hwnd, PM_TIMER_BANNER_FADE);
    } else {
        m_bannerAlpha -= 10;
    }
    InvalidateRect(m_bannerRect, 0);
}

void PaintManager::SetProgress(int percent, CString text, CRect rect)
{
    percent = std::min(std::max(percent, 0), 100);
    if (percent == m_bannerTarget)
        return;
    if (percent < 5 && m_hwnd)
        ::KillTimer(m_hwnd, PM_TIMER_BANNER_FADE);
    m_bannerAlpha = 255;
    m_bannerText = text;
    m_bannerTarget = percent;
    if (rect.IsRectEmpty()) {
        const CSize client = GetClientSize();
        rect.SetRect(0, client.cy - 60, client.cx, client.cy - 2);
    }
    m_bannerRect = rect;
    if (m_bannerTarget - m_bannerShown < 6) {
        m_bannerShown = m_bannerTarget;
        InvalidateRect(m_bannerRect, 0);
        if (m_bannerShown >= 100 && m_hwnd)
            ::SetTimer(m_hwnd, PM_TIMER_BANNER_FADE, 50, nullptr);
    } else if (m_hwnd) {
        ::SetTimer(m_hwnd, PM_TIMER_PROGRESS, 10, nullptr);
    }
}

void PaintManager::OnProgressStep()
{
    m_bannerShown += 2;
    if (m_bannerShown >= m_bannerTarget) {
        m_bannerShown = m_bannerTarget;
        if (m_hwnd)
            ::KillTimer(m_hwnd, PM_TIMER_PROGRESS);
    }
    InvalidateRect(m_bannerRect, 0);
    if (m_bannerShown >= 100 && m_hwnd)
        ::SetTimer(m_hwnd, PM_TIMER_BANNER_FADE, 50, nullptr);
}

void PaintManager::CreateCaret(HBITMAP bitmap, int width, int height)
{
    if (m_hwnd)
        ::CreateCaret(m_hwnd, bitmap, width, height);
    m_caretRect.right = m_caretRect.left + width;
    m_caretRect.bottom = m_caretRect.top + height;
}

void PaintManager::SetCaretPos(MControlFont* owner, int x, int y)
{
    ::SetCaretPos(x, y);
    const CRect old = m_caretRect;
    m_caretRect.SetRect(x, y, x + old.Width(), y + old.Height());
    m_caretOwner = owner;
    InvalidateRect(old, 0);
    InvalidateRect(m_caretRect, 0);
}

void PaintManager::ShowCaret(int show)
{
    if (show) {
        if (m_hwnd)
            ::SetTimer(m_hwnd, PM_TIMER_CARET, GetCaretBlinkTime(), nullptr);
        m_caretShown = 1;
        m_caretBlink = 1;
    } else {
        if (m_hwnd)
            ::KillTimer(m_hwnd, PM_TIMER_CARET);
        m_caretShown = 0;
    }
    InvalidateRect(m_caretRect, 0);
}

void PaintManager::DrawCaret(HDC dc, const CRect& clip)
{
    if (!m_caretShown)
        return;
    if (!m_caretOwner || !m_caretOwner->IsFocused() || !m_hwnd || GetFocus() != m_hwnd) {
        if (m_hwnd)
            ::KillTimer(m_hwnd, PM_TIMER_CARET);
        m_caretShown = 0;
        return;
    }
    if (!m_caretBlink)
        return;
    CRect r;
    if (!r.IntersectRect(m_caretRect, clip))
        return;
    const Gdiplus::ARGB color = (m_caretOwner->GetTextColorValue() & 0x00FFFFFF) | 0xFE000000;
    Gdiplus::Graphics g(dc);
    Gdiplus::SolidBrush brush{Gdiplus::Color(color)};
    g.FillRectangle(&brush, static_cast<INT>(r.left), static_cast<INT>(r.top), r.Width(), r.Height());
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

// ---------------------------------------------------------------- images and fonts

ImgResInfo* PaintManager::AddImgResInfo(const wchar_t* name, int count)
{
    if (!name || !*name)
        return nullptr;
    count = std::max(count, 1);
    MAutoLock guard(m_imageLock);
    auto it = m_imageFiles.find(CString(name));
    if (it != m_imageFiles.end())
        return it->second; // the first split stays in force
    Gdiplus::Image* image = MRender::LoadImageFromFile(CString(Manager::GetSkinFolder() + name));
    if (!image)
        return nullptr;
    auto* info = new ImgResInfo;
    info->image = image;
    info->frameWidth = static_cast<int>(image->GetWidth()) / count;
    info->frameHeight = static_cast<int>(image->GetHeight());
    info->count = count;
    info->name = CString(name);
    m_imageFiles[info->name] = info;
    return info;
}

ImgResInfo* PaintManager::AddImgResInfo(UINT id, CString type, int count, int fromApplication)
{
    count = std::max(count, 1);
    MAutoLock guard(m_imageLock);
    std::map<UINT, ImgResInfo*>& cache = fromApplication ? m_appImages : m_libImages;
    auto it = cache.find(id);
    if (it != cache.end())
        return it->second;
    HINSTANCE module = fromApplication ? Manager::GetInstance() : Manager::GetLibraryInstance();
    Gdiplus::Image* image = MRender::LoadImageFromIDResource(id, type, module);
    if (!image)
        return nullptr;
    auto* info = new ImgResInfo;
    info->image = image;
    info->frameWidth = static_cast<int>(image->GetWidth()) / count;
    info->frameHeight = static_cast<int>(image->GetHeight());
    info->count = count;
    info->resourceId = id;
    cache[id] = info;
    return info;
}

void PaintManager::ClearImgResInfo()
{
    MAutoLock guard(m_imageLock);
    for (auto* cache : {&m_appImages, &m_libImages}) {
        for (auto& entry : *cache) {
            delete entry.second->image;
            delete entry.second;
        }
        cache->clear();
    }
    for (auto& entry : m_imageFiles) {
        delete entry.second->image;
        delete entry.second;
    }
    m_imageFiles.clear();
}

namespace {

// The first family of a collection, copied; null when it holds none.
Gdiplus::FontFamily* FirstFamily(Gdiplus::PrivateFontCollection& collection)
{
    if (collection.GetFamilyCount() < 1)
        return nullptr;
    Gdiplus::FontFamily family;
    INT found = 0;
    if (collection.GetFamilies(1, &family, &found) != Gdiplus::Ok || found < 1)
        return nullptr;
    Gdiplus::FontFamily* copy = family.Clone();
    if (copy && copy->GetLastStatus() != Gdiplus::Ok) {
        delete copy;
        copy = nullptr;
    }
    return copy;
}

} // namespace

Gdiplus::FontFamily* PaintManager::AddTempFont(const wchar_t* family, const wchar_t* file)
{
    if (!family || !file || GetFileAttributesW(file) == INVALID_FILE_ATTRIBUTES)
        return nullptr;
    auto* collection = new Gdiplus::PrivateFontCollection;
    Gdiplus::FontFamily* copy = nullptr;
    if (collection->AddFontFile(file) == Gdiplus::Ok)
        copy = FirstFamily(*collection);
    if (!copy) {
        delete collection;
        return nullptr;
    }
    MAutoLock guard(m_fontLock);
    auto it = m_fonts.find(CString(family));
    if (it != m_fonts.end())
        delete it->second;
    m_fonts[CString(family)] = copy;
    m_fontCollections.push_back(collection); // the family needs its collection
    return copy;
}

Gdiplus::FontFamily* PaintManager::AddTempFont(const wchar_t* family, UINT resourceId)
{
    HINSTANCE module = Manager::GetLibraryInstance();
    HRSRC res = family ? FindResourceW(module, MAKEINTRESOURCEW(resourceId), L"TTF") : nullptr;
    if (!res)
        return nullptr;
    const DWORD size = SizeofResource(module, res);
    HGLOBAL loaded = LoadResource(module, res);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data || !size)
        return nullptr;
    auto* collection = new Gdiplus::PrivateFontCollection;
    Gdiplus::FontFamily* copy = nullptr;
    if (collection->AddMemoryFont(data, static_cast<INT>(size)) == Gdiplus::Ok)
        copy = FirstFamily(*collection);
    if (!copy) {
        delete collection;
        return nullptr;
    }
    MAutoLock guard(m_fontLock);
    auto it = m_fonts.find(CString(family));
    if (it != m_fonts.end())
        delete it->second;
    m_fonts[CString(family)] = copy;
    m_fontCollections.push_back(collection);
    return copy;
}

int PaintManager::AddGDITempFont(UINT resourceId)
{
    HINSTANCE module = Manager::GetLibraryInstance();
    HRSRC res = FindResourceW(module, MAKEINTRESOURCEW(resourceId), L"TTF");
    if (!res)
        return 0;
    const DWORD size = SizeofResource(module, res);
    HGLOBAL loaded = LoadResource(module, res);
    void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data || !size)
        return 0;
    DWORD fonts = 0;
    HANDLE handle = AddFontMemResourceEx(data, size, nullptr, &fonts);
    if (!handle)
        return 0;
    MAutoLock guard(m_fontLock);
    m_gdiFonts.push_back(handle);
    return 1;
}

Gdiplus::FontFamily* PaintManager::FindTempFont(const wchar_t*)
{
    const CString want(Manager::GetFontName());
    MAutoLock guard(m_fontLock);
    auto it = m_fonts.find(want);
    if (it != m_fonts.end())
        return it->second;
    auto* family = new Gdiplus::FontFamily(want);
    if (family->GetLastStatus() != Gdiplus::Ok) {
        delete family;
        family = nullptr; // remembered too: every text would otherwise ask the system again
    }
    m_fonts[want] = family;
    return family;
}

void PaintManager::ClearTempFont()
{
    MAutoLock guard(m_fontLock);
    for (auto& entry : m_fonts)
        delete entry.second;
    m_fonts.clear();
    for (auto* collection : m_fontCollections)
        delete collection;
    m_fontCollections.clear();
    for (HANDLE h : m_gdiFonts)
        RemoveFontMemResourceEx(h);
    m_gdiFonts.clear();
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
