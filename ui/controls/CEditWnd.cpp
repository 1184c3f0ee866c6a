#include "CEditWnd.h"

#include "MEdit.h"
#include "Manager.h"
#include "WindowText.h"

namespace {
// Reflected notifications: the paint manager sends WM_COMMAND and the colour requests
// back to the child window as the message number plus this base.
const UINT kReflectBase = 0x2000;
} // namespace

const wchar_t* const CEditWnd::kClassName = L"FSEditWindow";
WNDPROC CEditWnd::s_editProc = nullptr;

CEditWnd::CEditWnd(MEdit* owner) : m_owner(owner) {}

CEditWnd::~CEditWnd()
{
    m_owner = nullptr; // the owner is going away or already forgot us
    Destroy();
    if (m_brush)
        DeleteObject(m_brush);
}

bool CEditWnd::RegisterOnce()
{
    if (s_editProc)
        return true;
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    if (!GetClassInfoExW(nullptr, L"Edit", &wc))
        return false;
    s_editProc = wc.lpfnWndProc;
    wc.lpfnWndProc = WndProc;
    wc.hInstance = Manager::GetLibraryInstance();
    wc.lpszClassName = kClassName;
    if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        s_editProc = nullptr;
        return false;
    }
    return true;
}

HWND CEditWnd::Create(HWND parent, DWORD style, const RECT& rect)
{
    if (m_hwnd || !RegisterOnce())
        return m_hwnd;
    m_hwnd = CreateWindowExW(0, kClassName, L"", style, rect.left, rect.top, rect.right - rect.left,
                             rect.bottom - rect.top, parent, nullptr, Manager::GetLibraryInstance(), nullptr);
    if (m_hwnd)
        SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    return m_hwnd;
}

void CEditWnd::Destroy()
{
    if (!m_hwnd)
        return;
    HWND hwnd = m_hwnd;
    m_hwnd = nullptr;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    DestroyWindow(hwnd);
}

CString CEditWnd::GetText() const { return GetWindowTextString(m_hwnd); }

void CEditWnd::SetText(const wchar_t* text)
{
    if (m_hwnd)
        SetWindowTextW(m_hwnd, text ? text : L"");
}

LRESULT CALLBACK CEditWnd::WndProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)
{
    auto* self = reinterpret_cast<CEditWnd*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self)
        return CallWindowProcW(s_editProc, hwnd, msg, wparam, lparam);
    if (msg == WM_NCDESTROY) {
        const LRESULT result = CallWindowProcW(s_editProc, hwnd, msg, wparam, lparam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->m_hwnd = nullptr;
        if (MEdit* owner = self->m_owner)
            owner->OnEditDestroyed(); // deletes self
        return result;
    }
    return self->Handle(msg, wparam, lparam);
}

LRESULT CEditWnd::Handle(UINT msg, WPARAM wparam, LPARAM lparam)
{
    switch (msg) {
    case WM_KILLFOCUS:
        if (m_owner)
            m_owner->OnEditKillFocus();
        break;
    case WM_CHAR:
        if (m_owner && !m_owner->GetCharMessage())
            return 0;
        break;
    case kReflectBase + WM_COMMAND:
        if (HIWORD(wparam) == EN_CHANGE) {
            if (m_owner)
                m_owner->OnEditChanged(GetText());
        } else if (HIWORD(wparam) == EN_UPDATE) {
            InvalidateRect(m_hwnd, nullptr, FALSE);
        }
        return 0;
    case kReflectBase + WM_CTLCOLOREDIT:
    case kReflectBase + WM_CTLCOLORSTATIC: {
        if (!m_owner || m_owner->GetEditBKColor() == 0xFFFFFFFF)
            return 0;
        const COLORREF back = m_owner->GetEditBKColor() & 0xFFFFFF;
        if (!m_brush || back != m_brushColor) {
            if (m_brush)
                DeleteObject(m_brush);
            m_brush = CreateSolidBrush(back);
            m_brushColor = back;
        }
        HDC dc = reinterpret_cast<HDC>(wparam);
        ::SetTextColor(dc, m_owner->GetEditTextColor());
        ::SetBkColor(dc, back);
        SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<LRESULT>(m_brush);
    }
    default:
        break;
    }
    return CallWindowProcW(s_editProc, m_hwnd, msg, wparam, lparam);
}
