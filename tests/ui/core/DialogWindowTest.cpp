// Windows and dialogs: creation, the modal loop and its results, the close protocol,
// Alt+F4, dialogs that delete themselves, centring, and a dialog painted on the screen.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "ToolkitTestSupport.h"

using namespace toolkit_test;

namespace {

const UINT kPoke = WM_APP + 7;

// Runs `onMessage` for every message the thread's GetMessage returns, before the caller
// sees it (a message hook of this thread only).
class GetMessageHook {
public:
    explicit GetMessageHook(std::function<void(MSG&)> onMessage)
    {
        current() = std::move(onMessage);
        hook_ = SetWindowsHookExW(WH_GETMESSAGE, Proc, nullptr, GetCurrentThreadId());
    }
    ~GetMessageHook()
    {
        UnhookWindowsHookEx(hook_);
        current() = nullptr;
    }
    bool ok() const { return hook_ != nullptr; }

private:
    static std::function<void(MSG&)>& current()
    {
        static std::function<void(MSG&)> fn;
        return fn;
    }
    static LRESULT CALLBACK Proc(int code, WPARAM wparam, LPARAM lparam)
    {
        if (code == HC_ACTION && wparam == PM_REMOVE && current())
            current()(*reinterpret_cast<MSG*>(lparam));
        return CallNextHookEx(nullptr, code, wparam, lparam);
    }
    HHOOK hook_;
};

void HoldKeys(std::initializer_list<int> keys)
{
    BYTE state[256] = {};
    for (int k : keys)
        state[k] = 0x80;
    SetKeyboardState(state);
}

// Deleting one poisons and keeps its memory, so that a read after the deletion crashes.
class SelfDeletingDialog : public TestDialog {
public:
    static void* operator new(size_t size) { return ::operator new(size); }
    static void operator delete(void* p, size_t size) { std::memset(p, 0xDD, size); }
    int PostNcDestroy() override
    {
        delete this; // like a menu window
        return 0;
    }
};

class VetoDialog : public TestDialog {
public:
    LRESULT OnUserCloseWindow(WPARAM wparam, LPARAM lparam) override
    {
        if (vetoes-- > 0)
            return 1; // stays open
        return TestDialog::OnUserCloseWindow(wparam, lparam);
    }
    int vetoes = 1;
};

} // namespace

