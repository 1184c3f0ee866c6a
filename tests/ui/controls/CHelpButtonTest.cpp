// The help mark: its stretched face and the balloon it owns while hovered.
#include <gtest/gtest.h>

#include "ButtonTestSupport.h"

using namespace toolkit_test;
using namespace button_test;

TEST(CHelpButtonFace, WholeImageIsStretchedOverTheButton)
{
    Host host;
    CHelpButton help(&host.owner, 40, CRect(0, 0, 160, 10), L"", 1, 1);
    host.Attach(help);
    ASSERT_EQ(help.SetImage(Fixture(L"frames4.png").c_str(), 1), 1);
    Canvas canvas(160, 10);
    DrawOn(canvas, help);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(RgbNear(canvas.Rgb(i * 40 + 20, 5), kFrameRgb[i], 8)) << "quarter " << i;
}

TEST(CHelpButtonBalloon, HoverShowsTheTitleLeftOfTheButtonAndLeavingHidesOnlyItsOwn)
{
    TestDialog dlg;
    dlg.build = [](TestDialog& d, CRect) {
        d.CreateControl(L"CHelpButton", 40, CRect(100, 20, 120, 40), L"Help text");
        d.CreateControl(L"CHelpButton", 41, CRect(140, 20, 160, 40), L""); // no title: no balloon
    };
    HWND hwnd = dlg.CreateHidden(200, 100, 100, 100);
    ASSERT_NE(hwnd, nullptr);
    PaintManager& pm = dlg.GetPaintManager();
    Mouse(hwnd, WM_MOUSEMOVE, 110, 30);
    MAirBladder* balloon = pm.GetAirBladder();
    ASSERT_NE(balloon, nullptr);
    EXPECT_TRUE(balloon->IsWindowVisible());
    EXPECT_STREQ(balloon->GetText(), L"Help text");
    EXPECT_EQ(balloon->GetMode(), AIRBLADDER_MODE_LEFT);
    EXPECT_EQ(pm.GetAirBladderOwner(), 40);
    CRect r;
    balloon->GetWindowRect(r);
    EXPECT_EQ(r.right, 100 + 100) << "ends at the button's left edge";
    EXPECT_EQ(r.top, 100 + 20 + 25 - 27);

    Mouse(hwnd, WM_MOUSEMOVE, 10, 80);
    EXPECT_FALSE(balloon->IsWindowVisible()) << "leaving hides its own balloon";

    pm.SetAirBladderMsg(L"someone else's", POINT{300, 300}, AIRBLADDER_TYPE_TIP, AIRBLADDER_MODE_BELOW);
    pm.ShowAirBladder(1, 77);
    Mouse(hwnd, WM_MOUSEMOVE, 110, 30);
    Mouse(hwnd, WM_MOUSEMOVE, 10, 80);
    EXPECT_FALSE(balloon->IsWindowVisible()) << "hovering made it the owner again";
    pm.ShowAirBladder(1, 77);
    Mouse(hwnd, WM_MOUSEMOVE, 150, 30); // the help mark without a title
    Mouse(hwnd, WM_MOUSEMOVE, 10, 80);
    EXPECT_TRUE(balloon->IsWindowVisible()) << "another owner's balloon stays";
    dlg.DestroyWindow();
}
