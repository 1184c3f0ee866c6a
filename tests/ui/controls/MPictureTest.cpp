// Pictures: where each show mode puts frame 0, the tiled mode with frames of no size,
// a missing file, and the picture variants (photo frame, slider reveal).
#include <gtest/gtest.h>

#include "ui/controls/CPhotoFrame.h"
#include "ui/controls/CSliderPicture.h"
#include "ui/controls/MPicture.h"
#include "ui/core/ToolkitTestSupport.h"

using namespace toolkit_test;

namespace {

const uint32_t kBack = 0x202020;
// Colours of the fixtures (make_fixtures.py).
const uint32_t kRed = 0xFF0000, kSolid = 0x0A78E6;
const uint32_t kTopLeft = 0xC80000, kTop = 0x00C800, kTopRight = 0x0000C8, kLeft = 0xC8C800, kCentre = 0x00C8C8,
               kRight = 0xC800C8, kBottomRight = 0x320064;

struct Probe {
    int x, y;
    uint32_t rgb;
};

} // namespace

// The picture sits at (10, 10) on the canvas, 60 x 40; probes are relative to it.
TEST(PictureShowModes, FrameZeroLandsWhereTheModeSays)
{
    struct Case {
        const char* what;
        const wchar_t* fixture;
        int count;
        enumShowMode mode;
        UINT h, v;
        std::vector<Probe> probes;
    } cases[] = {
        {"aligned top-left", L"frames4.png", 4, SHOWMODE_ALIGN, 0, 0, {{10, 10, kRed}, {30, 10, kBack}, {10, 30, kBack}}},
        {"aligned centre", L"frames4.png", 4, SHOWMODE_ALIGN, 1, 4, {{30, 20, kRed}, {15, 20, kBack}, {30, 5, kBack}}},
        {"aligned bottom-right", L"frames4.png", 4, SHOWMODE_ALIGN, 2, 8, {{50, 30, kRed}, {35, 30, kBack}, {50, 15, kBack}}},
        {"tiled, the last row and column cut", L"ninegrid.png", 1, SHOWMODE_TILE, 0, 0,
         {{5, 5, kTopLeft}, {35, 5, kTopLeft}, {5, 35, kTopLeft}, {45, 35, kTop}, {45, 15, kCentre}}},
        {"stretched", L"ninegrid.png", 1, SHOWMODE_STRETCH, 0, 0, {{2, 2, kTopLeft}, {30, 20, kCentre}, {57, 37, kBottomRight}}},
        {"nine-grid, corner 10", L"ninegrid.png", 1, SHOWMODE_FRAME, 0, 0,
         {{5, 5, kTopLeft}, {30, 5, kTop}, {30, 20, kCentre}, {55, 35, kBottomRight}, {5, 20, kLeft}}},
        {"four margins 15, 10, 5, 10", L"ninegrid.png", 1, SHOWMODE_FRAME_MID, 0, 0,
         {{3, 3, kTopLeft}, {12, 3, kTop}, {57, 3, kTopRight}, {57, 20, kRight}, {12, 20, kCentre}}},
        {"custom part: the centre piece", L"ninegrid.png", 1, SHOWMODE_CUSTOM, 0, 0,
         {{3, 3, kCentre}, {50, 30, kCentre}}},
    };
    for (const Case& c : cases) {
        Canvas canvas(80, 60, kBack);
        RecordingOwner owner;
        MPicture pic(&owner, 5, CRect(10, 10, 70, 50), 1, 1);
        ASSERT_EQ(pic.SetImage(SkinName(c.fixture).c_str(), c.count), 1) << c.what;
        pic.SetAlignment(c.h, c.v);
        int changed = 1;
        if (c.mode == SHOWMODE_FRAME)
            changed = pic.SetShowMode(SHOWMODE_FRAME, 10);
        else if (c.mode == SHOWMODE_FRAME_MID)
            changed = pic.SetShowModeMID(15, 10, 5, 10);
        else if (c.mode != SHOWMODE_ALIGN)
            changed = pic.SetShowMode(c.mode, 0);
        EXPECT_EQ(changed, 1) << c.what;
        if (c.mode == SHOWMODE_CUSTOM)
            pic.SetCustomRect(CRect(10, 10, 20, 20));
        pic.Draw(canvas.dc(), CRect(0, 0, 80, 60));
        for (const Probe& p : c.probes)
            EXPECT_TRUE(RgbNear(canvas.Rgb(10 + p.x, 10 + p.y), p.rgb, 12)) << c.what << " at " << p.x << "," << p.y;
        EXPECT_TRUE(RgbNear(canvas.Rgb(5, 5), kBack)) << c.what << ": nothing outside the control";
    }
}

