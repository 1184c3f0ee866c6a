// The colour wheel: the ring's place, the radius rule, and picking the window's pixel
// under the cursor with real mouse input over a solid wheel.
#include <gtest/gtest.h>

#include "ui/controls/CirclePalette.h"
#include "ui/core/ToolkitTestSupport.h"

using namespace toolkit_test;

namespace {

const unsigned long kWheelColour = RGB(10, 20, 30); // the fixture's disk

// A visible window with a wheel at (50, 30) to (181, 161), centre (115, 95).
struct Wheel {
    TestDialog dlg;
    CirclePalette* wheel = nullptr;
    Wheel()
    {
        dlg.build = [this](TestDialog& d, CRect) {
            wheel = static_cast<CirclePalette*>(d.CreateControl(L"CirclePalette", 107, CRect(50, 30, 181, 161), L""));
            if (wheel)
                wheel->SetImage(SkinName(L"wheel.png").c_str(), 1);
        };
        dlg.Create(nullptr, L"wheel", WS_POPUP | WS_VISIBLE, 0, CRect(100, 100, 400, 300));
        SetForegroundWindow(dlg.GetSafeHwnd());
        UpdateWindow(dlg.GetSafeHwnd());
        Pump(50);
    }
    ~Wheel()
    {
        if (IsWindow(dlg.GetSafeHwnd()))
            DestroyWindow(dlg.GetSafeHwnd());
    }
    // A real click at a client point; pumps until the release has been handled.
    void Click(int x, int y)
    {
        MoveMouse(100 + x, 100 + y);
        PumpUntil([&] {
            POINT p;
            GetCursorPos(&p);
            return p.x == 100 + x && p.y == 100 + y;
        });
        Pump(30);
        const size_t before = dlg.notes.size();
        toolkit_test::Click(MOUSEEVENTF_LEFTDOWN);
        toolkit_test::Click(MOUSEEVENTF_LEFTUP);
        PumpUntil([&] {
            for (size_t i = before; i < dlg.notes.size(); ++i)
                if (dlg.notes[i].code == MN_CLICKED)
                    return true;
            return false;
        });
        Pump(30);
    }
    std::vector<RecordingOwner::Note> Notes(UINT code) const
    {
        std::vector<RecordingOwner::Note> out;
        for (const auto& n : dlg.notes)
            if (n.code == code && n.id == 107)
                out.push_back(n);
        return out;
    }
};

} // namespace

TEST(WheelRing, StartsAtItsOffsetAndFollowsTheRect)
{
    PaintManager pm;
    RecordingOwner owner;
    CirclePalette wheel(&owner, 107, CRect(10, 20, 141, 151), 1, 1);
    wheel.SetManager(&pm);
    EXPECT_EQ(wheel.GetRingRect(), CRect(110, 50, 120, 60));
    EXPECT_EQ(wheel.GetSelectColor(), 255u);
    ASSERT_EQ(wheel.SetImage(SkinName(L"wheel.png").c_str(), 1), 1);
    EXPECT_TRUE(owner.updates.empty()) << "setting the image asks for no repaint";

    wheel.SetRect(CRect(0, 0, 131, 131));
    EXPECT_EQ(wheel.GetRingRect(), CRect(100, 30, 110, 40));
    EXPECT_EQ(wheel.GetDistanse(CPoint(65 + 30, 65 + 40)), 50);
    EXPECT_EQ(wheel.GetDistanse(CPoint(65 + 46, 65 + 46)), 65) << "65.05 truncated";
    EXPECT_EQ(wheel.GetDistanse(CPoint(65 + 50, 65 + 50)), 70);

    // Beyond the radius nothing moves; without a window no colour can be read.
    owner.notes.clear();
    EXPECT_EQ(wheel.MoveThumbPos(CPoint(115, 115)), 0);
    EXPECT_EQ(wheel.GetRingRect(), CRect(100, 30, 110, 40));
    EXPECT_EQ(wheel.MoveThumbPos(CPoint(70, 60)), 0);
    EXPECT_EQ(wheel.GetRingRect(), CRect(65, 55, 75, 65));
    EXPECT_EQ(wheel.GetSelectColor(), 255u);
    EXPECT_TRUE(owner.notes.empty()) << "nothing picked, nothing reported";
}

TEST(WheelRing, FaceShowsTheWheelAndTheRing)
{
    PaintManager pm;
    RecordingOwner owner;
    CirclePalette wheel(&owner, 107, CRect(0, 0, 131, 131), 1, 1);
    wheel.SetManager(&pm);
    ASSERT_EQ(wheel.SetImage(SkinName(L"wheel.png").c_str(), 1), 1);
    Canvas canvas(131, 131, 0xFFFFFF);
    wheel.Draw(canvas.dc(), CRect(0, 0, 131, 131));
    EXPECT_TRUE(RgbNear(canvas.Rgb(65, 65), 0x0A141E));
    EXPECT_TRUE(RgbNear(canvas.Rgb(2, 2), 0xFFFFFF)) << "the background outside the disk";
    EXPECT_TRUE(RgbNear(canvas.Rgb(104, 65), 0x0A141E));
    int light = 0;
    for (int x = 100; x < 110; ++x)
        for (int y = 30; y < 40; ++y)
            light += (canvas.Rgb(x, y) & 0xFF) > 0x80;
    EXPECT_GT(light, 5) << "the ring at (100, 30)";
}

TEST(WheelPick, PressWithinTheRadiusPicksTheWindowPixel)
{
    Wheel w;
    ASSERT_NE(w.wheel, nullptr);
    w.Click(115 + 20, 95); // 20 px right of the centre
    auto picked = w.Notes(MN_COLOR_PICKED);
    ASSERT_EQ(picked.size(), 1u);
    EXPECT_EQ(picked[0].wparam, 0u);
    EXPECT_EQ(picked[0].lparam, static_cast<LPARAM>(0x1E140A));
    EXPECT_EQ(w.wheel->GetSelectColor(), kWheelColour);
    EXPECT_EQ(w.wheel->GetRingRect(), CRect(130, 90, 140, 100));
    auto clicked = w.Notes(MN_CLICKED);
    ASSERT_EQ(clicked.size(), 1u);
    EXPECT_EQ(clicked[0].lparam, static_cast<LPARAM>(0x1E140A));

    w.Click(115 + 20, 95); // the same spot: the ring does not move, nothing is picked
    EXPECT_EQ(w.Notes(MN_COLOR_PICKED).size(), 1u);
    EXPECT_EQ(w.Notes(MN_CLICKED).size(), 2u);
}

TEST(WheelPick, PressBeyondTheRadiusPicksNothingButTheReleaseReports)
{
    Wheel w;
    ASSERT_NE(w.wheel, nullptr);
    w.Click(115 + 50, 95 + 50); // 70 px from the centre, still on the control
    EXPECT_TRUE(w.Notes(MN_COLOR_PICKED).empty());
    EXPECT_EQ(w.wheel->GetRingRect(), CRect(150, 60, 160, 70)) << "the ring stays";
    auto clicked = w.Notes(MN_CLICKED);
    ASSERT_EQ(clicked.size(), 1u);
    EXPECT_EQ(clicked[0].lparam, 255) << "the previous colour";
}
