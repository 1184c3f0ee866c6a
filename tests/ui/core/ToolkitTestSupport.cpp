#include <gtest/gtest.h>

#include "ToolkitTestSupport.h"

#include <cstdio>
#include <cstdlib>

#include "support/TestPaths.h"

namespace toolkit_test {
namespace {

// GDI+ runs for the whole test process, as it does for the program.
class GdiplusEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&token_, &input, nullptr);
        Manager::SetInstance(GetModuleHandleW(nullptr));
    }
    void TearDown() override { Gdiplus::GdiplusShutdown(token_); }

private:
    ULONG_PTR token_ = 0;
};

const ::testing::Environment* const kGdiplus = ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

} // namespace

std::wstring SkinName(const wchar_t* fixture) { return std::wstring(L"..\\..\\fixtures\\") + fixture; }

std::wstring FixturePath(const wchar_t* fixture) { return testsupport::ExeFolder() + L"\\fixtures\\" + fixture; }

void Pump(int milliseconds)
{
    const DWORD end = GetTickCount() + static_cast<DWORD>(milliseconds);
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (milliseconds > 0)
            Sleep(1);
    } while (static_cast<int>(end - GetTickCount()) > 0);
}

bool PumpUntil(const std::function<bool()>& done, int milliseconds)
{
    const DWORD end = GetTickCount() + static_cast<DWORD>(milliseconds);
    while (!done()) {
        if (static_cast<int>(end - GetTickCount()) <= 0)
            return done();
        Pump();
        Sleep(2);
    }
    return true;
}

// ---------------------------------------------------------------- Canvas

Canvas::Canvas(int w, int h, uint32_t rgb) : w_(w), h_(h)
{
    HDC screen = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    bmp_ = MRender::CreateARGB32Bitmap(dc_, w, h, &bits_);
    old_ = SelectObject(dc_, bmp_);
    Fill(rgb);
}

Canvas::~Canvas()
{
    SelectObject(dc_, old_);
    DeleteObject(bmp_);
    DeleteDC(dc_);
}

void Canvas::Fill(uint32_t rgb) { MRender::FillPixels(bits_, w_, h_, CRect(0, 0, w_, h_), 0xFF000000 | rgb); }

uint32_t Canvas::Rgb(int x, int y) const
{
    GdiFlush();
    const uint32_t* px = reinterpret_cast<const uint32_t*>(bits_);
    return px[static_cast<size_t>(h_ - 1 - y) * w_ + x] & 0xFFFFFF;
}

uint32_t Canvas::Alpha(int x, int y) const
{
    GdiFlush();
    const uint32_t* px = reinterpret_cast<const uint32_t*>(bits_);
    return px[static_cast<size_t>(h_ - 1 - y) * w_ + x] >> 24;
}

::testing::AssertionResult RgbNear(uint32_t actual, uint32_t expected, int tolerance)
{
    for (int shift : {0, 8, 16}) {
        const int a = static_cast<int>((actual >> shift) & 0xFF), e = static_cast<int>((expected >> shift) & 0xFF);
        if (std::abs(a - e) > tolerance) {
            char text[96];
            std::snprintf(text, sizeof(text), "colour %06X is not within %d of %06X", actual, tolerance, expected);
            return ::testing::AssertionFailure() << text;
        }
    }
    return ::testing::AssertionSuccess();
}

// ---------------------------------------------------------------- RecordingOwner

LRESULT RecordingOwner::OnBaseMessage(UINT id, UINT code, WPARAM wparam, LPARAM lparam)
{
    notes.push_back(Note{id, code, wparam, lparam});
    return 0;
}

LRESULT RecordingOwner::OnControlUpdate(CRect rect, int rebuild, MControl* control)
{
    updates.push_back(Update{rect, rebuild, control});
    return 0;
}

// ---------------------------------------------------------------- ProbeControl

ProbeControl::ProbeControl(MObject* parent, UINT id, CRect rect, uint32_t colour)
    : MControlFont(parent, id, rect, L"", 1, 1, 1), rgb(colour)
{
}

void ProbeControl::DrawControl(HDC& dc, CRect)
{
    const int w = m_rect.Width(), h = m_rect.Height();
    if (!m_update) {
        ++renders_;
        UpdateMemDC(dc, w, h);
        MRender::FillPixels(m_cacheBits, w, h, CRect(0, 0, w, h), 0xFF000000 | rgb);
    }
    BlitCache(dc);
}

