// The paint manager of a real (hidden) window driven by real window messages: hit testing,
// hover, press and capture, wheel, keys and Tab order, control window timers, the
// periodic tick, repaint requests, the banner, and what happens when controls go away.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <set>

#include "ToolkitTestSupport.h"

#include <commctrl.h>

using namespace toolkit_test;

namespace {

class Routing : public testing::Test {
protected:
    void SetUp() override
    {
        dlg.build = [this](TestDialog& d, CRect) {
            for (auto& item : planned) {
                auto* c = new ProbeControl(static_cast<MObject*>(&d), item.id, item.rect, item.rgb);
                c->buttonModel = true;
                d.AddControl(c, item.kind);
                made.push_back(c);
            }
        };
    }
    void TearDown() override
    {
        dlg.DestroyWindow();
        BYTE none[256] = {};
        SetKeyboardState(none);
    }
    struct Planned {
        UINT id;
        CRect rect;
        UINT kind = 1;
        uint32_t rgb = 0x808080;
    };
    HWND Open(std::vector<Planned> s, int w = 320, int h = 240)
    {
        planned = std::move(s);
        HWND hwnd = dlg.CreateHidden(w, h);
        EXPECT_NE(hwnd, nullptr);
        return hwnd;
    }
    PaintManager& pm() { return dlg.GetPaintManager(); }
    ProbeControl* probe(size_t i) { return made[i]; }
    std::vector<UINT> Codes() const
    {
        std::vector<UINT> codes;
        for (auto& n : dlg.notes)
            codes.push_back(n.code);
        return codes;
    }
    void Wheel(HWND hwnd, int x, int y, int delta)
    {
        POINT p = {x, y};
        ClientToScreen(hwnd, &p);
        SendMessageW(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(static_cast<short>(delta))),
                     MAKELPARAM(p.x, p.y));
    }
    bool Tab(HWND hwnd)
    {
        MSG msg = {};
        msg.hwnd = hwnd;
        msg.message = WM_KEYDOWN;
        msg.wParam = VK_TAB;
        return dlg.PreTranslateMessage(&msg) != 0;
    }
    static void HoldKeys(std::initializer_list<int> keys)
    {
        BYTE state[256] = {};
        for (int k : keys)
            state[k] = 0x80;
        SetKeyboardState(state);
    }

    TestDialog dlg;
    std::vector<Planned> planned;
    std::vector<ProbeControl*> made;
};

} // namespace

TEST_F(Routing, PressInsideReleaseOutsideSendsOnlyThePress)
{
    HWND hwnd = Open({{7, CRect(10, 10, 60, 40)}});
    Mouse(hwnd, WM_MOUSEMOVE, 20, 20);
    ASSERT_EQ(pm().GetHoverControl(), probe(0));
    Mouse(hwnd, WM_LBUTTONDOWN, 20, 20, MK_LBUTTON);
    EXPECT_EQ(pm().GetFocusControl(), probe(0));
    EXPECT_EQ(GetCapture(), hwnd);
    Mouse(hwnd, WM_MOUSEMOVE, 200, 200, MK_LBUTTON);
    EXPECT_EQ(probe(0)->calls.back(), "ldown 20,20") << "moves outside the pressed control are dropped";
    Mouse(hwnd, WM_LBUTTONUP, 200, 200);
    EXPECT_EQ(Codes(), std::vector<UINT>{1});
    EXPECT_EQ(dlg.notes[0].id, 7u);
    EXPECT_EQ(pm().GetHoverControl(), nullptr) << "released outside: no hover";
    EXPECT_NE(GetCapture(), hwnd);

    // A full click inside reports the press and then the click.
    dlg.notes.clear();
    Mouse(hwnd, WM_MOUSEMOVE, 30, 30);
    Mouse(hwnd, WM_LBUTTONDOWN, 30, 30, MK_LBUTTON);
    Mouse(hwnd, WM_LBUTTONUP, 31, 31);
    EXPECT_EQ(Codes(), (std::vector<UINT>{1, 2}));
    EXPECT_EQ(pm().GetHoverControl(), probe(0));
}

