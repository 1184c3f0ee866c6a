// Controls that go away while the window still knows them (hover, focus, caret, periodic
// tick, window timers, queued repaints), and the periodic tick itself.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>

#include "ToolkitTestSupport.h"

using namespace toolkit_test;

namespace {

// Deleting one poisons its memory and keeps it: any later call through the control
// crashes the test at once instead of silently reading freed memory.
class PoisonedProbe : public ProbeControl {
public:
    using ProbeControl::ProbeControl;
    static void* operator new(size_t size) { return ::operator new(size); }
    static void operator delete(void* p, size_t size)
    {
        std::memset(p, 0xDD, size);
        ++buried;
    }
    static int buried;
};
int PoisonedProbe::buried = 0;

// Ticks slowly and notices being destroyed in the middle of a tick.
std::atomic<bool> g_inTick{false};
std::atomic<bool> g_destroyedDuringTick{false};
std::atomic<int> g_slowTicks{0};

class SlowTicker : public ProbeControl {
public:
    using ProbeControl::ProbeControl;
    ~SlowTicker() override
    {
        if (g_inTick.load())
            g_destroyedDuringTick = true;
    }
    int OnControlTimer() override
    {
        g_inTick = true;
        Sleep(40);
        ++g_slowTicks;
        g_inTick = false;
        return 1;
    }
};

class Lifetime : public testing::Test {
protected:
    void TearDown() override
    {
        if (dlg.GetSafeHwnd())
            dlg.DestroyWindow();
    }
    template <class T = ProbeControl>
    T* Add(UINT id, CRect rect)
    {
        auto* c = new T(static_cast<MObject*>(&dlg), id, rect);
        dlg.AddControl(c);
        return c;
    }
    PaintManager& pm() { return dlg.GetPaintManager(); }
    TestDialog dlg;
};

} // namespace

TEST_F(Lifetime, ControlRemovedWhileHoveredFocusedTickingAndTimedIsNeverTouchedAgain)
{
    ASSERT_NE(dlg.CreateHidden(), nullptr);
    HWND hwnd = dlg.GetSafeHwnd();
    auto* doomed = Add<PoisonedProbe>(1, CRect(0, 0, 100, 100));
    auto* other = Add(2, CRect(150, 0, 250, 100));
    std::atomic<int> ticks{0};
    doomed->onTimer = [&] {
        ++ticks;
        doomed->UpdateControl(1); // from the timer thread: queued for the window's thread
    };
    doomed->SetRunTimer(1);
    doomed->AddMTimer();
    doomed->AddMTimer(); // registered once only
    const UINT periodic = dlg.SetMTimer(1);
    ASSERT_NE(periodic, 0u);
    ASSERT_TRUE(PumpUntil([&] { return ticks.load() >= 3; }));

    // No pumping from here on: the window is hidden, so the system would soon report that
    // the mouse left it.
    Mouse(hwnd, WM_MOUSEMOVE, 50, 50);
    Mouse(hwnd, WM_LBUTTONDOWN, 50, 50, MK_LBUTTON);
    Mouse(hwnd, WM_LBUTTONUP, 50, 50);
    pm().SetCaretPos(doomed, 10, 10);
    ASSERT_EQ(pm().SetTimer(doomed, 3, 10), 1);
    const UINT windowTimer = pm().GetTimerID(doomed, 3);
    ASSERT_EQ(pm().GetHoverControl(), doomed);
    ASSERT_EQ(pm().GetFocusControl(), doomed);
    ASSERT_EQ(pm().GetCurrentCaretObject(), doomed);

    dlg.RemoveControl(doomed); // while the periodic tick keeps running
    EXPECT_EQ(PoisonedProbe::buried, 1);
    EXPECT_EQ(pm().GetHoverControl(), nullptr);
    EXPECT_EQ(pm().GetFocusControl(), nullptr);
    EXPECT_EQ(pm().GetCurrentCaretObject(), nullptr);
    EXPECT_EQ(pm().IsMTimerControl(doomed), 0);
    EXPECT_EQ(pm().GetTimerID(doomed, 3), 0u);
    EXPECT_EQ(pm().GetDeferredCount(), 0);

    // Everything that used to reach it now runs past it.
    const int ticksAtRemoval = ticks.load();
    Mouse(hwnd, WM_MOUSEMOVE, 60, 60);
    Mouse(hwnd, WM_LBUTTONDOWN, 60, 60, MK_LBUTTON);
    Mouse(hwnd, WM_LBUTTONUP, 60, 60);
    SendMessageW(hwnd, WM_KEYDOWN, 'A', 0);
    POINT screen = {60, 60};
    ClientToScreen(hwnd, &screen);
    SendMessageW(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), MAKELPARAM(screen.x, screen.y));
    SendMessageW(hwnd, WM_TIMER, windowTimer, 0);
    Pump(60);
    pm().FlushDeferredUpdates();
    Canvas canvas(320, 240);
    pm().Render(canvas.dc(), CRect(0, 0, 320, 240));
    EXPECT_EQ(ticks.load(), ticksAtRemoval);
    EXPECT_EQ(other->calls.back(), "key 65");
}

TEST_F(Lifetime, DestroyingTheWindowWaitsForARunningTick)
{
    ASSERT_NE(dlg.CreateHidden(), nullptr);
    auto* slow = Add<SlowTicker>(1, CRect(0, 0, 10, 10));
    slow->SetRunTimer(1);
    slow->AddMTimer();
    g_slowTicks = 0;
    g_destroyedDuringTick = false;
    ASSERT_NE(dlg.SetMTimer(1), 0u);
    const DWORD start = GetTickCount();
    while (!g_inTick.load() && GetTickCount() - start < 2000)
        Sleep(0);
    ASSERT_TRUE(g_inTick.load()) << "the tick never started";
    dlg.DestroyWindow(); // WM_NCDESTROY: the manager's data goes
    EXPECT_FALSE(g_destroyedDuringTick.load());
    const int after = g_slowTicks.load();
    Sleep(100);
    EXPECT_EQ(g_slowTicks.load(), after) << "no tick after the window is gone";
}

