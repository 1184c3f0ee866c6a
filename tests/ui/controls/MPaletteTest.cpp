// The HSL field: the colour formula both ways, presses and drags in the field and the
// saturation bar with their codes, the painted tables and markers, and a field or
// palette height of zero or less (no input, no marker).
#include <gtest/gtest.h>

#include "ui/controls/MPalette.h"
#include "ui/core/ToolkitTestSupport.h"

using namespace toolkit_test;

namespace {

// 0x00RRGGBB (canvas order) of a GDI colour.
uint32_t CanvasRgb(unsigned long gdi) { return (GetRValue(gdi) << 16) | (GetGValue(gdi) << 8) | GetBValue(gdi); }

// A palette whose field is 360 x 150 at the origin (hue = x, lightness = 20 + y x 1.2)
// and whose bar is x 366..398.
struct Palette {
    PaintManager pm;
    RecordingOwner owner;
    MPalette palette;
    explicit Palette(CRect rect = CRect(0, 0, 398, 152)) : palette(&owner, 620, rect, 1)
    {
        palette.SetManager(&pm);
        palette.InitControl(&pm);
    }
    std::vector<RecordingOwner::Note> Codes27() const
    {
        std::vector<RecordingOwner::Note> out;
        for (const auto& n : owner.notes)
            if (n.code == MN_COLOR_PICKED)
                out.push_back(n);
        return out;
    }
};

} // namespace

TEST(PaletteHsl, DefaultsAreHue180FullSaturationLightness60)
{
    Palette p;
    EXPECT_EQ(p.palette.GetHue(), 180);
    EXPECT_EQ(p.palette.GetSaturation(), 200);
    EXPECT_EQ(p.palette.GetLightness(), 120);
    // q = 1, p = 0.2: red 0.2, green and blue 1.0.
    EXPECT_TRUE(RgbNear(p.palette.GetSelectColor(), RGB(51, 255, 255), 1));
    EXPECT_EQ(p.palette.GetPalletHeight(), 150);
    EXPECT_EQ(p.palette.GetFieldRect(), CRect(0, 0, 360, 150));
    EXPECT_EQ(p.palette.GetBarRect(), CRect(366, 0, 398, 150));
    EXPECT_EQ(p.palette.GetFieldPoint(), CPoint(180, 83)) << "x by hue, y by lightness - 20";
}

TEST(PaletteHsl, SetSelectColorComesBackWithinOnePerChannel)
{
    const unsigned long colours[] = {0x0000FF, 0x00FF00, 0xFF0000, 0xFFFFFF, 0x000000, 0x808080, 0x00FFFF, 0xFF00FF, 0x0080FF};
    for (unsigned long c : colours) {
        Palette p;
        p.palette.SetSelectColor(c);
        EXPECT_TRUE(RgbNear(p.palette.GetSelectColor(), c, 1)) << std::hex << c;
        EXPECT_TRUE(p.Codes27().empty()) << "setting the colour reports nothing";
    }
    Palette red;
    red.palette.SetSelectColor(0x0000FF);
    EXPECT_EQ(red.palette.GetHue(), 0);
    EXPECT_EQ(red.palette.GetSaturation(), 200);
    EXPECT_EQ(red.palette.GetLightness(), 100);
    EXPECT_EQ(red.palette.GetFieldPoint(), CPoint(0, 66));
}

TEST(PaletteHsl, SaturationZeroIsTheGreyOfTheLightness)
{
    EXPECT_EQ(MPalette::HslToColor(0.3, 0.0, 0.6), RGB(153, 153, 153));
    EXPECT_EQ(MPalette::HslToColor(0.9, 0.0, 0.0), RGB(0, 0, 0));
    EXPECT_EQ(MPalette::HslToColor(0.0, 0.0, 1.0), RGB(255, 255, 255));

    Palette p;
    ASSERT_EQ(p.palette.OnControlLButtonDown(MK_LBUTTON, CPoint(380, 0)), 1) << "the top of the bar";
    EXPECT_EQ(p.palette.GetSaturation(), 0);
    EXPECT_EQ(p.palette.GetSelectColor(), RGB(153, 153, 153));
    const auto notes = p.Codes27();
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].wparam, static_cast<WPARAM>(RGB(153, 153, 153)));
    EXPECT_EQ(notes[0].lparam, 0);

    Canvas canvas(398, 152, 0x000000);
    p.palette.Draw(canvas.dc(), CRect(0, 0, 398, 152));
    EXPECT_TRUE(RgbNear(canvas.Rgb(374, 0), 0x999999, 6)) << "the bar starts grey";
}

