// The timer button: the countdown title, the periodic redraw, the end of a run (always on
// the window's thread), clicks and the disabled rule.
#include <gtest/gtest.h>

#include <thread>

#include "ButtonTestSupport.h"

using namespace toolkit_test;
using namespace button_test;

namespace {

// A timer button on a clock the test sets.
class ClockedTimerButton : public CTimerButton {
public:
    ClockedTimerButton(MObject* parent, CRect rect) : CTimerButton(parent, 8, rect, L"Go", 1, 1) {}
    DWORD now = 1000000;

protected:
    DWORD Now() const override { return now; }
};

int Rebuilds(const RecordingOwner& owner)
{
    int n = 0;
    for (const auto& u : owner.updates)
        n += u.rebuild;
    return n;
}

} // namespace

TEST(CTimerButtonRun, TitleCountsDownAndTheRunEndsWithCode2)
{
    Host host;
    ClockedTimerButton button(&host.owner, CRect(0, 0, 80, 20));
    EXPECT_STREQ(button.GetShownTitle(), L"Go");
    EXPECT_EQ(button.SetRun(1), 1);
    struct Step {
        DWORD at;
        const wchar_t* title;
    } steps[] = {{0, L"Go(10s)"}, {999, L"Go(10s)"}, {1000, L"Go(9s)"}, {2500, L"Go(8s)"}, {9999, L"Go(1s)"},
                 {10000, L"Go(0s)"}};
    const DWORD start = button.now;
    for (const Step& s : steps) {
        button.now = start + s.at;
        EXPECT_STREQ(button.GetShownTitle(), s.title) << s.at;
        EXPECT_EQ(button.OnTimer(), 1) << s.at;
    }
    EXPECT_TRUE(host.owner.notes.empty()) << "10000 ms are not more than 10000";
    button.now = start + 10001;
    button.OnTimer();
    ASSERT_EQ(host.Codes(), (std::vector<UINT>{2}));
    EXPECT_EQ(button.IsRunning(), 0);
    EXPECT_EQ(button.OnTimer(), 0) << "nothing while not running";
    EXPECT_STREQ(button.GetShownTitle(), L"Go");
}

TEST(CTimerButtonRun, RedrawsAtMostEvery800Milliseconds)
{
    Host host;
    ClockedTimerButton button(&host.owner, CRect(0, 0, 80, 20));
    host.Attach(button);
    button.SetRun(1);
    Canvas canvas(80, 20);
    DrawOn(canvas, button); // the redraw time is now
    host.owner.updates.clear();
    button.now += 700;
    button.OnTimer();
    EXPECT_EQ(Rebuilds(host.owner), 0);
    button.now += 100;
    button.OnTimer();
    EXPECT_EQ(Rebuilds(host.owner), 1);
    button.SetVisible(0);
    host.owner.updates.clear();
    button.now += 5000;
    EXPECT_EQ(button.OnTimer(), 0) << "nothing while hidden";
}

TEST(CTimerButtonRun, ClickEndsTheRunAndDisabledKeepsItsFlag)
{
    Host host;
    ClockedTimerButton button(&host.owner, CRect(0, 0, 80, 20));
    button.SetRun(1);
    button.OnLButtonDown(0, CPoint(5, 5));
    button.OnLButtonUp(0, CPoint(5, 5));
    EXPECT_EQ(host.Codes(), (std::vector<UINT>{1, 2}));
    EXPECT_EQ(button.IsRunning(), 0);
    button.SetRun(1);
    button.SetEnabled(0);
    EXPECT_EQ(button.SetRun(0), 1) << "disabled: the running flag is returned unchanged";
    EXPECT_EQ(button.IsRunning(), 1);
}

TEST(CTimerButtonRun, EndOfARunIsReportedOnTheWindowsThread)
{
    TestDialog dlg;
    ClockedTimerButton* button = nullptr;
    dlg.build = [&](TestDialog& d, CRect) {
        button = new ClockedTimerButton(&d, CRect(0, 0, 80, 20));
        d.AddControl(button);
    };
    ASSERT_NE(dlg.CreateHidden(100, 40), nullptr);
    button->SetRun(1);
    button->now += 10001;
    std::thread tick([&] { button->OnTimer(); }); // the periodic tick's thread
    tick.join();
    EXPECT_TRUE(dlg.notes.empty()) << "no notification from the tick's thread";
    const DWORD windowThread = GetCurrentThreadId();
    ASSERT_TRUE(PumpUntil([&] { return !dlg.notes.empty(); }, 3000)) << "the window timer ends the run";
    EXPECT_EQ(dlg.notes[0].code, 2u);
    EXPECT_EQ(dlg.notes.size(), 1u);
    EXPECT_EQ(button->IsRunning(), 0);
    EXPECT_EQ(GetCurrentThreadId(), windowThread);
    Pump(300);
    EXPECT_EQ(dlg.notes.size(), 1u) << "the window timer stopped with the run";
    dlg.DestroyWindow();
}

TEST(CTimerButtonFocus, FocusDrawsADottedRectangle)
{
    Host host;
    CTimerButton button(&host.owner, 8, CRect(0, 0, 80, 30), L"", 1, 1);
    host.Attach(button);
    Canvas canvas(80, 30, 0x000000);
    DrawOn(canvas, button);
    EXPECT_TRUE(InkIn(canvas, CRect(0, 0, 80, 30), 0).empty());
    EXPECT_EQ(button.SetControlFocus(1), 1);
    EXPECT_EQ(button.IsFocused(), 1);
    DrawOn(canvas, button);
    const Ink ink = InkIn(canvas, CRect(0, 0, 80, 30), 0);
    ASSERT_FALSE(ink.empty());
    EXPECT_EQ(ink.box, CRect(6, 2, 75, 29)) << "(6, 2) and w - 12 x h - 4";
    button.SetEnabled(0);
    EXPECT_EQ(button.SetControlFocus(0), 0) << "disabled";
}
