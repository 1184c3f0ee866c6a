#include "CKeyboardTips.h"

#include "CIconButton.h"
#include "MRender.h"
#include "Manager.h"

namespace {
const UINT kEmbeddedFontId = 106; // the toolkit's TrueType font resource
const DWORD kTipStyle = 0x96000080;
const DWORD kTipExStyle = WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TRANSPARENT;

IconButtonTips* MakeIconButtonTips() { return new CKeyboardTips; }

// Icon buttons show their tips in this balloon (installed when the toolkit loads).
const bool kIconButtonTipsInstalled = (CIconButton::SetTipsFactory(&MakeIconButtonTips), true);

struct LineLook {
    int top;
    float size;
    Gdiplus::ARGB color;
};
const LineLook kLines[3] = {{8, 14.0f, 0xFFC8C8C8}, {35, 14.0f, 0xFFFFFFFF}, {63, 18.0f, 0xFFFFFFFF}};
} // namespace

CKeyboardTips::CKeyboardTips() = default;

CKeyboardTips::~CKeyboardTips()
{
    if (m_hwnd && IsWindow(m_hwnd))
        ::DestroyWindow(m_hwnd);
    delete m_back;
    delete m_family;
    delete m_fonts;
}

HWND CKeyboardTips::CreateTips(HWND owner)
{
    if (m_hwnd && IsWindow(m_hwnd))
        return m_hwnd;
    HWND hwnd = Create(owner, L"KeyboardTip Window", kTipStyle & ~WS_VISIBLE, kTipExStyle,
                       CRect(0, 0, kWidth, kHeight));
    if (hwnd && !m_back)
        SetBackImage(L"img_tip_bk.png");
    return hwnd;
}

int CKeyboardTips::OnInitDialog()
{
    if (m_fonts)
        return 1;
    HINSTANCE module = Manager::GetLibraryInstance();
    HRSRC res = FindResourceW(module, MAKEINTRESOURCEW(kEmbeddedFontId), L"TTF");
    HGLOBAL loaded = res ? LoadResource(module, res) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    const DWORD size = res ? SizeofResource(module, res) : 0;
    if (!data || !size)
        return 1;
    m_fonts = new Gdiplus::PrivateFontCollection;
    if (m_fonts->AddMemoryFont(data, static_cast<INT>(size)) == Gdiplus::Ok && m_fonts->GetFamilyCount() > 0) {
        Gdiplus::FontFamily first;
        INT found = 0;
        m_fonts->GetFamilies(1, &first, &found);
        if (found == 1)
            m_family = first.Clone();
    }
    return 1;
}

LRESULT CKeyboardTips::OnWindowMessage(UINT msg, WPARAM wparam, LPARAM lparam)
{
    switch (msg) {
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_NCHITTEST:
        return HTTRANSPARENT;
    default:
        return MWindow::OnWindowMessage(msg, wparam, lparam);
    }
}

int CKeyboardTips::SetBackImage(const wchar_t* file)
{
    if (!file || !*file)
        return 0;
    Gdiplus::Image* image = MRender::LoadImageFromFile(Manager::GetSkinFolder() + file);
    if (!image)
        return 0;
    delete m_back;
    m_back = image;
    return 1;
}

Gdiplus::FontFamily* CKeyboardTips::Family()
{
    if (m_family)
        return m_family;
    // Without the embedded font (a build without resources) the installed Manager font.
    static Gdiplus::FontFamily* fallback = nullptr;
    if (!fallback) {
        auto* f = new Gdiplus::FontFamily(Manager::GetFontName());
        if (f->GetLastStatus() == Gdiplus::Ok)
            fallback = f;
        else
            delete f;
    }
    return fallback;
}

void CKeyboardTips::SetAirBladderMsg(const wchar_t* line1, const wchar_t* line2, const wchar_t* line3, int x,
                                     int y)
{
    const CString texts[3] = {CString(line1), CString(line2), CString(line3)};
    if (texts[0] == m_lines[0] && texts[1] == m_lines[1] && texts[2] == m_lines[2] && x == m_anchor.x &&
        y == m_anchor.y)
        return;
    for (int i = 0; i < 3; ++i)
        m_lines[i] = texts[i];
    m_anchor.x = x;
    m_anchor.y = y;
    if (m_lines[0].IsEmpty()) {
        HideTips(); // an old text must not stay up
        return;
    }
    Repaint();
}

void CKeyboardTips::ShowTips()
{
    if (m_hwnd && !m_lines[0].IsEmpty() && !::IsWindowVisible(m_hwnd))
        ::ShowWindow(m_hwnd, SW_SHOWNOACTIVATE);
}

void CKeyboardTips::ShowTips(HWND owner, POINT anchor, const CString& title, const CString& line2,
                             const CString& line3)
{
    if (!CreateTips(owner))
        return;
    SetAirBladderMsg(title, line2, line3, anchor.x, anchor.y);
    ShowTips();
}

void CKeyboardTips::HideTips()
{
    if (m_hwnd && ::IsWindowVisible(m_hwnd))
        ::ShowWindow(m_hwnd, SW_HIDE);
}

void CKeyboardTips::PaintBalloon(BYTE* bits, int w, int h)
{
    MBitsGraphics surface(bits, w, h);
    if (!surface.ok())
        return;
    Gdiplus::Graphics& g = *surface;
    g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    g.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAliasGridFit); // ClearType needs an opaque surface
    if (m_back && w > 1 && h > 1)
        MRender::DrawImageFrame(g, m_back, CRect(0, 0, w - 1, h - 1), 0, 0, static_cast<int>(m_back->GetWidth()),
                                static_cast<int>(m_back->GetHeight()), 6);
    Gdiplus::FontFamily* family = Family();
    if (!family)
        return;
    Gdiplus::StringFormat format(Gdiplus::StringFormatFlagsNoWrap);
    format.SetAlignment(Gdiplus::StringAlignmentCenter);
    format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    for (int i = 0; i < 3; ++i) {
        if (m_lines[i].IsEmpty())
            continue;
        Gdiplus::Font font(family, kLines[i].size, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
        Gdiplus::SolidBrush brush(Gdiplus::Color(kLines[i].color));
        const Gdiplus::RectF box(10.0f, static_cast<float>(kLines[i].top), static_cast<float>(w - 20), 20.0f);
        g.DrawString(m_lines[i].c_str(), m_lines[i].GetLength(), &font, box, &format, &brush);
    }
}

void CKeyboardTips::Repaint()
{
    if (!m_hwnd)
        return;
    const int w = kWidth, h = kHeight;
    const POINT pos = {m_anchor.x - w / 2, m_anchor.y - h};
    HDC screen = GetDC(nullptr);
    BYTE* bits = nullptr;
    HBITMAP bmp = MRender::CreateARGB32Bitmap(screen, w, h, &bits);
    HDC mem = ::CreateCompatibleDC(screen);
    if (bmp && mem) {
        HGDIOBJ old = SelectObject(mem, bmp);
        PaintBalloon(bits, w, h);
        SIZE size = {w, h};
        POINT origin = {0, 0};
        BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        UpdateLayeredWindow(m_hwnd, screen, const_cast<POINT*>(&pos), &size, mem, &origin, 0, &blend, ULW_ALPHA);
        SelectObject(mem, old);
        ++m_paints;
    }
    if (mem)
        DeleteDC(mem);
    if (bmp)
        DeleteObject(bmp);
    ReleaseDC(nullptr, screen);
}