TEST(PaletteInput, PressInTheFieldTakesHueAndLightnessAndReportsOnce)
{
    Palette p;
    ASSERT_EQ(p.palette.OnControlLButtonDown(MK_LBUTTON, CPoint(120, 75)), 1);
    EXPECT_EQ(p.palette.GetHue(), 120);
    EXPECT_EQ(p.palette.GetLightness(), 110);
    EXPECT_EQ(p.palette.GetFieldPoint(), CPoint(120, 75));
    EXPECT_TRUE(RgbNear(p.palette.GetSelectColor(), RGB(25, 255, 25), 1));
    auto notes = p.Codes27();
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].id, 620u);
    EXPECT_EQ(notes[0].wparam, static_cast<WPARAM>(p.palette.GetSelectColor()));
    p.palette.OnControlLButtonUp(0, CPoint(120, 75));

    p.palette.OnControlLButtonDown(MK_LBUTTON, CPoint(120, 75));
    EXPECT_EQ(p.Codes27().size(), 1u) << "the same colour again is not reported";

    // Edges: the left column is hue 0, the bottom row lightness 200 (clamped).
    p.palette.OnControlLButtonDown(MK_LBUTTON, CPoint(0, 149));
    EXPECT_EQ(p.palette.GetHue(), 0);
    EXPECT_EQ(p.palette.GetLightness(), 198);
    p.palette.OnControlLButtonDown(MK_LBUTTON, CPoint(359, 151)); // below the field: not in it
    EXPECT_EQ(p.palette.GetHue(), 0);
}

TEST(PaletteInput, DragsFollowTheFieldSilentlyAndTheBarWithCodes)
{
    Palette p;
    p.palette.OnControlLButtonDown(MK_LBUTTON, CPoint(10, 10));
    p.owner.notes.clear();
    EXPECT_EQ(p.palette.OnControlMouseMove(MK_LBUTTON, CPoint(200, 40)), 1);
    EXPECT_EQ(p.palette.GetHue(), 200);
    EXPECT_EQ(p.palette.GetLightness(), 68);
    p.palette.OnControlMouseMove(MK_LBUTTON, CPoint(380, 40)); // out of the field: ignored
    EXPECT_EQ(p.palette.GetHue(), 200);
    p.palette.OnControlMouseMove(0, CPoint(50, 40)); // button not held
    EXPECT_EQ(p.palette.GetHue(), 200);
    EXPECT_TRUE(p.owner.notes.empty()) << "the field drag reports nothing";
    p.palette.OnControlLButtonUp(0, CPoint(50, 40));
    EXPECT_EQ(p.palette.OnControlMouseMove(MK_LBUTTON, CPoint(100, 40)), 0) << "the drag ended";
    EXPECT_EQ(p.palette.GetHue(), 200);

    p.palette.OnControlLButtonDown(MK_LBUTTON, CPoint(370, 75));
    EXPECT_EQ(p.palette.GetSaturation(), 100);
    p.owner.notes.clear();
    p.palette.OnControlMouseMove(MK_LBUTTON, CPoint(300, 300)); // far below: full saturation
    p.palette.OnControlMouseMove(MK_LBUTTON, CPoint(370, -30)); // above: none
    EXPECT_EQ(p.palette.GetSaturation(), 0);
    ASSERT_EQ(p.owner.notes.size(), 2u);
    for (const auto& n : p.owner.notes) {
        EXPECT_EQ(n.code, static_cast<UINT>(MN_COLOR_PICKED));
        EXPECT_EQ(n.wparam, 0u);
        EXPECT_EQ(n.lparam, 0);
    }
}

TEST(PaletteInput, DisabledTakesNothingAndTheWheelIsSwallowed)
{
    Palette p;
    p.palette.SetEnabled(0);
    EXPECT_EQ(p.palette.OnControlLButtonDown(MK_LBUTTON, CPoint(120, 75)), 0);
    EXPECT_EQ(p.palette.OnControlMouseMove(MK_LBUTTON, CPoint(120, 75)), 0);
    EXPECT_EQ(p.palette.OnControlLButtonUp(0, CPoint(120, 75)), 0);
    EXPECT_EQ(p.palette.GetHue(), 180);
    EXPECT_TRUE(p.owner.notes.empty());
    p.palette.SetEnabled(1);
    EXPECT_EQ(p.palette.OnControlScroll(1, 1, CPoint(10, 10)), 1);
    EXPECT_EQ(p.palette.OnControlLButtonDown(MK_LBUTTON, CPoint(500, 10)), 1) << "outside: only the drags end";
    EXPECT_TRUE(p.owner.notes.empty());
}