TEST_F(Routing, HoverIsTheLastControlUnderThePointAndAreasTakeNoInput)
{
    HWND hwnd = Open({{1, CRect(0, 0, 200, 200), 0}, {2, CRect(10, 10, 100, 100)}, {3, CRect(50, 50, 150, 150)}});
    Mouse(hwnd, WM_MOUSEMOVE, 60, 60);
    EXPECT_EQ(pm().GetHoverControl(), probe(2));
    EXPECT_EQ(probe(1)->calls.back(), "move 60,60") << "every top-level control sees the move";
    Mouse(hwnd, WM_MOUSEMOVE, 20, 20);
    EXPECT_EQ(pm().GetHoverControl(), probe(1));
    EXPECT_EQ(probe(2)->calls.back(), "move 20,20") << "the control the mouse left is told";
    Mouse(hwnd, WM_MOUSEMOVE, 180, 180);
    EXPECT_EQ(pm().GetHoverControl(), nullptr);
    Mouse(hwnd, WM_LBUTTONDOWN, 180, 180, MK_LBUTTON);
    Mouse(hwnd, WM_LBUTTONUP, 180, 180);
    EXPECT_TRUE(probe(0)->calls.empty()) << "the area under the pointer got nothing";
}

TEST_F(Routing, PressOnEmptySpaceDragsTheWindowUnlessDisabled)
{
    HWND hwnd = Open({{1, CRect(0, 0, 300, 200), 0}, {2, CRect(10, 10, 50, 50)}});
    std::vector<std::pair<WPARAM, POINT>> drags;
    dlg.intercept = [&](UINT msg, WPARAM w, LPARAM l) {
        if (msg != WM_NCLBUTTONDOWN)
            return false;
        drags.push_back({w, POINT{static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))}});
        return true; // the system's move loop is not needed to see the request
    };
    Mouse(hwnd, WM_MOUSEMOVE, 100, 100);
    Mouse(hwnd, WM_LBUTTONDOWN, 100, 100, MK_LBUTTON);
    ASSERT_EQ(drags.size(), 1u);
    EXPECT_EQ(drags[0].first, static_cast<WPARAM>(HTCAPTION));
    POINT expected = {100, 100};
    ClientToScreen(hwnd, &expected);
    EXPECT_EQ(drags[0].second.x, expected.x);
    EXPECT_EQ(drags[0].second.y, expected.y);
    Mouse(hwnd, WM_LBUTTONUP, 100, 100);

    // A press on a control never drags; a right press on empty space neither.
    Mouse(hwnd, WM_MOUSEMOVE, 20, 20);
    Mouse(hwnd, WM_LBUTTONDOWN, 20, 20, MK_LBUTTON);
    Mouse(hwnd, WM_LBUTTONUP, 20, 20);
    Mouse(hwnd, WM_MOUSEMOVE, 100, 100);
    Mouse(hwnd, WM_RBUTTONDOWN, 100, 100, MK_RBUTTON);
    EXPECT_EQ(drags.size(), 1u);

    pm().EnableWndDrag(0);
    Mouse(hwnd, WM_LBUTTONDOWN, 100, 100, MK_LBUTTON);
    EXPECT_EQ(drags.size(), 1u);
}

TEST_F(Routing, WheelMovesWholeNotchesOnlyTowardsTheSign)
{
    HWND hwnd = Open({{1, CRect(0, 0, 100, 100)}, {2, CRect(200, 0, 300, 100)}});
    Mouse(hwnd, WM_MOUSEMOVE, 50, 50);
    Wheel(hwnd, 50, 50, 119);
    Wheel(hwnd, 50, 50, -119);
    EXPECT_TRUE(probe(0)->scrollDirections.empty()) << "less than one notch scrolls nothing";
    Wheel(hwnd, 50, 50, -240);
    EXPECT_EQ(probe(0)->scrollDirections, (std::vector<UINT>{1, 1}));
    Wheel(hwnd, 50, 50, 120);
    EXPECT_EQ(probe(0)->scrollDirections, (std::vector<UINT>{1, 1, 0}));
    EXPECT_EQ(probe(0)->points.back(), CPoint(50, 50)) << "screen point converted to the client";

    // Without a hover control the top-level controls are asked in order.
    Mouse(hwnd, WM_MOUSEMOVE, 250, 150);
    ASSERT_EQ(pm().GetHoverControl(), nullptr);
    Wheel(hwnd, 250, 50, -120);
    EXPECT_EQ(probe(1)->scrollDirections, std::vector<UINT>{1});
}

