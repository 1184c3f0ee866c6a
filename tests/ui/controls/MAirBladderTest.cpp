// The balloon tip: where it is shown, when it hides itself, its owner rule, and the
// dialog's balloon operations.
#include <gtest/gtest.h>

#include "ButtonTestSupport.h"

using namespace toolkit_test;
using namespace button_test;

namespace {

CRect WindowRect(MAirBladder* balloon)
{
    CRect r;
    balloon->GetWindowRect(r);
    return r;
}

} // namespace

TEST(AirBladder, DialogShowsTheBalloonBelowTheGivenPoint)
{
    TestDialog dlg;
    ASSERT_NE(dlg.CreateHidden(200, 100), nullptr);
    PaintManager& pm = dlg.GetPaintManager();
    EXPECT_EQ(pm.ShowAirBladder(1, 0), 0) << "no balloon yet";
    EXPECT_EQ(dlg.SetAirBladderMsg(L"Saved", POINT{0, 200}, AIRBLADDER_TYPE_TIP), 0) << "a zero coordinate";
    EXPECT_EQ(pm.GetAirBladder(), nullptr);
    EXPECT_EQ(dlg.SetAirBladderMsg(L"Saved", POINT{300, 200}, AIRBLADDER_TYPE_TIP), 1);
    MAirBladder* balloon = pm.GetAirBladder();
    ASSERT_NE(balloon, nullptr);
    wchar_t title[64] = {};
    GetWindowTextW(balloon->GetSafeHwnd(), title, 64);
    EXPECT_STREQ(title, L"AirBladder Window");
    EXPECT_TRUE(balloon->IsWindowVisible());
    EXPECT_EQ(GetWindow(balloon->GetSafeHwnd(), GW_OWNER), dlg.GetSafeHwnd()) << "owned by the dialog's window";
    EXPECT_TRUE(GetWindowLongPtrW(balloon->GetSafeHwnd(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    const CRect r = WindowRect(balloon);
    EXPECT_EQ(r.left, 300 - 25);
    EXPECT_EQ(r.top, 200);
    EXPECT_GT(r.Width(), 40) << "wide enough for the text";
    EXPECT_EQ(balloon->GetMode(), AIRBLADDER_MODE_BELOW);
    dlg.DestroyWindow();
    EXPECT_EQ(balloon->GetSafeHwnd(), nullptr) << "destroyed with its owner window";
}

TEST(AirBladder, PlacementPerMode)
{
    TestDialog dlg;
    ASSERT_NE(dlg.CreateHidden(200, 100), nullptr);
    PaintManager& pm = dlg.GetPaintManager();
    const POINT at{500, 400};
    for (const wchar_t* text : {L"One line", L"First\nsecond\nthird"}) {
        for (AIRBLADDER_MODE mode :
             {AIRBLADDER_MODE_RIGHT, AIRBLADDER_MODE_LEFT, AIRBLADDER_MODE_BELOW, AIRBLADDER_MODE_ABOVE}) {
            ASSERT_EQ(pm.SetAirBladderMsg(text, at, AIRBLADDER_TYPE_STAY, mode), 1);
            MAirBladder* balloon = pm.GetAirBladder();
            const CRect r = WindowRect(balloon);
            const bool multi = text[1] == L'i';
            EXPECT_EQ(balloon->GetLineCount(), multi ? 3 : 1);
            switch (mode) {
            case AIRBLADDER_MODE_RIGHT:
                EXPECT_EQ(r.left, at.x);
                EXPECT_NEAR((r.top + r.bottom) / 2, at.y, 1) << "centred vertically on the anchor";
                break;
            case AIRBLADDER_MODE_LEFT:
                EXPECT_EQ(r.right, at.x);
                EXPECT_EQ(r.top, at.y - 27);
                break;
            case AIRBLADDER_MODE_BELOW:
                EXPECT_EQ(r.left, at.x - 25);
                EXPECT_EQ(r.top, at.y);
                break;
            default:
                EXPECT_EQ(r.bottom, at.y);
                EXPECT_NEAR((r.left + r.right) / 2, at.x, 1) << "centred above the anchor";
                break;
            }
        }
    }
    dlg.DestroyWindow();
}

TEST(AirBladder, IdenticalMessageKeepsTheHideTimeAndTypeFourStays)
{
    TestDialog a, b;
    ASSERT_NE(a.CreateHidden(100, 50, 50, 50), nullptr);
    ASSERT_NE(b.CreateHidden(100, 50, 200, 50), nullptr);
    a.SetAirBladderMsg(L"goes", POINT{100, 300}, AIRBLADDER_TYPE_TIP);
    MAirBladder* goes = a.GetPaintManager().GetAirBladder();
    const DWORD start = goes->GetHideTimerStart();
    ASSERT_NE(start, 0u);
    Sleep(50);
    a.SetAirBladderMsg(L"goes", POINT{100, 300}, AIRBLADDER_TYPE_TIP);
    EXPECT_EQ(goes->GetHideTimerStart(), start) << "the same message does not postpone the hide";
    const CRect before = WindowRect(goes);

    // A balloon that first had a timed message, then type 4, stays.
    b.SetAirBladderMsg(L"stays", POINT{400, 300}, AIRBLADDER_TYPE_TIP);
    b.SetAirBladderMsg(L"stays", POINT{400, 300}, AIRBLADDER_TYPE_STAY);
    MAirBladder* stays = b.GetPaintManager().GetAirBladder();
    EXPECT_EQ(stays->GetHideTimerStart(), 0u);

    ASSERT_TRUE(PumpUntil([&] { return !goes->IsWindowVisible(); }, AIRBLADDER_HIDE_MS + 4000))
        << "a timed balloon hides itself";
    const DWORD hiddenAfter = GetTickCount() - start;
    EXPECT_GE(hiddenAfter + 100, AIRBLADDER_HIDE_MS) << "not before its time";
    EXPECT_EQ(WindowRect(goes), before);
    Pump(300);
    EXPECT_TRUE(stays->IsWindowVisible()) << "type 4 stays";

    a.SetAirBladderMsg(L"other", POINT{100, 300}, AIRBLADDER_TYPE_TIP);
    EXPECT_TRUE(goes->IsWindowVisible()) << "a new message shows it again";
    EXPECT_NE(goes->GetHideTimerStart(), 0u);
    a.DestroyWindow();
    b.DestroyWindow();
}

TEST(AirBladder, OnlyTheOwnerHidesAnOwnedBalloon)
{
    TestDialog dlg;
    ASSERT_NE(dlg.CreateHidden(200, 100), nullptr);
    PaintManager& pm = dlg.GetPaintManager();
    pm.SetAirBladderMsg(L"mine", POINT{300, 300}, AIRBLADDER_TYPE_STAY, AIRBLADDER_MODE_BELOW);
    EXPECT_EQ(pm.ShowAirBladder(1, 12), 1);
    EXPECT_EQ(pm.GetAirBladderOwner(), 12);
    EXPECT_EQ(pm.ShowAirBladder(0, 13), 0);
    EXPECT_TRUE(pm.GetAirBladder()->IsWindowVisible());
    EXPECT_EQ(pm.ShowAirBladder(0, 12), 1);
    EXPECT_FALSE(pm.GetAirBladder()->IsWindowVisible());
    EXPECT_EQ(pm.ShowAirBladder(1, 0), 1);
    EXPECT_EQ(pm.GetAirBladderOwner(), 12) << "showing without an id keeps the owner";
    EXPECT_EQ(pm.ShowAirBladder(0, 0), 1) << "an id of 0 hides any balloon";
    EXPECT_FALSE(pm.GetAirBladder()->IsWindowVisible());
    dlg.DestroyWindow();
}

TEST(AirBladder, DialogPointIsTheControlsBottomEdge)
{
    TestDialog dlg;
    dlg.build = [](TestDialog& d, CRect) { d.CreateControl(L"MButton", 3, CRect(20, 10, 60, 30), L"b"); };
    ASSERT_NE(dlg.CreateHidden(200, 100, 100, 100), nullptr);
    MControl* c = dlg.GetControl(3);
    EXPECT_EQ(dlg.GetAirBladderPoint(nullptr, 1), CPoint(0, 0));
    EXPECT_EQ(dlg.GetAirBladderPoint(c, 0), CPoint(120, 130));
    EXPECT_EQ(dlg.GetAirBladderPoint(c, 1), CPoint(140, 130));
    EXPECT_EQ(dlg.GetAirBladderPoint(c, 2), CPoint(160, 130));
    dlg.DestroyWindow();
}

// The balloon's text is near black, but not on a dark background image (the skin's tip image
// also backs the light-on-dark key tips): there it is near white.
TEST(AirBladder, TextStaysReadableOnDarkAndLightBackgrounds)
{
    struct Case {
        const wchar_t* image;
        bool lightText;
    } cases[] = {{L"..\\..\\fixtures\\tipdark.png", true}, {L"..\\..\\fixtures\\tiplight.png", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.lightText ? "dark" : "light") << " background");
        TestDialog dlg;
        ASSERT_NE(dlg.CreateHidden(200, 100), nullptr);
        ASSERT_EQ(dlg.SetAirBladderMsg(L"W", POINT{300, 200}, AIRBLADDER_TYPE_STAY), 1);
        MAirBladder* balloon = dlg.GetPaintManager().GetAirBladder();
        ASSERT_NE(balloon, nullptr);
        ASSERT_EQ(balloon->LoadBKImage(c.image), 1);
        ASSERT_EQ(dlg.SetAirBladderMsg(L"WWWWWWWW", POINT{300, 200}, AIRBLADDER_TYPE_STAY), 1);
        Pump(200);
        CRect r = WindowRect(balloon);
        r = CRect(r.left + 8, r.top + 8, r.right - 8, r.bottom - 8);
        ASSERT_FALSE(r.IsRectEmpty());
        HDC screen = GetDC(nullptr);
        int light = 0, dark = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) {
                const COLORREF p = GetPixel(screen, x, y);
                const int lum = (299 * GetRValue(p) + 587 * GetGValue(p) + 114 * GetBValue(p)) / 1000;
                light += lum > 190;
                dark += lum < 70;
            }
        ReleaseDC(nullptr, screen);
        if (c.lightText)
            EXPECT_GT(light, 10) << "light strokes on the dark background";
        else
            EXPECT_GT(dark, 10) << "dark strokes on the light background";
        dlg.DestroyWindow();
    }
}
