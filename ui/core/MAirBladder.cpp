#include "MAirBladder.h"

#include <algorithm>

#include "MRender.h"
#include "Manager.h"
#include "zuntui_resource.h"

namespace {

const int kFontPixels = 14;
const Gdiplus::ARGB kTextColor = 0xFE141414;
// On a dark background image the near-black text would not be readable.
const Gdiplus::ARGB kTextOnDarkColor = 0xFEF0F0F0;
const int kBackCorner = 6;
// Popup, clip siblings and children; created hidden (it is shown without activation).
const DWORD kStyle = 0x96000080 & ~WS_VISIBLE;

Gdiplus::FontFamily* FirstFamily(Gdiplus::PrivateFontCollection& fonts)
{
    if (fonts.GetFamilyCount() <= 0)
        return nullptr;
    Gdiplus::FontFamily family;
    INT found = 0;
    if (fonts.GetFamilies(1, &family, &found) != Gdiplus::Ok || found < 1)
        return nullptr;
    return family.Clone();
}

// The text colour for a background image: near black, or near white when the middle of the
// image is dark (the same skin image also backs light-on-dark key tips).
Gdiplus::ARGB TextColorFor(Gdiplus::Image* background, int width, int height)
{
    if (!background || width <= 0 || height <= 0)
        return kTextColor;
    Gdiplus::Bitmap probe(1, 1, PixelFormat32bppARGB);
    Gdiplus::Graphics g(&probe);
    g.DrawImage(background, Gdiplus::Rect(0, 0, 1, 1), width / 2, height / 2, 1, 1, Gdiplus::UnitPixel);
    Gdiplus::Color c;
    if (probe.GetPixel(0, 0, &c) != Gdiplus::Ok || c.GetA() < 128)
        return kTextColor;
    const int luminance = (299 * c.GetR() + 587 * c.GetG() + 114 * c.GetB()) / 1000;
    return luminance < 110 ? kTextOnDarkColor : kTextColor;
}

} // namespace

MAirBladder::MAirBladder() = default;

MAirBladder::~MAirBladder()
{
    if (m_hwnd && IsWindow(m_hwnd))
        ::DestroyWindow(m_hwnd);
    for (Picture* p : {&m_background, &m_arrowLeft, &m_arrowRight, &m_arrowTop})
        delete p->image;
    delete m_family;
    delete m_fonts;
}

HWND MAirBladder::CreateBalloon(HWND owner)
{
    return Create(owner, L"AirBladder Window", kStyle, WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, CRect());
}

int MAirBladder::OnInitDialog()
{
    if (!m_family) {
        HINSTANCE module = Manager::GetLibraryInstance();
        HRSRC res = FindResourceW(module, MAKEINTRESOURCEW(IDR_FONT_TTF), L"TTF");
        HGLOBAL loaded = res ? LoadResource(module, res) : nullptr;
        const void* data = loaded ? LockResource(loaded) : nullptr;
        if (data) {
            m_fonts = new Gdiplus::PrivateFontCollection;
            if (m_fonts->AddMemoryFont(data, static_cast<INT>(SizeofResource(module, res))) == Gdiplus::Ok)
                m_family = FirstFamily(*m_fonts);
        }
    }
    if (!m_background.image)
        LoadBKImage(L"img_tip_bk.png");
    if (!m_arrowLeft.image)
        LoadArrowLImage(L"img_tip_arrow_left.png");
    if (!m_arrowRight.image)
        LoadArrowRImage(L"img_tip_arrow_right.png");
    if (!m_arrowTop.image)
        LoadArrowTImage(L"img_tip_arrow_top.png");
    return 1;
}