TEST(DialogWindow, CreatedBorderlessWithTheToolkitClassAndItsControlsBuilt)
{
    TestDialog dlg;
    dlg.build = [](TestDialog& d, CRect client) {
        d.CreateArea(L"CArea", 50, CRect(0, 0, client.Width(), 10));
    };
    HWND hwnd = dlg.Create(nullptr, L"caption", WS_OVERLAPPEDWINDOW, 0, CRect(10, 10, 410, 310));
    ASSERT_NE(hwnd, nullptr);
    wchar_t cls[64] = {};
    GetClassNameW(hwnd, cls, 64);
    EXPECT_STREQ(cls, L"ZuntClient");
    const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
    EXPECT_EQ(style & WS_CAPTION, 0);
    EXPECT_EQ(style & WS_THICKFRAME, 0);
    EXPECT_EQ(style & (WS_CLIPSIBLINGS | WS_CLIPCHILDREN), WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    EXPECT_EQ(dlg.initCalls, 1) << "controls are built inside Create";
    CRect client;
    GetClientRect(hwnd, &client);
    EXPECT_EQ(dlg.initClient, client);
    ASSERT_NE(dlg.GetControl(50), nullptr);
    EXPECT_EQ(dlg.GetControl(50)->GetParantObject(), static_cast<MObject*>(&dlg));
    EXPECT_EQ(dlg.GetPaintManager().GetScrollVID(), 102u);
    EXPECT_EQ(dlg.GetPaintManager().GetScrollHID(), 101u);
    EXPECT_STREQ(dlg.GetClassName(), L"MDialog");
    EXPECT_EQ(dlg.Create(nullptr, L"again", WS_POPUP, 0, CRect()), hwnd) << "a live window is returned";
    EXPECT_EQ(dlg.initCalls, 1);
    EXPECT_EQ(MWindow::FromHandle(hwnd), &dlg);
    dlg.DestroyWindow();
    EXPECT_EQ(dlg.GetSafeHwnd(), nullptr);
    EXPECT_EQ(dlg.GetPaintManager().IsInit(), 0) << "the window's end releases the manager's data";
}

TEST(DialogWindow, ShowModalReturnsTheCloseCode)
{
    struct Case {
        const char* what;
        std::function<void(TestDialog&)> close;
        UINT expected;
    };
    const Case cases[] = {
        {"OK", [](TestDialog& d) { d.DoOK(); }, 1},
        {"cancel", [](TestDialog& d) { d.DoCancel(); }, 2},
        {"close", [](TestDialog& d) { d.DoClose(); }, 2},
        {"yes", [](TestDialog& d) { d.DoYes(); }, 6},
        {"no", [](TestDialog& d) { d.DoNo(); }, 7},
        {"destroyed without WM_CLOSE", [](TestDialog& d) { d.PostMessage(kPoke); }, 0},
    };
    for (const Case& c : cases) {
        TestDialog dlg;
        dlg.intercept = [&dlg](UINT msg, WPARAM, LPARAM) {
            if (msg == kPoke)
                dlg.DestroyWindow();
            return msg == kPoke;
        };
        ASSERT_NE(dlg.CreateHidden(), nullptr);
        c.close(dlg);
        EXPECT_EQ(dlg.ShowModal(SW_HIDE), c.expected) << c.what;
        EXPECT_EQ(dlg.GetSafeHwnd(), nullptr) << c.what;
    }
    TestDialog never;
    EXPECT_EQ(never.ShowModal(), 0xFFFFFFFFu) << "no window";
}

TEST(DialogWindow, ModalLoopDisablesTheOwnerAndAVetoKeepsItRunning)
{
    TestDialog owner;
    ASSERT_NE(owner.CreateHidden(), nullptr);
    VetoDialog dlg;
    ASSERT_NE(dlg.Create(owner.GetSafeHwnd(), L"modal", WS_POPUP, 0, CRect(0, 0, 100, 100)), nullptr);
    BOOL ownerEnabledInside = TRUE;
    int pokes = 0;
    dlg.intercept = [&](UINT msg, WPARAM, LPARAM) {
        if (msg == kPoke) {
            ownerEnabledInside = IsWindowEnabled(owner.GetSafeHwnd());
            if (++pokes == 1)
                dlg.DoOK(); // vetoed
            else
                dlg.DoNo();
        }
        return msg == kPoke;
    };
    dlg.PostMessage(kPoke);
    dlg.PostMessage(kPoke);
    EXPECT_EQ(dlg.ShowModal(SW_HIDE), 7u);
    EXPECT_EQ(pokes, 2);
    EXPECT_FALSE(ownerEnabledInside);
    EXPECT_TRUE(IsWindowEnabled(owner.GetSafeHwnd()));
    owner.DestroyWindow();
}

TEST(DialogWindow, QuitDuringTheModalLoopEndsItAndIsPostedAgain)
{
    TestDialog dlg;
    ASSERT_NE(dlg.CreateHidden(), nullptr);
    PostQuitMessage(42);
    EXPECT_EQ(dlg.ShowModal(SW_HIDE), 0u);
    EXPECT_NE(dlg.GetSafeHwnd(), nullptr) << "the window itself is not closed";
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 42u);
    dlg.DestroyWindow();
}

TEST(DialogWindow, ModalLoopReadsNothingFromADialogThatDeletedItself)
{
    auto* dlg = new SelfDeletingDialog;
    ASSERT_NE(dlg->CreateHidden(), nullptr);
    dlg->DoYes();
    EXPECT_EQ(dlg->ShowModal(SW_HIDE), 6u);
}

