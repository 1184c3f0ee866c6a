// A real top-level window on the test display: created, shown, painted, read back
// through the screen and destroyed; the toolkit's settings cross the DLL boundary.
#include <windows.h>
#include <gtest/gtest.h>

#include "ui/core/Manager.h"

namespace {

const COLORREF kFill = RGB(200, 30, 40);

LRESULT CALLBACK FillProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)
{
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        HBRUSH b = CreateSolidBrush(kFill);
        RECT rc;
        GetClientRect(hwnd, &rc);
        FillRect(dc, &rc, b);
        DeleteObject(b);
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wparam, lparam);
}

void PumpMessages()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

} // namespace

TEST(WindowLifecycle, CreateShowPaintDestroy)
{
    HINSTANCE inst = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = FillProc;
    wc.hInstance = inst;
    wc.lpszClassName = L"TastroTestWindow";
    ASSERT_NE(RegisterClassExW(&wc), 0);

    HWND hwnd = CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"probe", WS_POPUP, 100, 100, 200, 120,
                                nullptr, nullptr, inst, nullptr);
    ASSERT_NE(hwnd, nullptr);
    ShowWindow(hwnd, SW_SHOW);
    UpdateWindow(hwnd);
    PumpMessages();
    EXPECT_TRUE(IsWindowVisible(hwnd));

    // The screen runs at 24-bit colour: the painted colour reads back exactly.
    HDC screen = GetDC(nullptr);
    EXPECT_GE(GetDeviceCaps(screen, BITSPIXEL), 24);
    EXPECT_GE(GetDeviceCaps(screen, HORZRES), 1920);
    COLORREF seen = CLR_INVALID;
    for (int i = 0; i < 50 && seen != kFill; ++i) {
        PumpMessages();
        seen = GetPixel(screen, 200, 160);
        if (seen != kFill)
            Sleep(20);
    }
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(seen, kFill);

    EXPECT_TRUE(DestroyWindow(hwnd));
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_TRUE(UnregisterClassW(wc.lpszClassName, inst));
}

TEST(WindowLifecycle, ManagerSettingsCrossTheDllBoundary)
{
    Manager::SetDeviceName(L"Tastro \x952e\x76d8");
    EXPECT_STREQ(Manager::GetDeviceName(), L"Tastro \x952e\x76d8");
    Manager::SetDeviceName(nullptr);
    EXPECT_STREQ(Manager::GetDeviceName(), L"");
    Manager::SetInstance(GetModuleHandleW(nullptr));
    EXPECT_EQ(Manager::GetInstance(), GetModuleHandleW(nullptr));
}