TEST_F(Routing, KeysReachTheHoverControlFirstWithTheModifierValue)
{
    HWND hwnd = Open({{1, CRect(0, 0, 100, 100)}, {2, CRect(200, 0, 300, 100)}});
    probe(1)->SetHotKey('Q', 17);
    Mouse(hwnd, WM_MOUSEMOVE, 50, 50);
    HoldKeys({VK_CONTROL, VK_SHIFT});
    SendMessageW(hwnd, WM_KEYDOWN, 'Q', 0);
    ASSERT_FALSE(probe(0)->keyModifiers.empty());
    EXPECT_EQ(probe(0)->keyModifiers.front(), 17u) << "Ctrl+Shift is Ctrl";
    EXPECT_EQ(probe(1)->keyModifiers, std::vector<UINT>{17}) << "then the others until one handles it";
    probe(0)->handleKeys = 1;
    probe(0)->keyModifiers.clear();
    SendMessageW(hwnd, WM_KEYDOWN, 'Q', 0);
    EXPECT_EQ(probe(0)->keyModifiers.size(), 1u) << "handled by the hover control: asked once";
    EXPECT_EQ(probe(1)->keyModifiers.size(), 1u);
    HoldKeys({VK_MENU});
    SendMessageW(hwnd, WM_SYSKEYDOWN, 'Q', 1 << 29);
    EXPECT_EQ(probe(0)->keyModifiers.back(), 18u);
}

TEST_F(Routing, TabAndShiftTabCycleThroughTabStopsWithWrapAround)
{
    HWND hwnd = Open({{1, CRect(0, 0, 10, 10)},
                      {2, CRect(20, 0, 30, 10)},
                      {3, CRect(40, 0, 50, 10)},
                      {4, CRect(60, 0, 70, 10)},
                      {5, CRect(80, 0, 90, 10)}});
    for (size_t i : {0u, 2u, 3u})
        probe(i)->SetTabStop(1);
    probe(3)->SetEnabled(0); // a disabled tab stop is skipped
    probe(4)->SetTabStop(1);
    probe(4)->SetVisible(0); // so is a hidden one

    EXPECT_TRUE(Tab(hwnd));
    EXPECT_EQ(pm().GetFocusControl(), probe(0)) << "no focus yet: the first tab stop";
    EXPECT_TRUE(Tab(hwnd));
    EXPECT_EQ(pm().GetFocusControl(), probe(2));
    EXPECT_TRUE(Tab(hwnd));
    EXPECT_EQ(pm().GetFocusControl(), probe(0)) << "wraps around";
    EXPECT_EQ(probe(0)->focusChanges, (std::vector<int>{1, 0, 1}));

    HoldKeys({VK_SHIFT});
    EXPECT_TRUE(Tab(hwnd));
    EXPECT_EQ(pm().GetFocusControl(), probe(2)) << "Shift+Tab wraps backwards";
    EXPECT_TRUE(Tab(hwnd));
    EXPECT_EQ(pm().GetFocusControl(), probe(0));

    HoldKeys({VK_CONTROL});
    EXPECT_FALSE(Tab(hwnd)) << "Ctrl+Tab is not navigation";
    EXPECT_EQ(pm().GetFocusControl(), probe(0));

    HoldKeys({});
    probe(2)->SetTabStop(0);
    EXPECT_FALSE(Tab(hwnd)) << "a single tab stop keeps the focus and leaves the key alone";
    EXPECT_EQ(pm().GetFocusControl(), probe(0));
}

TEST_F(Routing, LosingActivationReleasesThePressedControl)
{
    HWND hwnd = Open({{1, CRect(0, 0, 100, 100)}});
    Mouse(hwnd, WM_MOUSEMOVE, 50, 50);
    Mouse(hwnd, WM_LBUTTONDOWN, 50, 50, MK_LBUTTON);
    SendMessageW(hwnd, WM_NCACTIVATE, FALSE, 0);
    EXPECT_EQ(probe(0)->calls.back(), "lup -1,-1");
    EXPECT_EQ(pm().GetHoverControl(), nullptr);
    EXPECT_EQ(Codes(), std::vector<UINT>{1}) << "no click from a release outside";

    Mouse(hwnd, WM_MOUSEMOVE, 50, 50);
    SendMessageW(hwnd, WM_NCACTIVATE, FALSE, 0);
    EXPECT_EQ(probe(0)->calls.back(), "move -1,-1") << "not pressed: just left";
}