TEST(DialogWindow, AltF4IsDroppedByTheModalLoopAndTheMessageLoop)
{
    for (bool held : {false, true}) {
        for (bool modal : {true, false}) {
            TestDialog dlg;
            ASSERT_NE(dlg.CreateHidden(), nullptr);
            std::vector<UINT> seen;
            dlg.intercept = [&](UINT msg, WPARAM, LPARAM) {
                if (msg == WM_SYSKEYDOWN || msg == kPoke)
                    seen.push_back(msg);
                return msg == WM_SYSKEYDOWN; // never let the system close the window
            };
            // The keys are let go while the marker message is fetched, then the loop ends.
            GetMessageHook hook([&](MSG& msg) {
                if (msg.message != kPoke)
                    return;
                HoldKeys({});
                if (modal)
                    dlg.DoOK();
                else
                    PostQuitMessage(3);
            });
            ASSERT_TRUE(hook.ok());
            if (held)
                HoldKeys({VK_MENU, VK_F4});
            dlg.PostMessage(WM_SYSKEYDOWN, VK_F4, 0x203E0001);
            dlg.PostMessage(kPoke);
            if (modal)
                EXPECT_EQ(dlg.ShowModal(SW_HIDE), 1u);
            else
                EXPECT_EQ(Manager::MessageLoop(), 3);
            const std::vector<UINT> expected =
                held ? std::vector<UINT>{kPoke} : std::vector<UINT>{WM_SYSKEYDOWN, kPoke};
            EXPECT_EQ(seen, expected) << (modal ? "modal loop" : "message loop") << (held ? ", keys held" : "");
            HoldKeys({});
            if (dlg.GetSafeHwnd())
                dlg.DestroyWindow();
        }
    }
}

TEST(DialogWindow, CentringFollowsAVisibleOwnerElseTheWorkArea)
{
    MONITORINFO mi = {};
    mi.cbSize = sizeof(mi);
    GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &mi);
    const CRect work(mi.rcWork);

    TestDialog owner;
    ASSERT_NE(owner.Create(nullptr, L"owner", WS_POPUP | WS_VISIBLE, 0, CRect(100, 100, 500, 400)), nullptr);
    TestDialog dlg;
    ASSERT_NE(dlg.Create(owner.GetSafeHwnd(), L"child", WS_POPUP, 0, CRect(0, 0, 200, 100)), nullptr);
    CRect r;

    dlg.CenterWindow();
    dlg.GetWindowRect(r);
    EXPECT_EQ(r, CRect(200, 200, 400, 300)) << "centred on the visible owner";

    owner.MoveWindow(work.right - 100, work.bottom - 50, 400, 300);
    dlg.CenterWindow();
    dlg.GetWindowRect(r);
    EXPECT_EQ(r.right, work.right) << "kept inside the work area";
    EXPECT_EQ(r.bottom, work.bottom);

    owner.ShowWindow(SW_MINIMIZE);
    ASSERT_TRUE(owner.GetStyle() & WS_MINIMIZE);
    dlg.CenterWindow();
    dlg.GetWindowRect(r);
    EXPECT_EQ(r.left, work.left + (work.Width() - 200) / 2) << "owner minimised: the work area";
    EXPECT_EQ(r.top, work.top + (work.Height() - 100) / 2);

    dlg.DestroyWindow();
    owner.DestroyWindow();
}