LRESULT MAirBladder::OnWindowMessage(UINT msg, WPARAM wparam, LPARAM lparam)
{
    switch (msg) {
    case WM_CREATE: {
        // Borderless like the dialogs, and a tool window (no task bar button).
        const DWORD style = GetStyle();
        SetWindowLongPtrW(m_hwnd, GWL_STYLE, static_cast<LONG_PTR>((style & 0xFF3BFFFF) | 0x06000008));
        ModifyExStyle(0, WS_EX_TOOLWINDOW | WS_EX_LAYERED);
        return 0;
    }
    case WM_SIZE: {
        const int w = LOWORD(lparam), h = HIWORD(lparam);
        HRGN region = wparam == SIZE_MAXIMIZED ? CreateRectRgn(0, 0, w, h) : CreateRoundRectRgn(0, 0, w + 1, h + 1, 3, 3);
        if (region && !SetWindowRgn(m_hwnd, region, TRUE))
            DeleteObject(region);
        return 0;
    }
    case WM_TIMER:
        if (wparam == kHideTimer) {
            StopHideTimer();
            if (IsWindowVisible())
                ::ShowWindow(m_hwnd, SW_HIDE);
        }
        return 0;
    case WM_KILLFOCUS:
    case WM_ACTIVATE:
        if (msg == WM_KILLFOCUS || LOWORD(wparam) == WA_INACTIVE) {
            StopHideTimer();
            if (m_mode != AIRBLADDER_MODE_KEEP && IsWindowVisible())
                ::ShowWindow(m_hwnd, SW_HIDE);
        }
        return 0;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(m_hwnd, &ps);
        EndPaint(m_hwnd, &ps);
        return 0;
    }
    default:
        break;
    }
    if ((msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) || (msg >= WM_KEYFIRST && msg <= WM_KEYLAST))
        return 0; // input on the balloon is ignored
    return MWindow::OnWindowMessage(msg, wparam, lparam);
}

int MAirBladder::SetAirBladderMsg(const wchar_t* text, POINT anchor, AIRBLADDER_TYPE type, AIRBLADDER_MODE mode)
{
    const CString newText(text);
    if (newText == m_text && anchor.x == m_anchor.x && anchor.y == m_anchor.y && type == m_type && mode == m_mode)
        return 1;
    m_centred = false;
    m_text = newText;
    m_anchor = anchor;
    m_type = type;
    m_mode = mode;
    Fit();
    if (type == AIRBLADDER_TYPE_STAY) {
        StopHideTimer(); // a timer of an earlier message must not hide this one
    } else if (m_hwnd) {
        MWindow::SetTimer(kHideTimer, AIRBLADDER_HIDE_MS);
        m_hideStart = std::max<DWORD>(GetTickCount(), 1);
    }
    return 1;
}

void MAirBladder::StopHideTimer()
{
    if (m_hwnd)
        MWindow::KillTimer(kHideTimer);
    m_hideStart = 0;
}