TEST_F(Routing, MinMaxInfoTakesOnlyTheSetSizes)
{
    HWND hwnd = Open({});
    pm().SetWindowMixSize(300, 0);
    pm().SetWindowMaxSize(0, 900);
    MINMAXINFO info = {};
    info.ptMinTrackSize = {1, 2};
    info.ptMaxTrackSize = {3, 4};
    info.ptMaxSize = {5, 6};
    SendMessageW(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 300);
    EXPECT_EQ(info.ptMinTrackSize.y, 2);
    EXPECT_EQ(info.ptMaxTrackSize.x, 3);
    EXPECT_EQ(info.ptMaxTrackSize.y, 900);
    EXPECT_EQ(info.ptMaxSize.y, 900);
}

// ---------------------------------------------------------------- control window timers

TEST_F(Routing, ControlTimersStartAt17AndRestartWithTheirOldId)
{
    Open({{1, CRect()}, {2, CRect()}});
    ASSERT_EQ(pm().SetTimer(probe(0), 5, 1000), 1);
    EXPECT_EQ(pm().GetTimerID(probe(0), 5), 17u);
    EXPECT_EQ(pm().SetTimer(probe(0), 5, 1000), 0) << "the same key is already running";
    ASSERT_EQ(pm().SetTimer(probe(1), 5, 1000), 1);
    EXPECT_EQ(pm().GetTimerID(probe(1), 5), 18u);
    EXPECT_EQ(pm().KillTimer(probe(0), 5), 1);
    EXPECT_EQ(pm().KillTimer(probe(0), 5), 0);
    EXPECT_EQ(pm().SetTimer(probe(0), 5, 500), 1);
    EXPECT_EQ(pm().GetTimerID(probe(0), 5), 17u) << "restarted with its old id";

    // A tick of the window timer reaches the control it belongs to.
    SendMessageW(dlg.GetSafeHwnd(), WM_TIMER, 18, 0);
    EXPECT_EQ(probe(1)->timerTicks, 1);
    EXPECT_EQ(probe(0)->timerTicks, 0);
    pm().KillTimer(probe(1), 5);
    SendMessageW(dlg.GetSafeHwnd(), WM_TIMER, 18, 0);
    EXPECT_EQ(probe(1)->timerTicks, 1) << "a killed timer does not tick";
}

TEST_F(Routing, ControlTimerIdsSkipReservedAndUsedIds)
{
    Open({{1, CRect()}});
    std::set<UINT> ids;
    for (UINT key = 0;; ++key) {
        if (!pm().SetTimer(probe(0), key, 60000))
            break;
        const UINT id = pm().GetTimerID(probe(0), key);
        EXPECT_TRUE(ids.insert(id).second) << "id " << id << " given twice";
        ASSERT_LT(key, 1000u);
    }
    EXPECT_EQ(ids.size(), 236u) << "ids 1..239 without 66, 88 and 99";
    for (UINT reserved : {0u, 66u, 88u, 99u, 6553u})
        EXPECT_EQ(ids.count(reserved), 0u) << reserved;
    // Freeing one id makes exactly that one available again.
    const UINT freed = pm().GetTimerID(probe(0), 7);
    pm().KillTimer(probe(0));
    EXPECT_EQ(pm().GetTimerID(probe(0), 7), 0u);
    EXPECT_EQ(pm().SetTimer(probe(0), 7, 60000), 1);
    EXPECT_NE(pm().GetTimerID(probe(0), 7), 0u);
    (void)freed;
}

// ---------------------------------------------------------------- repaint requests

