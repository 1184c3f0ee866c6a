// Progress bars: the value rules, the three faces, a bar without maximum, the marquee.
#include <gtest/gtest.h>

#include "ui/controls/MProgress.h"
#include "ui/core/ToolkitTestSupport.h"

using namespace toolkit_test;

namespace {
const uint32_t kBack = 0x000000;
const uint32_t kFill = 0xFFE100;
} // namespace

TEST(ProgressValue, ClampedIgnoredAndOnlyWhenEnabled)
{
    RecordingOwner owner;
    MProgress bar(&owner, 6, CRect(0, 0, 200, 20), 1, 1);
    EXPECT_EQ(bar.SetProgress(40), 40);
    EXPECT_EQ(bar.SetProgress(-1), 40) << "below 0 is ignored";
    EXPECT_EQ(bar.SetProgress(250), 100) << "clamped to the maximum";
    bar.SetEnabled(0);
    EXPECT_EQ(bar.SetProgress(10), 100) << "a disabled bar keeps its value";
    EXPECT_EQ(bar.SetRun(1, 5), 0);
    bar.SetEnabled(1);
    EXPECT_EQ(bar.SetRun(1, 500), 1);
    EXPECT_EQ(bar.GetProgress(), 100) << "a progress outside 0..maximum is not taken";
}

TEST(ProgressFace, PlainStyleFillsTheShareOfTheWidth)
{
    RecordingOwner owner;
    MProgress bar(&owner, 6, CRect(0, 0, 200, 20), 1, 1);
    bar.SetProgress(25);
    Canvas canvas(200, 20, kBack);
    bar.Draw(canvas.dc(), CRect(0, 0, 200, 20));
    EXPECT_TRUE(RgbNear(canvas.Rgb(25, 18), kFill)) << "3-pixel strip above the bottom line";
    EXPECT_TRUE(RgbNear(canvas.Rgb(48, 17), kFill));
    EXPECT_TRUE(RgbNear(canvas.Rgb(52, 17), kBack)) << "a quarter of 200";
    EXPECT_TRUE(RgbNear(canvas.Rgb(100, 5), kBack));
}

TEST(ProgressFace, SkinStyleDrawsTrackAndFilledFrames)
{
    PaintManager pm;
    RecordingOwner owner;
    MProgress bar(&owner, 6, CRect(0, 0, 200, 30), 1, 1);
    bar.SetManager(&pm);
    ASSERT_EQ(bar.SetImage(SkinName(L"frames4.png").c_str(), 4), 1); // frame 0 red track, frame 1 green fill
    bar.SetProgress(50);
    Canvas canvas(200, 30, kBack);
    bar.Draw(canvas.dc(), CRect(0, 0, 200, 30));
    EXPECT_TRUE(RgbNear(canvas.Rgb(50, 7), 0x00FF00, 12));
    EXPECT_TRUE(RgbNear(canvas.Rgb(150, 7), 0xFF0000, 12));
    EXPECT_TRUE(RgbNear(canvas.Rgb(150, 20), kBack)) << "the bar is 14 high";
}

// A maximum of 0 (or less) would divide by nothing: such a bar shows no filled part.
TEST(ProgressFace, NoMaximumShowsNoBar)
{
    for (int maximum : {0, -5}) {
        RecordingOwner owner;
        MProgress bar(&owner, 6, CRect(0, 0, 200, 20), 1, 1);
        bar.SetProgress(50);
        bar.SetMaxProgress(maximum);
        Canvas canvas(200, 20, kBack);
        bar.Draw(canvas.dc(), CRect(0, 0, 200, 20));
        EXPECT_TRUE(RgbNear(canvas.Rgb(10, 17), kBack)) << "maximum " << maximum;
        EXPECT_EQ(bar.SetProgress(30), 0) << "nothing above a maximum of none";
    }
}

TEST(ProgressMarquee, AdvancesEveryThirdTickAndWrapsOnlyWhileRunning)
{
    RecordingOwner owner;
    MProgress bar(&owner, 6, CRect(0, 0, 200, 20), 1, 1);
    bar.SetMaxProgress(3);
    EXPECT_EQ(bar.IsRunTimer(), 0) << "a still bar needs no tick";
    bar.SetRun(1, 0);
    EXPECT_EQ(bar.IsRunTimer(), 1);
    std::vector<int> seen;
    for (int i = 0; i < 12; ++i) {
        bar.OnTimer();
        seen.push_back(bar.GetProgress());
    }
    EXPECT_EQ(seen, (std::vector<int>{0, 0, 1, 1, 1, 2, 2, 2, 0, 0, 0, 1}));
    bar.SetRun(0, -1);
    EXPECT_EQ(bar.IsRunTimer(), 0);
    bar.OnTimer();
    bar.OnTimer();
    bar.OnTimer();
    EXPECT_EQ(bar.GetProgress(), 1);
}