void ProbeControl::Record(const char* what, CPoint pt)
{
    char text[64];
    std::snprintf(text, sizeof(text), "%s %ld,%ld", what, pt.x, pt.y);
    calls.push_back(text);
    points.push_back(pt);
}

int ProbeControl::OnControlMouseMove(UINT, CPoint pt)
{
    Record("move", pt);
    return handleMouse && m_rect.PtInRect(pt) ? 1 : 0;
}

int ProbeControl::OnControlLButtonDown(UINT, CPoint pt)
{
    Record("ldown", pt);
    if (buttonModel && m_enabled && m_rect.PtInRect(pt)) {
        state_ = 2;
        SendMessage(MN_PRESSED, 0, 0);
    }
    return handleMouse;
}

int ProbeControl::OnControlLButtonUp(UINT, CPoint pt)
{
    Record("lup", pt);
    if (buttonModel) {
        const int was = state_;
        state_ = m_rect.PtInRect(pt) ? 1 : 0;
        if (state_ == 1 && was == 2)
            SendMessage(MN_CLICKED, 0, 0);
    }
    return handleMouse;
}

int ProbeControl::OnControlLButtonDblClk(UINT, CPoint pt)
{
    Record("ldbl", pt);
    return handleMouse;
}

int ProbeControl::OnControlRButtonDown(UINT, CPoint pt)
{
    Record("rdown", pt);
    return handleMouse;
}

int ProbeControl::OnControlRButtonUp(UINT, CPoint pt)
{
    Record("rup", pt);
    return handleMouse;
}

int ProbeControl::OnControlScroll(int, UINT down, CPoint pt)
{
    Record("scroll", pt);
    scrollDirections.push_back(down);
    return handleScroll;
}

int ProbeControl::OnControlKeyDown(UINT key, UINT repeat, UINT modifiers)
{
    keyModifiers.push_back(modifiers);
    char text[32];
    std::snprintf(text, sizeof(text), "key %u", key);
    calls.push_back(text);
    return MControlFont::OnControlKeyDown(key, repeat, modifiers) || handleKeys;
}

int ProbeControl::OnControlTimer()
{
    ++timerTicks;
    if (onTimer)
        onTimer();
    return 1;
}

int ProbeControl::SetControlFocus(int focus)
{
    focusChanges.push_back(focus);
    return MControlFont::SetControlFocus(focus);
}

// ---------------------------------------------------------------- TestDialog

void TestDialog::InitUI(CRect client)
{
    ++initCalls;
    initClient = client;
    if (build)
        build(*this, client);
}

LRESULT TestDialog::OnMessage(UINT id, UINT code, WPARAM wparam, LPARAM lparam)
{
    notes.push_back(RecordingOwner::Note{id, code, wparam, lparam});
    return 0;
}

LRESULT TestDialog::OnWindowMessage(UINT msg, WPARAM wparam, LPARAM lparam)
{
    if (intercept && intercept(msg, wparam, lparam))
        return 0;
    return MDialog::OnWindowMessage(msg, wparam, lparam);
}

LRESULT TestDialog::OnControlUpdate(CRect rect, int rebuild, MControl* control)
{
    updateThreads.push_back(GetCurrentThreadId());
    return MDialog::OnControlUpdate(rect, rebuild, control);
}

HWND TestDialog::CreateHidden(int w, int h, int x, int y)
{
    return Create(nullptr, L"toolkit test", WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, CRect(x, y, x + w, y + h));
}

void Mouse(HWND hwnd, UINT msg, int x, int y, WPARAM flags)
{
    SendMessageW(hwnd, msg, flags, MAKELPARAM(x, y));
}

void MoveMouse(int x, int y)
{
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dx = static_cast<LONG>((x * 65535LL + (w - 1) / 2) / (w - 1));
    in.mi.dy = static_cast<LONG>((y * 65535LL + (h - 1) / 2) / (h - 1));
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof(in));
}

void Click(DWORD flags)
{
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    SendInput(1, &in, sizeof(in));
}

void ActivateWindow(HWND hwnd)
{
    SetForegroundWindow(hwnd);
    SetActiveWindow(hwnd);
    PumpUntil([&] { return GetForegroundWindow() == hwnd; }, 2000);
    Pump(30);
}

} // namespace toolkit_test