TEST_F(Routing, RebuildMarksLaterOverlappingControlsAndInvalidatesTheirUnion)
{
    HWND hwnd = Open({{1, CRect(0, 0, 20, 20)},      // earlier, overlapping
                      {2, CRect(10, 10, 60, 60)},    // the one that changes
                      {3, CRect(50, 50, 100, 100)},  // later, overlapping
                      {4, CRect(55, 55, 70, 70)},    // later, overlapping, hidden
                      {5, CRect(200, 200, 220, 220)}}); // later, elsewhere
    probe(3)->SetVisible(0, 0);
    ShowWindow(hwnd, SW_SHOWNA); // a hidden window collects no update region
    Canvas canvas(320, 240);
    ASSERT_EQ(pm().Render(canvas.dc(), CRect(0, 0, 320, 240)), 1);
    for (size_t i : {0u, 1u, 2u, 4u})
        ASSERT_EQ(probe(i)->GetUpdate(), 1) << i;
    ValidateRect(hwnd, nullptr);

    probe(1)->UpdateControl(1);
    EXPECT_EQ(probe(0)->GetUpdate(), 1);
    EXPECT_EQ(probe(1)->GetUpdate(), 0);
    EXPECT_EQ(probe(2)->GetUpdate(), 0);
    EXPECT_EQ(probe(4)->GetUpdate(), 1);
    RECT dirty;
    ASSERT_TRUE(GetUpdateRect(hwnd, &dirty, FALSE));
    EXPECT_EQ(CRect(dirty), CRect(10, 10, 100, 100));

    // Without rebuild only the frame changes: the control keeps its face.
    pm().Render(canvas.dc(), CRect(0, 0, 320, 240));
    ValidateRect(hwnd, nullptr);
    const int renders = probe(1)->renders();
    probe(1)->UpdateControl(0);
    EXPECT_EQ(probe(1)->GetUpdate(), 1);
    pm().Render(canvas.dc(), CRect(0, 0, 320, 240));
    EXPECT_EQ(probe(1)->renders(), renders);
}

// ---------------------------------------------------------------- banner

TEST_F(Routing, BannerHoldsThenFadesInStepsOfTen)
{
    HWND hwnd = Open({});
    pm().SetMessage(L"saved", CRect(10, 10, 210, 70), MSGLEVEL_INFO);
    EXPECT_EQ(pm().GetMessageAlpha(), 255);
    Canvas canvas(320, 240);
    pm().Render(canvas.dc(), CRect(0, 0, 320, 240));
    EXPECT_TRUE(RgbNear(canvas.Rgb(200, 15), 0xFEFEFE)) << "inner fill of the banner";
    EXPECT_TRUE(RgbNear(canvas.Rgb(11, 11), 0xE6E6E6)) << "outer fill";

    SendMessageW(hwnd, WM_TIMER, PM_TIMER_BANNER_HOLD, 0); // the hold time is over
    std::vector<int> seen;
    for (int i = 0; i < 30 && pm().GetMessageAlpha() > 0; ++i) {
        SendMessageW(hwnd, WM_TIMER, PM_TIMER_BANNER_FADE, 0);
        seen.push_back(pm().GetMessageAlpha());
    }
    ASSERT_EQ(seen.size(), 25u);
    EXPECT_EQ(seen.front(), 245);
    EXPECT_EQ(seen[23], 15);
    EXPECT_EQ(seen.back(), 0);
    pm().Render(canvas.dc(), CRect(0, 0, 320, 240));
    EXPECT_TRUE(RgbNear(canvas.Rgb(200, 15), 0x090D13)) << "gone: the background shows";
}

TEST_F(Routing, ProgressIsClampedAndIgnoresTheSameValue)
{
    HWND hwnd = Open({});
    pm().SetProgress(3, L"a", CRect());
    EXPECT_EQ(pm().GetShownProgress(), 3) << "small steps are shown at once";
    EXPECT_EQ(pm().GetMessageRect(), CRect(0, 240 - 60, 320, 240 - 2));

    pm().SetProgress(50, L"b", CRect(0, 0, 200, 58));
    EXPECT_EQ(pm().GetShownProgress(), 3) << "a big step animates";
    pm().SetProgress(50, L"c", CRect());
    EXPECT_EQ(pm().GetMessageText(), CString(L"b")) << "the same target again does nothing";
    for (int i = 0; i < 40; ++i)
        SendMessageW(hwnd, WM_TIMER, PM_TIMER_PROGRESS, 0);
    EXPECT_EQ(pm().GetShownProgress(), 50) << "the animation stops at the target";

    pm().SetProgress(250, L"d", CRect());
    EXPECT_EQ(pm().GetTargetProgress(), 100);
    for (int i = 0; i < 40; ++i)
        SendMessageW(hwnd, WM_TIMER, PM_TIMER_PROGRESS, 0);
    EXPECT_EQ(pm().GetShownProgress(), 100);
    pm().SetProgress(-20, L"e", CRect());
    EXPECT_EQ(pm().GetTargetProgress(), 0);
    EXPECT_EQ(pm().GetShownProgress(), 0);
}