TEST(PalettePaint, FieldBarMarkerAndThumb)
{
    Palette p;
    ASSERT_EQ(p.palette.SetThumbImage(SkinName(L"frames4.png").c_str()), 0);
    Canvas canvas(398, 152, 0x000000);
    p.palette.Draw(canvas.dc(), CRect(0, 0, 398, 152));
    // Field: hue x at full saturation, lightness (20 + y x 1.2) / 200.
    EXPECT_TRUE(RgbNear(canvas.Rgb(60, 75), CanvasRgb(MPalette::HslToColor(60 / 360.0, 1, 0.55)), 8));
    EXPECT_TRUE(RgbNear(canvas.Rgb(300, 20), CanvasRgb(MPalette::HslToColor(300 / 360.0, 1, 0.22)), 8));
    // Bar: saturation 0 at the top, 1 at the bottom, for hue 180 and lightness 0.6.
    EXPECT_TRUE(RgbNear(canvas.Rgb(374, 148), CanvasRgb(MPalette::HslToColor(0.5, 0.99, 0.6)), 8));
    EXPECT_TRUE(RgbNear(canvas.Rgb(390, 100), 0x000000)) << "right of the bar: the background";
    // The marker: light pixels on the circle around the field point (180, 83).
    int light = 0;
    for (int x = 174; x < 188; ++x)
        for (int y = 77; y < 91; ++y) {
            const uint32_t c = canvas.Rgb(x, y);
            if (((c >> 16) & 0xFF) > 200 && ((c >> 8) & 0xFF) > 200 && (c & 0xFF) > 200)
                ++light;
        }
    EXPECT_GT(light, 5);
    // The thumb's first (red) frame beside the bar, centred on saturation 200 (y 150),
    // cut at the bottom of the control.
    EXPECT_TRUE(RgbNear(canvas.Rgb(382 + 10, 145), 0xFF0000));
    EXPECT_TRUE(RgbNear(canvas.Rgb(382 + 10, 135), 0x000000));
}

// While the field width or the palette height is 0 or less, the formulas that turn a
// point into hue, lightness or saturation would divide by them: no input, no marker.
TEST(PaletteNoArea, InputIsIgnoredAndNoMarkerIsDrawn)
{
    struct Case {
        const char* what;
        CRect rect;
        int height; // palette height set after construction; 0: keep 150
        bool setHeight;
    } cases[] = {
        {"palette height 0", CRect(0, 0, 398, 152), 0, true},
        {"negative palette height", CRect(0, 0, 398, 152), -20, true},
        {"control narrower than the bar", CRect(0, 0, 30, 152), 0, false},
    };
    for (const Case& c : cases) {
        Palette p(c.rect);
        if (c.setHeight)
            p.palette.SetPalletHeight(c.height);
        ASSERT_EQ(p.palette.SetThumbImage(SkinName(L"frames4.png").c_str()), 0);
        const int w = c.rect.Width();
        for (CPoint pt : {CPoint(w / 2, 75), CPoint(w - 5, 75), CPoint(5, 140)}) { // field, bar, field
            EXPECT_EQ(p.palette.OnControlLButtonDown(MK_LBUTTON, pt), 0) << c.what;
            EXPECT_EQ(p.palette.OnControlMouseMove(MK_LBUTTON, pt), 0) << c.what;
        }
        EXPECT_EQ(p.palette.GetHue(), 180) << c.what;
        EXPECT_EQ(p.palette.GetLightness(), 120) << c.what;
        EXPECT_EQ(p.palette.GetSaturation(), 200) << c.what;
        EXPECT_TRUE(p.owner.notes.empty()) << c.what;

        Canvas canvas(w, 152, 0x204060);
        p.palette.Draw(canvas.dc(), CRect(0, 0, w, 152));
        int changed = 0;
        for (int x = 0; x < w; ++x)
            for (int y = 0; y < 152; ++y)
                changed += canvas.Rgb(x, y) != 0x204060;
        EXPECT_EQ(changed, 0) << c.what << ": no table, marker or thumb";
    }
}