TEST(PictureShowModes, SetShowModeReportsOnlyChanges)
{
    RecordingOwner owner;
    MPicture pic(&owner, 5, CRect(0, 0, 60, 40), 1, 1);
    EXPECT_EQ(pic.SetShowMode(SHOWMODE_ALIGN, 4), 0) << "already aligned";
    EXPECT_EQ(pic.SetShowMode(SHOWMODE_FRAME, 4), 1);
    EXPECT_EQ(pic.SetShowMode(SHOWMODE_FRAME, 8), 1) << "the corner counts in nine-grid mode";
    EXPECT_EQ(pic.SetShowMode(SHOWMODE_STRETCH, 8), 1);
    EXPECT_EQ(pic.SetShowMode(SHOWMODE_STRETCH, 12), 0) << "the corner does not count in other modes";
    EXPECT_EQ(pic.SetShowModeMID(1, 2, 3, 4), 1);
    EXPECT_EQ(pic.GetShowMode(), SHOWMODE_FRAME_MID);
    EXPECT_EQ(pic.SetShowModeMID(1, 2, 3, 4), 0);
}

// A frame count larger than the image width gives frames 0 pixels wide: tiling them would
// never advance. Nothing is drawn and the face is done.
TEST(PictureShowModes, TiledFramesWithoutWidthDrawNothing)
{
    Canvas canvas(80, 60, kBack);
    RecordingOwner owner;
    MPicture pic(&owner, 5, CRect(10, 10, 70, 50), 1, 1);
    ASSERT_EQ(pic.SetImage(SkinName(L"frames4.png").c_str(), 100), 1);
    ASSERT_EQ(pic.GetImageSize().cx, 0);
    pic.SetShowMode(SHOWMODE_TILE, 0);
    pic.Draw(canvas.dc(), CRect(0, 0, 80, 60));
    EXPECT_TRUE(RgbNear(canvas.Rgb(20, 20), kBack));
    EXPECT_TRUE(RgbNear(canvas.Rgb(60, 45), kBack));
}

TEST(PictureShowModes, MissingFileLeavesThePictureEmptyAndRepaints)
{
    Canvas canvas(80, 60, kBack);
    RecordingOwner owner;
    MPicture pic(&owner, 5, CRect(10, 10, 70, 50), 1, 1);
    ASSERT_EQ(pic.SetImage(SkinName(L"frames4.png").c_str(), 4), 1);
    pic.Draw(canvas.dc(), CRect(0, 0, 80, 60));
    ASSERT_TRUE(RgbNear(canvas.Rgb(20, 20), kRed));
    owner.updates.clear();
    EXPECT_EQ(pic.SetImage(SkinName(L"no-such-file.png").c_str(), 4), 0);
    ASSERT_EQ(owner.updates.size(), 1u);
    EXPECT_EQ(owner.updates[0].rebuild, 1);
    EXPECT_EQ(pic.GetImage(), nullptr);
    canvas.Fill(kBack);
    pic.SetUpdate(0, 0); // what the owner does on a rebuild request
    pic.Draw(canvas.dc(), CRect(0, 0, 80, 60));
    EXPECT_TRUE(RgbNear(canvas.Rgb(20, 20), kBack)) << "the old picture is gone";
}

// ---------------------------------------------------------------- CPhotoFrame

TEST(PhotoFrame, ButtonCodesAndStateSlots)
{
    Canvas canvas(60, 40, kBack);
    RecordingOwner owner;
    CPhotoFrame photo(&owner, 8, CRect(0, 0, 60, 40), 1, 1);
    ASSERT_EQ(photo.SetPhotoFrame(SkinName(L"frames4.png").c_str(), 4), 1);
    photo.SetShowMode(SHOWMODE_STRETCH, 0);
    photo.OnMouseMove(0, CPoint(30, 20));
    EXPECT_EQ(photo.GetState(), 1);
    photo.OnLButtonDown(MK_LBUTTON, CPoint(30, 20));
    EXPECT_EQ(photo.GetState(), 2);
    photo.OnLButtonUp(0, CPoint(30, 20));
    EXPECT_EQ(photo.GetState(), 1);
    photo.OnLButtonDown(MK_LBUTTON, CPoint(30, 20));
    photo.OnLButtonUp(0, CPoint(90, 20)); // released outside
    EXPECT_EQ(photo.GetState(), 0);
    std::vector<UINT> codes;
    for (const auto& n : owner.notes)
        codes.push_back(n.code);
    EXPECT_EQ(codes, (std::vector<UINT>{1, 2, 1})) << "a release outside is no click";

    photo.SetEnabled(0);
    EXPECT_EQ(photo.GetState(), 3);
    photo.Draw(canvas.dc(), CRect(0, 0, 60, 40));
    EXPECT_TRUE(RgbNear(canvas.Rgb(30, 20), kRed, 12)) << "every slot shows the photo (frame 0 stretched)";
}

