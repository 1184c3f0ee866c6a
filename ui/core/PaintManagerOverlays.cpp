// What the paint manager draws over the controls: the shared tooltip window, the fading
// message banner with its progress bar, and the caret of rich edit boxes.
#include "PaintManager.h"

#include <commctrl.h>

#include <algorithm>

#include "MControlFont.h"
#include "Manager.h"

namespace {

const UINT kTooltipToolId = 1313;

} // namespace

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
