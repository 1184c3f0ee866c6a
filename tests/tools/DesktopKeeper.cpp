// Keeps Wine's desktop process alive for a whole test run. Without a window of its own
// the desktop process starts with the first test that touches the screen and lingers
// about a second after each such test ends, holding the test's output pipe open, so
// every window test would pay that second. This program owns one hidden top-level
// window until the Wine server ends it.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = instance;
    wc.lpszClassName = L"TastroDesktopKeeper";
    RegisterClassW(&wc);
    if (!CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                         instance, nullptr))
        return 1;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    return 0;
}
