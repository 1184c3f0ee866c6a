// The slider: where the thumb sits for a value, what a press, a drag, a release and the
// wheel report, and its face (track halves and thumb frames).
#include <gtest/gtest.h>

#include "ui/controls/MSlider.h"
#include "ui/core/ToolkitTestSupport.h"

using namespace toolkit_test;

namespace {

std::vector<std::pair<UINT, WPARAM>> Codes(const RecordingOwner& owner)
{
    std::vector<std::pair<UINT, WPARAM>> out;
    for (const auto& n : owner.notes)
        out.emplace_back(n.code, n.wparam);
    return out;
}

using Codes_t = std::vector<std::pair<UINT, WPARAM>>;

} // namespace

TEST(Slider, TrackClickJumpsThereAndGoesOnAsADrag)
{
    RecordingOwner owner;
    MSlider slider(&owner, 4, CRect(0, 0, 236, 60), 1, 1); // 0..10, thumb 36
    slider.OnLButtonDown(MK_LBUTTON, CPoint(100, 10));
    EXPECT_EQ(slider.GetProgress(), 5);
    EXPECT_EQ(Codes(owner), (Codes_t{{MN_POSITION, 5}}));
    EXPECT_EQ(slider.GetThumbRect(), CRect(100, 0, 136, 36));
    EXPECT_EQ(slider.GetState(), 2) << "the thumb is under the pointer: dragging";

    slider.OnMouseMove(MK_LBUTTON, CPoint(200, 10));
    EXPECT_EQ(slider.GetProgress(), 10);
    slider.OnMouseMove(MK_LBUTTON, CPoint(400, 10));
    EXPECT_EQ(slider.GetProgress(), 10) << "clamped to the maximum";
    slider.OnMouseMove(MK_LBUTTON, CPoint(-50, 10));
    EXPECT_EQ(slider.GetProgress(), 0);
    slider.OnLButtonUp(0, CPoint(10, 10));
    EXPECT_EQ(Codes(owner), (Codes_t{{MN_POSITION, 5}, {MN_POSITION, 10}, {MN_POSITION, 0}, {MN_CLICKED, 0}}))
        << "one code 8 per change, code 2 on release";
    EXPECT_EQ(slider.GetState(), 1) << "released over the thumb";
}

TEST(Slider, SetProgressIgnoresNegativesAndClampsToTheMaximum)
{
    RecordingOwner owner;
    MSlider slider(&owner, 4, CRect(0, 0, 236, 60), 1, 1);
    struct Case {
        int set, expected;
    } cases[] = {{4, 4}, {-1, 4}, {100, 10}, {0, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(slider.SetProgress(c.set), c.expected) << c.set;
        EXPECT_EQ(slider.GetProgress(), c.expected) << c.set;
    }
    EXPECT_TRUE(owner.notes.empty()) << "setting the value reports nothing";
}

TEST(Slider, WheelStepsWithinTheRangeAndReportsOnlyChanges)
{
    RecordingOwner owner;
    MSlider slider(&owner, 4, CRect(0, 0, 236, 60), 1, 1);
    slider.SetProgress(1);
    EXPECT_EQ(slider.OnScroll(1, 0, CPoint(50, 10)), 1); // away from the user: up
    EXPECT_EQ(slider.GetProgress(), 2);
    slider.OnScroll(1, 1, CPoint(50, 10));
    slider.OnScroll(1, 1, CPoint(50, 10));
    slider.OnScroll(1, 1, CPoint(50, 10));
    EXPECT_EQ(slider.GetProgress(), 0);
    EXPECT_EQ(Codes(owner), (Codes_t{{MN_CLICKED, 0}, {MN_CLICKED, 0}, {MN_CLICKED, 0}}));
}

// Layout files may give a slider no maximum (read as 0), and a slider may be laid out no
// wider than its thumb: neither divides by zero or leaves the thumb outside the slider.
TEST(Slider, EmptyRangeOrNoTravelKeepsTheThumbAtTheLeftAndTheValueAtTheMinimum)
{
    struct Case {
        const char* what;
        int width, minimum, maximum, progress;
        int click;
    } cases[] = {
        {"maximum equal to the minimum", 236, 0, 0, 0, 150},
        {"maximum below the minimum", 236, 5, 0, 3, 150},
        {"as wide as the thumb", 36, 0, 10, 0, 20},
        {"narrower than the thumb", 20, 2, 10, 0, 10},
    };
    for (const Case& c : cases) {
        RecordingOwner owner;
        MSlider slider(&owner, 4, CRect(10, 0, 10 + c.width, 60), 1, 1);
        slider.SetMinProgress(c.minimum);
        slider.SetMaxProgress(c.maximum);
        slider.SetProgress(c.progress);
        EXPECT_EQ(slider.GetThumbOffset(), 0) << c.what;
        if (c.width <= 36) {
            slider.MoveThumbPos(CPoint(10 + c.click, 5));
            EXPECT_EQ(slider.GetProgress(), c.minimum) << c.what;
            EXPECT_EQ(slider.GetThumbRect().left, 10) << c.what;
        }
    }
}

TEST(Slider, FaceShowsTheTrackHalvesAndTheThumbFrame)
{
    PaintManager pm;
    RecordingOwner owner;
    MSlider slider(&owner, 4, CRect(0, 0, 200, 60), 1, 1);
    slider.SetManager(&pm);
    ASSERT_EQ(slider.SetImage(SkinName(L"halves.png").c_str(), 1), 1);
    EXPECT_EQ(slider.GetImageSize(), CSize(40, 10)) << "whole width, half height";
    ASSERT_EQ(slider.SetThumbImage(SkinName(L"frames4.png").c_str()), 1);
    EXPECT_EQ(slider.GetThumbRect().Size(), CSize(20, 20)) << "the thumb takes the frame size";
    slider.SetShowText(0);
    slider.SetProgress(5); // offset 180 * 5 / 10 = 90
    Canvas canvas(200, 60, 0x000000);
    slider.Draw(canvas.dc(), CRect(0, 0, 200, 60));
    EXPECT_TRUE(RgbNear(canvas.Rgb(30, 20), 0x00C864)) << "filled part from the left";
    EXPECT_TRUE(RgbNear(canvas.Rgb(150, 20), 0xC86400)) << "empty track";
    EXPECT_TRUE(RgbNear(canvas.Rgb(100, 5), 0xFF0000)) << "thumb, frame 0";
    EXPECT_EQ(canvas.Rgb(5, 40), 0u) << "nothing below the track";

    slider.OnMouseMove(0, CPoint(100, 5)); // pointer on the thumb
    slider.SetUpdate(0, 0);
    slider.Draw(canvas.dc(), CRect(0, 0, 200, 60));
    EXPECT_TRUE(RgbNear(canvas.Rgb(100, 5), 0x00FF00)) << "thumb under the pointer, frame 1";
}

TEST(Slider, FactoryMakesItByName)
{
    RecordingOwner owner;
    MPanel panel(&owner, 5, CRect(0, 0, 300, 100), 1);
    MControl* c = panel.CreateControl(L"MSlider", 9, CRect(0, 0, 236, 60), L"ignored", 1, 0);
    auto* slider = dynamic_cast<MSlider*>(c);
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(slider->IsEnabled(), 0);
    EXPECT_STREQ(slider->GetTitle(), L"");
    EXPECT_EQ(slider->OnControlLButtonDown(MK_LBUTTON, CPoint(100, 10)), 0) << "disabled";
}