TEST(DialogWindow, ShownDialogPaintsItsBackgroundAndAreasOnTheScreen)
{
    TestDialog dlg;
    dlg.build = [](TestDialog& d, CRect) {
        auto* area = static_cast<CArea*>(d.CreateArea(L"CArea", 9, CRect(20, 20, 120, 80)));
        area->SetTransparent(0, 0, RGB(0, 160, 80));
        auto* half = static_cast<CArea*>(d.CreateControl(L"CArea", 10, CRect(140, 20, 190, 80), L""));
        half->SetTransparent(50, 50, RGB(255, 255, 255));
    };
    ASSERT_NE(dlg.Create(nullptr, L"shown", WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, WS_EX_TOPMOST,
                         CRect(300, 300, 500, 450)),
              nullptr);
    dlg.SetBackColor(RGB(40, 30, 20), RGB(200, 0, 0));
    dlg.ShowWindow(SW_SHOW);
    HDC screen = GetDC(nullptr);
    auto pixel = [&](int x, int y) {
        COLORREF c = GetPixel(screen, 300 + x, 300 + y);
        return (static_cast<uint32_t>(GetRValue(c)) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    };
    const bool painted = PumpUntil([&] { return RgbNear(pixel(60, 50), 0x00A050); });
    EXPECT_TRUE(painted);
    EXPECT_TRUE(RgbNear(pixel(60, 50), 0x00A050)) << "opaque area";
    EXPECT_TRUE(RgbNear(pixel(100, 120), 0x281E14)) << "background inside the border";
    EXPECT_TRUE(RgbNear(pixel(0, 75), 0xC80000)) << "one-pixel border";
    // Half transparent white over the background: (255 + 40) / 2 and so on.
    EXPECT_TRUE(RgbNear(pixel(165, 50), 0x948F8A, 3));
    ReleaseDC(nullptr, screen);
    dlg.DestroyWindow();
}

TEST(DialogWindow, ClosingADialogWhileItIsDraggedEndsTheDrag)
{
    TestDialog dlg;
    ASSERT_NE(dlg.Create(nullptr, L"dragged", WS_POPUP | WS_VISIBLE, WS_EX_TOPMOST, CRect(400, 400, 600, 500)),
              nullptr);
    HWND hwnd = dlg.GetSafeHwnd();
    SetForegroundWindow(hwnd);
    SetActiveWindow(hwnd);
    Pump(50);
    // A watchdog ends a move loop that would otherwise wait forever.
    struct Watchdog {
        DWORD thread = GetCurrentThreadId();
        HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        volatile LONG fired = 0;
        HANDLE worker = nullptr;
        static DWORD WINAPI Run(void* p)
        {
            auto* w = static_cast<Watchdog*>(p);
            if (WaitForSingleObject(w->stop, 5000) == WAIT_TIMEOUT) {
                w->fired = 1;
                PostThreadMessageW(w->thread, WM_LBUTTONUP, 0, 0);
            }
            return 0;
        }
        Watchdog() { worker = CreateThread(nullptr, 0, Run, this, 0, nullptr); }
        ~Watchdog()
        {
            SetEvent(stop);
            WaitForSingleObject(worker, INFINITE);
            CloseHandle(worker);
            CloseHandle(stop);
        }
    } watchdog;
    dlg.DoOK(); // handled inside the move loop: the dialog closes while being dragged
    Mouse(hwnd, WM_MOUSEMOVE, 100, 50);
    Mouse(hwnd, WM_LBUTTONDOWN, 100, 50, MK_LBUTTON); // empty space: the window drag starts
    Pump(50);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(watchdog.fired, 0) << "the move loop had to be ended from outside";
}

TEST(DialogWindow, BringToTopRestoresAMinimisedWindowAndShowsAHiddenOne)
{
    TestDialog dlg;
    ASSERT_NE(dlg.CreateHidden(), nullptr);
    dlg.BringToTop();
    EXPECT_TRUE(dlg.IsWindowVisible());
    dlg.ShowWindow(SW_MINIMIZE);
    ASSERT_TRUE(dlg.IsIconic());
    dlg.BringToTop();
    EXPECT_FALSE(dlg.IsIconic());
    EXPECT_TRUE(dlg.IsWindowVisible());
    dlg.DestroyWindow();
    TestDialog none;
    none.BringToTop(); // no window: nothing happens
    EXPECT_EQ(none.GetStyle(), 0u);
}
