#include "CListEditWnd.h"

#include "MScrollList.h"
#include "Manager.h"
#include "WindowText.h"

namespace {
// The paint manager reflects WM_CTLCOLOREDIT to the child as the message plus this base.
const UINT kReflectBase = 0x2000;
} // namespace

CListEditWnd::CListEditWnd(MScrollList* owner) : m_owner(owner) {}

CListEditWnd::~CListEditWnd()
{
    if (m_hwnd) {
        HWND hwnd = m_hwnd;
        m_hwnd = nullptr;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_editProc));
        DestroyWindow(hwnd);
    }
    if (m_brush)
        DeleteObject(m_brush);
}

HWND CListEditWnd::Create(HWND parent, const RECT& rect, bool popup, HFONT font)
{
    if (m_hwnd)
        return m_hwnd;
    const DWORD style = (popup ? WS_POPUP : WS_CHILD) | ES_AUTOHSCROLL | ES_LEFT;
    m_hwnd = CreateWindowExW(popup ? WS_EX_TOOLWINDOW : 0, L"Edit", L"", style, rect.left, rect.top,
                             rect.right - rect.left, rect.bottom - rect.top, parent, nullptr,
                             Manager::GetLibraryInstance(), nullptr);
    if (!m_hwnd)
        return nullptr;
    if (font)
        ::SendMessageW(m_hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    ::SendMessageW(m_hwnd, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(3, 3));
    SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_editProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CListEditWnd::WndProc)));
    return m_hwnd;
}

CString CListEditWnd::GetText() const { return GetWindowTextString(m_hwnd); }

void CListEditWnd::SetText(const wchar_t* text)
{
    if (m_hwnd)
        SetWindowTextW(m_hwnd, text ? text : L"");
}

LRESULT CALLBACK CListEditWnd::WndProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)
{
    auto* self = reinterpret_cast<CListEditWnd*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(hwnd, msg, wparam, lparam);
    const WNDPROC editProc = self->m_editProc;
    switch (msg) {
    case WM_KILLFOCUS:
        if (self->m_owner)
            self->m_owner->OnEditKillFocus();
        break;
    case WM_NCDESTROY:
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->m_hwnd = nullptr;
        break;
    case kReflectBase + WM_CTLCOLOREDIT:
    case kReflectBase + WM_CTLCOLORSTATIC: {
        if (!self->m_owner)
            return 0;
        const COLORREF back = self->m_owner->GetEditBKColor() & 0xFFFFFF;
        if (!self->m_brush || back != self->m_brushColor) {
            if (self->m_brush)
                DeleteObject(self->m_brush);
            self->m_brush = CreateSolidBrush(back);
            self->m_brushColor = back;
        }
        HDC dc = reinterpret_cast<HDC>(wparam);
        ::SetTextColor(dc, self->m_owner->GetEditTextColor());
        ::SetBkColor(dc, back);
        return reinterpret_cast<LRESULT>(self->m_brush);
    }
    default:
        break;
    }
    return CallWindowProcW(editProc, hwnd, msg, wparam, lparam);
}
