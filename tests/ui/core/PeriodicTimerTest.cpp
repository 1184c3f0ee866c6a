// Periodic multimedia timers of a timer owner: both callbacks for application timers,
// the lookups, and a stopped timer that never ticks again.
#include <gtest/gtest.h>

#include <atomic>

#include "ToolkitTestSupport.h"

namespace {

class CountingTimer : public RKTimer {
public:
    void OnMTimer(UINT id) override
    {
        lastId = id;
        ++ticks;
    }
    void OnMTimer(UINT, CString name) override
    {
        if (name == CString(L"anim"))
            ++named;
    }
    std::atomic<UINT> lastId{0};
    std::atomic<int> ticks{0};
    std::atomic<int> named{0};
};

bool WaitFor(const std::function<bool()>& done)
{
    for (int i = 0; i < 400 && !done(); ++i)
        Sleep(5);
    return done();
}

} // namespace

TEST(PeriodicTimer, ApplicationTimersAlsoGetTheirNameAndStoppedOnesStayQuiet)
{
    CountingTimer owner;
    const UINT plain = owner.SetTimer(2, L"plain", 0);
    ASSERT_NE(plain, 0u);
    EXPECT_GE(RKTimer::GetResolution(), 1u);
    ASSERT_TRUE(WaitFor([&] { return owner.ticks.load() >= 3; }));
    EXPECT_EQ(owner.named.load(), 0) << "no name for a timer without the application flag";
    EXPECT_EQ(owner.lastId.load(), plain);

    const UINT anim = owner.SetTimer(2, L"anim", 1);
    ASSERT_NE(anim, 0u);
    ASSERT_TRUE(WaitFor([&] { return owner.named.load() >= 3; }));
    EXPECT_EQ(owner.GetTimerIsRun(anim), 1);
    EXPECT_EQ(owner.GetTimerIsRun(L"anim"), 1);
    EXPECT_EQ(owner.GetTimerIsRun(L"other"), 0);
    EXPECT_EQ(owner.GetTimerName(anim), CString(L"anim"));
    EXPECT_EQ(owner.IsAppTimer(anim), 1);
    EXPECT_EQ(owner.IsAppTimer(plain), 0);
    EXPECT_EQ(RKTimer::GetFSTimer(anim), &owner);

    owner.KillMTimer(anim);
    EXPECT_EQ(owner.GetTimerIsRun(anim), 0);
    EXPECT_EQ(RKTimer::GetFSTimer(anim), nullptr);
    const int named = owner.named.load();
    owner.KillMTimer();
    const int ticks = owner.ticks.load();
    Sleep(50);
    EXPECT_EQ(owner.named.load(), named);
    EXPECT_EQ(owner.ticks.load(), ticks) << "no tick after the timers were stopped";
    EXPECT_EQ(owner.GetTimerIsRun(plain), 0);
}
