#include "MShadow.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "MRender.h"
#include "Manager.h"
#include "PaintManager.h"

bool MShadow::s_registered = false;

namespace {

const wchar_t kShadowClass[] = L"ShadowWnd";

// Every live shadow by the window it follows (windows of the toolkit live on one thread).
std::map<HWND, MShadow*>& Shadows()
{
    static std::map<HWND, MShadow*> shadows;
    return shadows;
}

} // namespace

MShadow::MShadow() = default;

MShadow::~MShadow()
{
    Destroy();
    delete m_image;
}

bool MShadow::Initialize(HINSTANCE instance, bool reRegister)
{
    if (s_registered && !reRegister)
        return true;
    if (!instance)
        instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kShadowClass;
    if (reRegister)
        UnregisterClassW(kShadowClass, instance);
    s_registered = RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    return s_registered;
}

MShadow* MShadow::FromParent(HWND parent)
{
    auto it = Shadows().find(parent);
    return it == Shadows().end() ? nullptr : it->second;
}

bool MShadow::Create(PaintManager* manager)
{
    HWND parent = manager ? manager->GetPaintWnd() : nullptr;
    if (!parent || !IsWindow(parent))
        return false;
    if (m_hwnd && IsWindow(m_hwnd))
        return true;
    HINSTANCE instance = Manager::GetInstance() ? Manager::GetInstance() : GetModuleHandleW(nullptr);
    if (!Initialize(instance))
        return false;
    m_manager = manager;
    m_parent = parent;
    m_hwnd = CreateWindowExW(WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_NOACTIVATE, kShadowClass, nullptr, WS_POPUP,
                             0, 0, 0, 0, parent, nullptr, instance, nullptr);
    if (!m_hwnd)
        return false;
    Shadows()[parent] = this;
    m_parentProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MShadow::ParentProc)));
    CRect wr;
    ::GetWindowRect(parent, &wr);
    m_lastParentSize = wr.Size();
    Update();
    return true;
}

void MShadow::Destroy()
{
    if (m_parent) {
        if (FromParent(m_parent) == this)
            Shadows().erase(m_parent);
        if (IsWindow(m_parent) &&
            reinterpret_cast<WNDPROC>(GetWindowLongPtrW(m_parent, GWLP_WNDPROC)) == &MShadow::ParentProc)
            SetWindowLongPtrW(m_parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_parentProc));
    }
    if (m_hwnd && IsWindow(m_hwnd))
        DestroyWindow(m_hwnd);
    m_hwnd = nullptr;
    m_parent = nullptr;
    m_manager = nullptr;
}

// ---------------------------------------------------------------- settings

int MShadow::SetSize(int size)
{
    if (size < -35 || size > 35)
        return 0;
    m_size = size;
    Update();
    return 1;
}

int MShadow::SetSharpness(int sharpness)
{
    if (sharpness < 0 || sharpness > 35)
        return 0;
    m_sharpness = sharpness;
    Update();
    return 1;
}

int MShadow::SetDarkness(int darkness)
{
    if (darkness < 0 || darkness > 255)
        return 0;
    m_darkness = darkness;
    Update();
    return 1;
}

int MShadow::SetPosition(int x, int y)
{
    if (x < -35 || x > 35 || y < -35 || y > 35)
        return 0;
    m_offsetX = x;
    m_offsetY = y;
    Update();
    return 1;
}

int MShadow::SetColor(COLORREF color)
{
    m_color = color & 0xFFFFFF;
    Update();
    return 1;
}

int MShadow::SetImage(const wchar_t* file, CRect corners)
{
    if (!file || !*file)
        return 0;
    Gdiplus::Image* image = MRender::LoadImageFromFile(CString(Manager::GetSkinFolder() + file));
    if (!image)
        return 0;
    delete m_image;
    m_image = image;
    m_imageW = static_cast<int>(image->GetWidth());
    m_imageH = static_cast<int>(image->GetHeight());
    m_corners = corners;
    m_imageMode = 1;
    Update();
    return 1;
}

int MShadow::SetImage(UINT resourceId, CRect corners)
{
    Gdiplus::Image* image = MRender::LoadImageFromIDResource(resourceId, L"PNG", Manager::GetInstance());
    if (!image)
        return 0;
    delete m_image;
    m_image = image;
    m_imageW = static_cast<int>(image->GetWidth());
    m_imageH = static_cast<int>(image->GetHeight());
    m_corners = corners;
    m_imageMode = 1;
    Update();
    return 1;
}

void MShadow::SetShow(int show)
{
    m_show = show;
    Update();
}

// ---------------------------------------------------------------- drawing

void MShadow::BlurredShadow(DWORD* pixels, int w, int h, int sharpness, int darkness, COLORREF color)
{
    if (!pixels || w <= 0 || h <= 0)
        return;
    darkness = std::min(std::max(darkness, 0), 255);
    sharpness = std::max(sharpness, 0);
    const double fade = sharpness + 1.0;
    for (int y = 0; y < h; ++y) {
        // Distance into the fading border, 0 inside the fully dark core.
        const int dy = std::max({0, sharpness - y, y - (h - 1 - sharpness)});
        DWORD* row = pixels + static_cast<size_t>(h - 1 - y) * w; // bottom-up rows
        for (int x = 0; x < w; ++x) {
            const int dx = std::max({0, sharpness - x, x - (w - 1 - sharpness)});
            const double d = std::sqrt(static_cast<double>(dx * dx + dy * dy));
            const double k = std::max(0.0, 1.0 - d / fade);
            const DWORD a = static_cast<DWORD>(darkness * k + 0.5);
            row[x] = (a << 24) | ((GetRValue(color) * a / 255) << 16) | ((GetGValue(color) * a / 255) << 8) |
                     (GetBValue(color) * a / 255);
        }
    }
}