// The overlay is a nine-grid with corner 12: its centre needs frames larger than 24.
TEST(PhotoFrame, OverlayCoversAllButTheDisabledSlot)
{
    PaintManager pm;
    RecordingOwner owner;
    CPhotoFrame photo(&owner, 8, CRect(0, 0, 60, 40), 1, 1);
    photo.SetManager(&pm);
    ASSERT_EQ(photo.SetPhotoFrame(SkinName(L"frames4.png").c_str(), 4), 1);
    photo.SetShowMode(SHOWMODE_STRETCH, 0);
    ASSERT_EQ(photo.SetImage(SkinName(L"background.png").c_str(), 1), 1); // one frame: frame 1 reads as the last
    for (int enabled : {1, 0}) {
        Canvas canvas(60, 40, kBack);
        photo.SetEnabled(enabled);
        photo.SetUpdate(0, 0);
        photo.Draw(canvas.dc(), CRect(0, 0, 60, 40));
        EXPECT_TRUE(RgbNear(canvas.Rgb(30, 20), enabled ? kSolid : kRed, 12)) << "enabled " << enabled;
    }
}

// ---------------------------------------------------------------- CSliderPicture

TEST(SliderPicture, RevealMovesAtLeastOnePixelPerStepAndHidesAtTheEnd)
{
    // 50 pixels wide: 1 % of the width is no pixel at all.
    RecordingOwner owner;
    CSliderPicture slide(&owner, 9, CRect(0, 0, 50, 20), 1, 1);
    slide.SetRun(1, SLIDER_MODE_LEFT);
    EXPECT_EQ(slide.IsRunTimer(), 1) << "ticks while revealing";
    slide.OnTimer();
    EXPECT_EQ(slide.GetRevealPosition(), 1);
    int ticks = 1;
    while (slide.IsRun() && ticks < 1000) {
        slide.OnTimer();
        ++ticks;
    }
    EXPECT_EQ(ticks, 50);
    EXPECT_EQ(slide.GetRevealPosition(), 50);
    EXPECT_EQ(slide.IsVisible(), 0) << "the picture hides itself when the reveal ends";
    EXPECT_EQ(slide.IsRunTimer(), 0) << "no tick needed any more";
}

TEST(SliderPicture, UnrevealedPartIsLightGrey)
{
    struct Case {
        SLIDER_MODE mode;
        int shownX, shownY, hiddenX, hiddenY;
    } cases[] = {
        {SLIDER_MODE_LEFT, 5, 20, 190, 20},
        {SLIDER_MODE_RIGHT, 195, 20, 10, 20},
        {SLIDER_MODE_TOP, 100, 1, 100, 30},
    };
    for (const Case& c : cases) {
        PaintManager pm;
        RecordingOwner owner;
        CSliderPicture slide(&owner, 9, CRect(0, 0, 200, 40), 1, 1);
        slide.SetManager(&pm);
        ASSERT_EQ(slide.SetImage(SkinName(L"background.png").c_str(), 1), 1);
        slide.SetShowMode(SHOWMODE_STRETCH, 0);
        slide.SetRun(1, c.mode);
        for (int i = 0; i < 5; ++i)
            slide.OnTimer(); // 5 % revealed: 10 px across, 2 px down
        Canvas canvas(200, 40, kBack);
        slide.Draw(canvas.dc(), CRect(0, 0, 200, 40));
        EXPECT_TRUE(RgbNear(canvas.Rgb(c.shownX, c.shownY), kSolid, 12)) << "mode " << c.mode;
        EXPECT_TRUE(RgbNear(canvas.Rgb(c.hiddenX, c.hiddenY), 0xF2F2F2)) << "mode " << c.mode;
    }
}
