// Level meters: picking a level by clicking a segment, clamping, and the segments drawn.
#include <gtest/gtest.h>

#include "ui/controls/MLevelCtrl.h"
#include "ui/core/ToolkitTestSupport.h"

using namespace toolkit_test;

namespace {
const uint32_t kBack = 0x000000, kSegment = 0xA0A0A0, kLit = 0xFFE100;
}

// Range 0..15 over 200 pixels: 16 segments 7 wide, 12 apart (7 + a 5-pixel gap).
TEST(LevelClick, SegmentUnderThePointGivesTheLevel)
{
    struct Case {
        const char* what;
        int x, y;
        int level;   // level afterwards
        bool notify; // code 2 sent
    } cases[] = {
        {"in the gap after the first segment", 9, 5, 0, false},
        {"on the second segment", 14, 5, 1, true},
        {"on the last segment", 185, 5, 15, true},
        {"past the last segment", 196, 5, 0, false},
        {"below the segments", 14, 20, 0, false},
        {"on the current level", 3, 5, 0, false},
    };
    for (const Case& c : cases) {
        RecordingOwner owner;
        MLevelCtrl level(&owner, 7, CRect(0, 0, 200, 30), 1, 1);
        level.OnLButtonDown(MK_LBUTTON, CPoint(c.x, c.y));
        level.OnLButtonUp(0, CPoint(c.x, c.y));
        EXPECT_EQ(level.GetLevelValue(), c.level) << c.what;
        if (c.notify) {
            ASSERT_EQ(owner.notes.size(), 1u) << c.what;
            EXPECT_EQ(owner.notes[0].code, 2u);
            EXPECT_EQ(owner.notes[0].wparam, static_cast<WPARAM>(c.level));
            EXPECT_EQ(owner.notes[0].id, 7u);
        } else {
            EXPECT_TRUE(owner.notes.empty()) << c.what;
        }
    }
}

TEST(LevelClick, DisabledMeterIgnoresClicks)
{
    RecordingOwner owner;
    MLevelCtrl level(&owner, 7, CRect(0, 0, 200, 30), 1, 0);
    level.OnLButtonUp(0, CPoint(14, 5));
    EXPECT_EQ(level.GetLevelValue(), 0);
    EXPECT_TRUE(owner.notes.empty());
}

TEST(LevelValue, ClampedToTheRange)
{
    RecordingOwner owner;
    MLevelCtrl level(&owner, 7, CRect(0, 0, 200, 30), 1, 1);
    level.SetRangeValue(2, 8);
    level.SetLevelValue(20);
    EXPECT_EQ(level.GetLevelValue(), 8);
    level.SetLevelValue(-3);
    EXPECT_EQ(level.GetLevelValue(), 2);
}

TEST(LevelFace, SegmentsLitUpToTheLevel)
{
    RecordingOwner owner;
    MLevelCtrl level(&owner, 7, CRect(0, 0, 200, 30), 1, 1);
    level.EnableShowText(0);
    level.SetLevelValue(2);
    Canvas canvas(200, 30, kBack);
    level.Draw(canvas.dc(), CRect(0, 0, 200, 30));
    EXPECT_TRUE(RgbNear(canvas.Rgb(3, 6), kLit)) << "segment 0";
    EXPECT_TRUE(RgbNear(canvas.Rgb(27, 6), kLit)) << "segment 2";
    EXPECT_TRUE(RgbNear(canvas.Rgb(24, 0), kSegment)) << "the unlit rim of a lit segment";
    EXPECT_TRUE(RgbNear(canvas.Rgb(39, 6), kSegment)) << "segment 3 unlit";
    EXPECT_TRUE(RgbNear(canvas.Rgb(9, 6), kBack)) << "gap";
    EXPECT_TRUE(RgbNear(canvas.Rgb(3, 20), kBack)) << "below the segments";
}

// A range whose maximum is below its minimum has no segments: neither drawn nor hit by
// a click (a count of 0 would divide by nothing, a negative one hit segments that are not
// there).
TEST(LevelFace, InvertedRangeHasNoSegments)
{
    for (int maximum : {9, 3}) {
        RecordingOwner owner;
        MLevelCtrl level(&owner, 7, CRect(0, 0, 200, 30), 1, 1);
        level.EnableShowText(0);
        level.SetRangeValue(10, maximum);
        Canvas canvas(200, 30, kBack);
        level.Draw(canvas.dc(), CRect(0, 0, 200, 30));
        for (int x = 0; x < 200; x += 3)
            ASSERT_TRUE(RgbNear(canvas.Rgb(x, 6), kBack)) << "maximum " << maximum << ", x " << x;
        level.OnLButtonUp(0, CPoint(3, 5));
        EXPECT_TRUE(owner.notes.empty()) << "maximum " << maximum;
    }
}