void MShadow::Place()
{
    if (!m_hwnd || !IsWindow(m_parent))
        return;
    CRect wr;
    ::GetWindowRect(m_parent, &wr);
    int x = wr.left + m_offsetX - m_size, y = wr.top + m_offsetY - m_size;
    if (m_imageMode) {
        x -= m_corners.left;
        y -= m_corners.top;
    }
    SetWindowPos(m_hwnd, m_parent, x, y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

void MShadow::Update()
{
    if (!m_hwnd || !IsWindow(m_hwnd) || !IsWindow(m_parent))
        return;
    CRect wr;
    ::GetWindowRect(m_parent, &wr);
    const int pw = wr.Width(), ph = wr.Height();
    m_lastParentSize = CSize(pw, ph);
    const bool visible = IsWindowVisible(m_parent) && !IsIconic(m_parent);
    int w = pw + 2 * m_size, h = ph + 2 * m_size;
    if (m_imageMode) {
        w += m_corners.left + m_corners.right;
        h += m_corners.top + m_corners.bottom;
    }
    // With size 0 and no image there is no shadow to show.
    if (!visible || !m_show || m_disabled || w <= 0 || h <= 0 || (!m_imageMode && m_size == 0)) {
        ShowWindow(m_hwnd, SW_HIDE);
        return;
    }
    HDC screen = GetDC(nullptr);
    BYTE* bits = nullptr;
    HBITMAP bmp = MRender::CreateARGB32Bitmap(screen, w, h, &bits);
    if (!bmp) {
        ReleaseDC(nullptr, screen);
        return;
    }
    HDC mem = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(mem, bmp);
    if (m_imageMode && m_image) {
        MBitsGraphics g(bits, w, h);
        if (g.ok())
            MRender::DrawImageFrameMID(*g, m_image, CRect(0, 0, w, h), 0, 0, m_imageW, m_imageH, m_corners.left,
                                       m_corners.top, m_corners.right, m_corners.bottom);
    } else {
        BlurredShadow(reinterpret_cast<DWORD*>(bits), w, h, m_sharpness, m_darkness, m_color);
    }
    // The part under the window itself never shows: it stays clear, so that the shadow
    // may lie above the window in z-order without darkening it.
    int left = -m_offsetX + m_size, top = -m_offsetY + m_size;
    if (m_imageMode) {
        left += m_corners.left;
        top += m_corners.top;
    }
    MRender::FillPixels(bits, w, h, CRect(left, top, left + pw, top + ph), 0);

    POINT dst = {wr.left + m_offsetX - m_size - (m_imageMode ? m_corners.left : 0),
                 wr.top + m_offsetY - m_size - (m_imageMode ? m_corners.top : 0)};
    POINT src = {0, 0};
    SIZE size = {w, h};
    BLENDFUNCTION bf = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    UpdateLayeredWindow(m_hwnd, screen, &dst, &size, mem, &src, 0, &bf, ULW_ALPHA);
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(bmp);
    ReleaseDC(nullptr, screen);
    ShowWindow(m_hwnd, SW_SHOWNOACTIVATE);
    Place();
}

// ---------------------------------------------------------------- following the window

LRESULT CALLBACK MShadow::ParentProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)
{
    MShadow* self = FromParent(hwnd);
    if (!self)
        return DefWindowProcW(hwnd, msg, wparam, lparam);
    return self->OnParentMessage(hwnd, msg, wparam, lparam);
}

LRESULT MShadow::OnParentMessage(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)
{
    const WNDPROC previous = m_parentProc;
    switch (msg) {
    case WM_NCDESTROY: {
        // The window's object may go away with it: nothing of this object is read later.
        Shadows().erase(hwnd);
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        m_parent = nullptr;
        m_hwnd = nullptr;
        return CallWindowProcW(previous, hwnd, msg, wparam, lparam);
    }
    case WM_DESTROY:
        if (m_hwnd && IsWindow(m_hwnd))
            DestroyWindow(m_hwnd);
        m_hwnd = nullptr;
        break;
    default:
        break;
    }
    const LRESULT result = CallWindowProcW(previous, hwnd, msg, wparam, lparam);
    if (FromParent(hwnd) != this)
        return result; // the window (and maybe this object) went away meanwhile
    switch (msg) {
    case WM_MOVE:
        Place();
        break;
    case WM_SIZE:
        if (wparam == SIZE_MINIMIZED) {
            if (m_hwnd)
                ShowWindow(m_hwnd, SW_HIDE);
        } else {
            CRect wr;
            ::GetWindowRect(hwnd, &wr);
            // A bigger window waits for its next paint, so that the shadow never shows
            // before the window has grown on the screen.
            if (wr.Width() > m_lastParentSize.cx || wr.Height() > m_lastParentSize.cy)
                m_updatePending = 1;
            else
                Update();
        }
        break;
    case WM_PAINT:
        if (m_updatePending) {
            m_updatePending = 0;
            Update();
        }
        break;
    case WM_SHOWWINDOW:
        if (wparam)
            m_updatePending = 1;
        else if (m_hwnd)
            ShowWindow(m_hwnd, SW_HIDE);
        break;
    case WM_WINDOWPOSCHANGED: {
        const auto* pos = reinterpret_cast<const WINDOWPOS*>(lparam);
        if (pos->flags & SWP_SHOWWINDOW)
            Update();
        else if (pos->flags & SWP_HIDEWINDOW) {
            if (m_hwnd)
                ShowWindow(m_hwnd, SW_HIDE);
        }
        break;
    }
    case WM_NCACTIVATE:
    case WM_ACTIVATE:
        Place();
        break;
    default:
        break;
    }
    return result;
}
