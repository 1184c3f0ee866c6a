// The image button: unscaled frames per state, the icon, and the balloon while hovered.
#include <gtest/gtest.h>

#include <functional>

#include "ButtonTestSupport.h"

using namespace toolkit_test;
using namespace button_test;

TEST(CImageButtonFace, CentrePixelIsTheFrameOfTheState)
{
    const std::vector<std::function<void(CImageButton&)>> toState = {
        [](CImageButton&) {},
        [](CImageButton& b) { b.OnMouseMove(0, CPoint(20, 10)); },
        [](CImageButton& b) { b.OnLButtonDown(0, CPoint(20, 10)); },
        [](CImageButton& b) { b.SetEnabled(0); },
    };
    for (int state = 0; state < 4; ++state) {
        Host host;
        CImageButton button(&host.owner, 3, CRect(0, 0, 40, 20), L"not drawn", 1, 1);
        host.Attach(button);
        ASSERT_EQ(button.SetImage(Fixture(L"button4.png").c_str(), 4), 1);
        toState[static_cast<size_t>(state)](button);
        ASSERT_EQ(button.GetState(), state);
        Canvas canvas(40, 20);
        DrawOn(canvas, button);
        EXPECT_TRUE(RgbNear(canvas.Rgb(20, 10), kFrameRgb[state])) << "state " << state;
        EXPECT_EQ(InkIn(canvas, CRect(0, 0, 40, 20), kFrameRgb[state]).colours.size(), 0u)
            << "state " << state << ": the frame only, no title";
    }
}

TEST(CImageButtonFace, FramesAndIconAreDrawnUnscaled)
{
    Host host;
    CImageButton button(&host.owner, 3, CRect(0, 0, 40, 20), L"", 1, 1);
    host.Attach(button);
    ASSERT_EQ(button.SetImage(Fixture(L"frames4.png").c_str(), 4), 1); // 20 x 20 frames
    ASSERT_EQ(button.SetIconImage(Fixture(L"icon2.png").c_str(), 2), 1); // 10 x 10 frames
    Canvas canvas(40, 20, 0x102030);
    DrawOn(canvas, button);
    EXPECT_TRUE(RgbNear(canvas.Rgb(5, 15), kFrameRgb[0])) << "frame at the top-left corner";
    EXPECT_EQ(canvas.Rgb(35, 15), 0x102030u) << "not stretched over the button";
    // Icon frame 0 at ((40 - 10) / 2 + 2, (20 - 10) / 2 - 4) = (17, 1), 10 x 10.
    EXPECT_TRUE(RgbNear(canvas.Rgb(22, 6), kIconRgb));
    EXPECT_TRUE(RgbNear(canvas.Rgb(22, 10), kIconRgb));
    EXPECT_EQ(canvas.Rgb(22, 12), 0x102030u) << "below the icon";
    EXPECT_EQ(canvas.Rgb(30, 6), 0x102030u) << "right of the icon";
    EXPECT_TRUE(RgbNear(canvas.Rgb(15, 6), kFrameRgb[0])) << "left of the icon";
}

TEST(CImageButtonBalloon, HoverShowsTheTitleBesideTheButton)
{
    struct Case {
        AIRBLADDER_MODE mode;
        bool balloonRightOfButton;
    } cases[] = {{AIRBLADDER_MODE_RIGHT, true}, {AIRBLADDER_MODE_LEFT, false}};
    for (const Case& c : cases) {
        TestDialog dlg;
        dlg.build = [&](TestDialog& d, CRect) {
            auto* b = static_cast<CImageButton*>(d.CreateControl(L"CImageButton", 5, CRect(20, 20, 60, 40), L"Tip"));
            b->SetAlrBladderMode(c.mode);
            d.CreateControl(L"CImageButton", 6, CRect(100, 20, 140, 40), L"No balloon");
        };
        HWND hwnd = dlg.CreateHidden(200, 100, 100, 100);
        ASSERT_NE(hwnd, nullptr);
        PaintManager& pm = dlg.GetPaintManager();
        Mouse(hwnd, WM_MOUSEMOVE, 30, 30);
        MAirBladder* balloon = pm.GetAirBladder();
        ASSERT_NE(balloon, nullptr) << c.mode;
        ASSERT_TRUE(balloon->IsWindowVisible()) << c.mode;
        EXPECT_STREQ(balloon->GetText(), L"Tip");
        EXPECT_EQ(balloon->GetType(), AIRBLADDER_TYPE_HOVER);
        EXPECT_EQ(pm.GetAirBladderOwner(), 5);
        CRect r;
        balloon->GetWindowRect(r);
        if (c.balloonRightOfButton)
            EXPECT_EQ(r.left, 100 + 60) << "anchored at the right edge";
        else
            EXPECT_EQ(r.right, 100 + 20) << "anchored at the left edge";
        EXPECT_EQ(balloon->GetAnchor().y, 100 + 30) << "at the vertical centre";
        EXPECT_NE(GetForegroundWindow(), balloon->GetSafeHwnd()) << "never takes the activation";

        Mouse(hwnd, WM_MOUSEMOVE, 110, 30); // onto the button without a balloon
        EXPECT_FALSE(balloon->IsWindowVisible()) << "leaving hides it";
        dlg.DestroyWindow();
    }
}