// ---------------------------------------------------------------- tooltip and caret

TEST_F(Routing, HoveringAControlWithATooltipShowsItOnce)
{
    HWND hwnd = Open({{7, CRect(10, 10, 60, 40)}, {8, CRect(100, 10, 150, 40)}});
    probe(0)->SetTooltip(L"Saves the profile");
    Mouse(hwnd, WM_MOUSEMOVE, 20, 20);
    HWND tip = pm().GetTooltipWnd();
    ASSERT_NE(tip, nullptr);
    wchar_t cls[64] = {};
    GetClassNameW(tip, cls, 64);
    EXPECT_STREQ(cls, TOOLTIPS_CLASSW);
    EXPECT_EQ(GetWindow(tip, GW_OWNER), hwnd);
    EXPECT_EQ(pm().GetTooltipCtrlID(), 7);
    wchar_t text[64] = {};
    TOOLINFOW ti = {};
    ti.cbSize = sizeof(ti);
    ti.hwnd = hwnd;
    ti.uId = 1313;
    ti.lpszText = text;
    SendMessageW(tip, TTM_GETTEXTW, 64, reinterpret_cast<LPARAM>(&ti));
    EXPECT_STREQ(text, L"Saves the profile");

    Mouse(hwnd, WM_MOUSEMOVE, 120, 20); // a control without tooltip
    EXPECT_EQ(pm().GetTooltipCtrlID(), 7) << "hidden, but still the last owner";
    pm().ClearTooltip();
    EXPECT_EQ(pm().GetTooltipCtrlID(), 0);
}

TEST_F(Routing, CaretIsDrawnOnlyForAFocusedOwnerInItsVisiblePhase)
{
    HWND hwnd = Open({{7, CRect(0, 0, 200, 100), 1, 0x000000}});
    ShowWindow(hwnd, SW_SHOW);
    SetFocus(hwnd);
    ASSERT_EQ(GetFocus(), hwnd);
    probe(0)->SetTextColor(Gdiplus::Color(0xFF00FF00));
    probe(0)->SetFocusedFlag(1);
    pm().CreateCaret(nullptr, 2, 16);
    pm().SetCaretPos(probe(0), 50, 20);
    EXPECT_EQ(pm().GetCaretRect(), CRect(50, 20, 52, 36));
    pm().ShowCaret(1);

    Canvas canvas(320, 240);
    pm().Render(canvas.dc(), CRect(0, 0, 320, 240));
    EXPECT_TRUE(RgbNear(canvas.Rgb(51, 28), 0x00FF00)) << "caret in the owner's text colour";
    EXPECT_EQ(canvas.Rgb(53, 28), 0u);

    SendMessageW(hwnd, WM_TIMER, PM_TIMER_CARET, 0); // blink: the hidden phase
    pm().Render(canvas.dc(), CRect(0, 0, 320, 240));
    EXPECT_EQ(canvas.Rgb(51, 28), 0u);

    SendMessageW(hwnd, WM_TIMER, PM_TIMER_CARET, 0);
    probe(0)->SetFocusedFlag(0); // the owner lost its focus: the caret stops
    pm().Render(canvas.dc(), CRect(0, 0, 320, 240));
    EXPECT_EQ(canvas.Rgb(51, 28), 0u);
    probe(0)->SetFocusedFlag(1);
    pm().Render(canvas.dc(), CRect(0, 0, 320, 240));
    EXPECT_EQ(canvas.Rgb(51, 28), 0u) << "stays off until shown again";
}

TEST_F(Routing, MinimisedWindowIsNotAskedToPaintForever)
{
    HWND hwnd = Open({});
    ShowWindow(hwnd, SW_SHOW);
    ShowWindow(hwnd, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(hwnd));
    InvalidateRect(hwnd, nullptr, FALSE);
    SendMessageW(hwnd, WM_PAINT, 0, 0);
    RECT r;
    EXPECT_FALSE(GetUpdateRect(hwnd, &r, FALSE)) << "nothing painted, but the window is validated";
}
