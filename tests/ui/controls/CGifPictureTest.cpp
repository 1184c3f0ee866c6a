// Animated pictures: frames counted, the animation running only while started (and the
// periodic tick wanted only then), hover mode, and the face showing the current frame.
#include <gtest/gtest.h>

#include "ui/controls/CGifPicture.h"
#include "ui/core/ToolkitTestSupport.h"

using namespace toolkit_test;

namespace {

struct Gif {
    PaintManager pm;
    RecordingOwner owner;
    CGifPicture gif;
    Gif() : gif(&owner, 11, CRect(0, 0, 32, 32), 1, 1) { gif.SetManager(&pm); }
    uint32_t Centre()
    {
        Canvas canvas(32, 32, 0x000000);
        gif.SetUpdate(0, 0);
        gif.Draw(canvas.dc(), CRect(0, 0, 32, 32));
        return canvas.Rgb(16, 16);
    }
};

} // namespace

TEST(GifPicture, RunsOnlyWhileStarted)
{
    Gif g;
    ASSERT_EQ(g.gif.SetImage(SkinName(L"anim.gif").c_str(), 4), 1);
    EXPECT_EQ(g.gif.GetFrameCount(), 3);
    EXPECT_EQ(g.gif.IsAnimate(), 1);
    EXPECT_EQ(g.gif.IsRunTimer(), 0) << "a stopped picture needs no periodic tick";
    for (int i = 0; i < 20; ++i)
        g.gif.OnTimer();
    EXPECT_EQ(g.gif.GetCurrentFrame(), 0) << "not started";

    g.gif.SetRunState(1, 0);
    EXPECT_EQ(g.gif.IsRunTimer(), 1);
    std::vector<int> frames;
    for (int i = 0; i < 15; ++i) {
        g.gif.OnTimer();
        frames.push_back(g.gif.GetCurrentFrame());
    }
    EXPECT_EQ(frames, (std::vector<int>{0, 0, 0, 0, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 0})) << "every 5th tick, wrapping";

    g.gif.SetRunState(0, 1);
    EXPECT_EQ(g.gif.IsRunTimer(), 0);
    for (int i = 0; i < 20; ++i)
        g.gif.OnTimer();
    EXPECT_EQ(g.gif.GetCurrentFrame(), 1) << "stopped at the frame given";
}

TEST(GifPicture, FaceShowsTheCurrentFrameStretched)
{
    Gif g;
    ASSERT_EQ(g.gif.SetImage(SkinName(L"anim.gif").c_str(), 4), 1);
    EXPECT_TRUE(RgbNear(g.Centre(), 0xFF0000, 8));
    g.gif.SetRunState(0, 2);
    EXPECT_TRUE(RgbNear(g.Centre(), 0x0000FF, 8));
}

TEST(GifPicture, StillImageIsNotAnimated)
{
    Gif g;
    // A PNG has a frame dimension with one frame: shown, but never animated.
    ASSERT_EQ(g.gif.SetImage(SkinName(L"frames4.png").c_str(), 4), 1);
    EXPECT_EQ(g.gif.IsAnimate(), 0);
    g.gif.SetRunState(1, 0);
    EXPECT_EQ(g.gif.IsRun(), 0);
    EXPECT_EQ(g.gif.IsRunTimer(), 0);
    EXPECT_EQ(g.gif.SetImage(SkinName(L"missing.gif").c_str(), 4), 0);
    EXPECT_EQ(g.gif.GetImage(), nullptr);
}

TEST(GifPicture, HoverModeStartsOnEnterAndStopsOnLeaveAtFrameZero)
{
    Gif g;
    ASSERT_EQ(g.gif.SetImage(SkinName(L"anim.gif").c_str(), 4), 1);
    g.gif.SetMouseMoveActive(true);
    g.gif.OnMouseMove(0, CPoint(10, 10));
    EXPECT_EQ(g.gif.IsRun(), 1);
    for (int i = 0; i < 5; ++i)
        g.gif.OnTimer();
    EXPECT_EQ(g.gif.GetCurrentFrame(), 1);
    g.gif.OnMouseMove(0, CPoint(-1, -1));
    EXPECT_EQ(g.gif.IsRun(), 0);
    EXPECT_EQ(g.gif.GetCurrentFrame(), 0);
}
