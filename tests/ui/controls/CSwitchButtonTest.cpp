// The switch: on and off images, clicks with the new check, no hot key, frame counts.
#include <gtest/gtest.h>

#include "ButtonTestSupport.h"

using namespace toolkit_test;
using namespace button_test;

TEST(CSwitchButtonFace, ShowsTheOnOrOffImageFrameOfTheState)
{
    Host host;
    CSwitchButton sw(&host.owner, 9, CRect(0, 0, 40, 30), 1, 1);
    host.Attach(sw);
    ASSERT_EQ(sw.SetImage(Fixture(L"frames4.png").c_str(), Fixture(L"switchoff.png").c_str(), 4), 1);
    Canvas canvas(40, 30, 0x000000);
    DrawOn(canvas, sw);
    EXPECT_TRUE(RgbNear(canvas.Rgb(10, 15), kSwitchOffRgb[0])) << "off";
    EXPECT_EQ(canvas.Rgb(10, 2), 0u) << "20 x 20 frame centred vertically";
    EXPECT_EQ(canvas.Rgb(30, 15), 0u) << "unscaled";
    sw.OnMouseMove(0, CPoint(10, 10));
    DrawOn(canvas, sw);
    EXPECT_TRUE(RgbNear(canvas.Rgb(10, 15), kSwitchOffRgb[1])) << "off, hover";
    sw.SetCheck(1);
    EXPECT_EQ(sw.GetUpdate(), 0) << "a new check rebuilds the face";
    DrawOn(canvas, sw);
    EXPECT_TRUE(RgbNear(canvas.Rgb(10, 15), kFrameRgb[0])) << "on";
    sw.SetEnabled(0);
    DrawOn(canvas, sw);
    EXPECT_TRUE(RgbNear(canvas.Rgb(10, 15), kFrameRgb[3])) << "on, disabled";
}

TEST(CSwitchButtonInput, ClickTogglesAndSendsTheNewCheck)
{
    Host host;
    CSwitchButton sw(&host.owner, 9, CRect(0, 0, 40, 30), 1, 1);
    host.Attach(sw);
    sw.OnLButtonDown(0, CPoint(5, 5));
    EXPECT_EQ(sw.GetState(), 1);
    sw.OnLButtonUp(0, CPoint(5, 5));
    sw.OnLButtonDown(0, CPoint(5, 5));
    sw.OnLButtonUp(0, CPoint(100, 5)); // released outside: nothing
    sw.OnLButtonDown(0, CPoint(5, 5));
    sw.OnLButtonUp(0, CPoint(5, 5));
    ASSERT_EQ(host.owner.notes.size(), 2u);
    EXPECT_EQ(host.owner.notes[0].code, 2u);
    EXPECT_EQ(host.owner.notes[0].lparam, 1);
    EXPECT_EQ(host.owner.notes[1].lparam, 0);
    EXPECT_EQ(sw.GetCheck(), 0);
    sw.SetHotKey('S', 0);
    EXPECT_EQ(sw.OnKeyDown('S', 1, 0), 0) << "no hot key";
    EXPECT_EQ(sw.GetCheck(), 0);
}

TEST(CSwitchButtonImage, FrameCountsBelowOneCountAsOne)
{
    struct Case {
        int count, frameWidth;
    } cases[] = {{4, 20}, {0, 80}, {-1, 80}};
    for (const Case& c : cases) {
        Host host;
        CSwitchButton sw(&host.owner, 9, CRect(0, 0, 40, 30), 1, 1);
        EXPECT_EQ(sw.SetImage(Fixture(L"frames4.png").c_str(), Fixture(L"switchoff.png").c_str(), c.count), 1);
        EXPECT_EQ(sw.GetOnFrameWidth(), c.frameWidth) << c.count;
        EXPECT_EQ(sw.GetOffFrameWidth(), c.frameWidth) << c.count;
        Canvas canvas(40, 30);
        DrawOn(canvas, sw); // draws with the single frame
    }
}