void MAirBladder::Fit()
{
    int w = 0;
    m_lines = 1 + static_cast<int>(std::count(m_text.begin(), m_text.end(), L'\n'));
    m_lineHeight = 0;
    if (!m_text.IsEmpty()) {
        Gdiplus::Font font(m_family ? m_family : Gdiplus::FontFamily::GenericSansSerif(),
                           static_cast<Gdiplus::REAL>(kFontPixels), Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
        Gdiplus::StringFormat format(Gdiplus::StringFormatFlagsNoWrap | Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
        const CSize size = MRender::GetTextBounds(font, format, m_text);
        w = size.cx;
        m_lineHeight = size.cy;
    }
    if (m_lines == 1 || m_mode == AIRBLADDER_MODE_ABOVE)
        m_centred = true;
    const int e = m_lines * m_lineHeight;
    const int x = m_anchor.x, y = m_anchor.y;
    CRect r;
    switch (m_mode) {
    case AIRBLADDER_MODE_RIGHT:
        r.left = x;
        r.top = y - e / 2 - 10;
        r.right = x + w + 40;
        r.bottom = r.top + e + 20;
        break;
    case AIRBLADDER_MODE_LEFT:
        r.SetRect(x - w - 40, y - 27, x, y + e - 7);
        break;
    case AIRBLADDER_MODE_ABOVE:
        r.left = x - (w + 30) / 2;
        r.top = y - e - 20;
        r.right = r.left + w + 30;
        r.bottom = y;
        break;
    default: // below, and the modes no control uses
        r.SetRect(x - 25, y, x + w + 15, y + e + 30);
        break;
    }
    if (!m_hwnd)
        return;
    ::SetWindowPos(m_hwnd, nullptr, r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    Paint();
}

void MAirBladder::Paint()
{
    CRect client;
    if (!m_hwnd || !GetClientRect(client) || client.IsRectEmpty())
        return;
    const int w = client.Width(), h = client.Height();
    HDC screen = GetDC(nullptr);
    BYTE* bits = nullptr;
    HBITMAP bmp = MRender::CreateARGB32Bitmap(screen, w, h, &bits);
    HDC mem = bmp ? ::CreateCompatibleDC(screen) : nullptr;
    if (mem) {
        HGDIOBJ old = SelectObject(mem, bmp);
        {
            MBitsGraphics bitsGraphics(bits, w, h);
            if (bitsGraphics.ok()) {
                Gdiplus::Graphics& g = *bitsGraphics;
                if (m_background.image) {
                    MRender::DrawImageFrame(g, m_background.image, CRect(0, 0, w - 1, h - 1), 0, 0,
                                            m_background.width, m_background.height, kBackCorner);
                } else {
                    // Without the skin image the text still needs something to stand on.
                    MRender::DrawRoundRectange(g, 0.0f, 0.0f, static_cast<float>(w - 1), static_cast<float>(h - 1),
                                               8.0f, 0xFEC8C8C8, 1.0f, true, 0xFEFAFAFA);
                }
                if (!m_text.IsEmpty()) {
                    Gdiplus::Font font(m_family ? m_family : Gdiplus::FontFamily::GenericSansSerif(),
                                       static_cast<Gdiplus::REAL>(kFontPixels), Gdiplus::FontStyleRegular,
                                       Gdiplus::UnitPixel);
                    Gdiplus::StringFormat format(Gdiplus::StringFormatFlagsNoWrap |
                                                 Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
                    if (m_centred) {
                        format.SetAlignment(Gdiplus::StringAlignmentCenter);
                        format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
                    }
                    const int textH = m_lines * m_lineHeight;
                    Gdiplus::RectF box(8.0f, static_cast<Gdiplus::REAL>((h - textH) / 2 + m_lines - 1),
                                       static_cast<Gdiplus::REAL>(w - 16), static_cast<Gdiplus::REAL>(textH + 2));
                    Gdiplus::SolidBrush brush{Gdiplus::Color(
                        TextColorFor(m_background.image, m_background.width, m_background.height))};
                    g.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
                    g.DrawString(m_text.c_str(), m_text.GetLength(), &font, box, &format, &brush);
                }
            }
        }
        CRect window;
        GetWindowRect(window);
        POINT dest{window.left, window.top}, origin{0, 0};
        SIZE size{w, h};
        BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        ModifyExStyle(0, WS_EX_LAYERED);
        UpdateLayeredWindow(m_hwnd, screen, &dest, &size, mem, &origin, 0, &blend, ULW_ALPHA);
        SelectObject(mem, old);
        DeleteDC(mem);
    }
    if (bmp)
        DeleteObject(bmp);
    ReleaseDC(nullptr, screen);
}

int MAirBladder::Load(Picture& picture, Gdiplus::Image* image)
{
    if (!image)
        return 0;
    delete picture.image;
    picture.image = image;
    picture.width = static_cast<int>(image->GetWidth());
    picture.height = static_cast<int>(image->GetHeight());
    return 1;
}

static Gdiplus::Image* SkinImage(const wchar_t* file)
{
    return file && *file ? MRender::LoadImageFromFile(Manager::GetSkinFolder() + file) : nullptr;
}

static Gdiplus::Image* LibraryImage(UINT id, const CString& type)
{
    return MRender::LoadImageFromIDResource(id, type, Manager::GetLibraryInstance());
}

int MAirBladder::LoadBKImage(const wchar_t* file) { return Load(m_background, SkinImage(file)); }
int MAirBladder::LoadBKImage(UINT id, CString type) { return Load(m_background, LibraryImage(id, type)); }
int MAirBladder::LoadArrowLImage(const wchar_t* file) { return Load(m_arrowLeft, SkinImage(file)); }
int MAirBladder::LoadArrowLImage(UINT id, CString type) { return Load(m_arrowLeft, LibraryImage(id, type)); }
int MAirBladder::LoadArrowRImage(const wchar_t* file) { return Load(m_arrowRight, SkinImage(file)); }
int MAirBladder::LoadArrowRImage(UINT id, CString type) { return Load(m_arrowRight, LibraryImage(id, type)); }
int MAirBladder::LoadArrowTImage(const wchar_t* file) { return Load(m_arrowTop, SkinImage(file)); }
int MAirBladder::LoadArrowTImage(UINT id, CString type) { return Load(m_arrowTop, LibraryImage(id, type)); }

void MAirBladder::SetBackMode(enumBackMode mode, int corner)
{
    m_backMode = mode;
    m_corner = corner;
}

void MAirBladder::CloseWindow() { MWindow::PostMessage(WM_CLOSE); }