TEST_F(Lifetime, PeriodicTickReachesRegisteredVisibleControlsOnly)
{
    ASSERT_NE(dlg.CreateHidden(), nullptr);
    auto* shown = Add(1, CRect(0, 0, 10, 10));
    auto* panel = new MPanel(static_cast<MObject*>(&dlg), 2, CRect(0, 0, 100, 100), 0);
    dlg.AddControl(panel);
    auto* inHiddenPanel = new ProbeControl(panel, 3, CRect(0, 0, 10, 10));
    panel->AddControl(inHiddenPanel);
    auto* notRunning = Add(4, CRect(0, 0, 10, 10));
    auto* unregistered = Add(5, CRect(0, 0, 10, 10));
    for (ProbeControl* c : {shown, inHiddenPanel, unregistered})
        c->SetRunTimer(1);
    for (ProbeControl* c : {shown, shown, inHiddenPanel, notRunning})
        c->AddMTimer();

    ASSERT_NE(dlg.SetMTimer(2), 0u);
    ASSERT_TRUE(PumpUntil([&] { return shown->timerTicks >= 5; }));
    EXPECT_EQ(inHiddenPanel->timerTicks, 0) << "its panel is hidden";
    EXPECT_EQ(notRunning->timerTicks, 0);
    EXPECT_EQ(unregistered->timerTicks, 0);

    pm().DeleteFSTimer(shown);
    EXPECT_EQ(pm().IsMTimerControl(shown), 0) << "one removal undoes any number of registrations";
    Sleep(20);
    const int stopped = shown->timerTicks;
    Sleep(50);
    EXPECT_EQ(shown->timerTicks, stopped);
}

TEST_F(Lifetime, PeriodicTickRunsOnlyWhileARegisteredControlHasTheRunTimerFlag)
{
    ASSERT_NE(dlg.CreateHidden(), nullptr);
    auto* animated = Add(1, CRect(0, 0, 10, 10));
    auto* idle = Add(2, CRect(0, 0, 10, 10));
    // The animation ends itself from its own tick once asked to.
    std::atomic<bool> endAnimation{false};
    animated->onTimer = [&] {
        if (endAnimation.load())
            animated->SetRunTimer(0);
    };
    idle->AddMTimer();
    const UINT id = dlg.SetMTimer(2);
    ASSERT_NE(id, 0u);
    EXPECT_FALSE(pm().IsPeriodicTickRunning()) << "registered, but nothing has the run-timer flag";
    EXPECT_EQ(pm().GetTimerIsRun(id), 1) << "the paused timer keeps its entry";

    animated->SetRunTimer(1);
    EXPECT_FALSE(pm().IsPeriodicTickRunning()) << "the flag alone does not tick an unregistered control";
    animated->AddMTimer();
    EXPECT_TRUE(pm().IsPeriodicTickRunning());
    ASSERT_TRUE(PumpUntil([&] { return animated->timerTicks >= 3; }));
    EXPECT_EQ(pm().GetMTimerID(), id) << "the id stays while the timer pauses and resumes";

    endAnimation = true;
    ASSERT_TRUE(PumpUntil([&] { return !pm().IsPeriodicTickRunning(); })) << "stopped from its own tick";
    Sleep(20);
    const int ended = animated->timerTicks;
    Sleep(60);
    EXPECT_EQ(animated->timerTicks, ended);

    endAnimation = false;
    animated->SetRunTimer(1);
    ASSERT_TRUE(PumpUntil([&] { return animated->timerTicks >= ended + 3; })) << "started again";
    pm().RemoveControl(animated);
    EXPECT_FALSE(pm().IsPeriodicTickRunning()) << "its only ticking control is gone";
    dlg.KillMTimer(id);
    EXPECT_EQ(pm().GetTimerIsRun(id), 0);
}

TEST_F(Lifetime, RepaintRequestsFromTheTickAreReplayedOnTheWindowThread)
{
    ASSERT_NE(dlg.CreateHidden(), nullptr);
    auto* ticking = Add(1, CRect(0, 0, 40, 40));
    std::atomic<int> ticks{0};
    ticking->onTimer = [&] {
        ++ticks;
        ticking->UpdateControl(1);
    };
    ticking->SetRunTimer(1);
    ticking->AddMTimer();
    Canvas canvas(320, 240);
    pm().Render(canvas.dc(), CRect(0, 0, 320, 240));
    ASSERT_EQ(ticking->GetUpdate(), 1);
    dlg.updateThreads.clear();

    const UINT id = dlg.SetMTimer(1);
    ASSERT_NE(id, 0u);
    const DWORD start = GetTickCount();
    while (ticks.load() < 5 && GetTickCount() - start < 2000)
        Sleep(1);
    dlg.KillMTimer(id);
    ASSERT_GE(ticks.load(), 5);
    EXPECT_TRUE(dlg.updateThreads.empty()) << "nothing reached the dialog from the timer thread";
    EXPECT_EQ(pm().GetDeferredCount(), 1) << "requests of one control are merged";
    EXPECT_EQ(ticking->GetUpdate(), 1);

    pm().FlushDeferredUpdates();
    ASSERT_EQ(dlg.updateThreads.size(), 1u);
    EXPECT_EQ(dlg.updateThreads[0], GetCurrentThreadId());
    EXPECT_EQ(ticking->GetUpdate(), 0) << "the rebuild was applied";
}
