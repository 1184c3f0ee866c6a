// The effect images and their composition at chosen pixels, hues and brightnesses.
#include <gtest/gtest.h>

#include <memory>

#include "device/live/MusicFrames.h"

using namespace live;

namespace {

Colour Pixel(const Image& image, int x, int y) { return image[y * kImageWidth + x]; }

} // namespace

TEST(SpectrumColours, BrightnessScaleAndPlainColours)
{
    EXPECT_EQ(BrightnessScale(100), 254); // truncate(100 x 2.55) in floating point
    EXPECT_EQ(BrightnessScale(50), 127);
    EXPECT_EQ(BrightnessScale(0), 0);
    auto image = std::make_unique<Image>();
    const Colour expected[9] = {0x000000, 0xFDFDFD, 0x0000FD, 0x003FFD, 0x00FDFD,
                                0x00FD00, 0xFDFD00, 0xFD0000, 0xFD003F};
    for (int effect = 0; effect <= 8; ++effect) {
        PaintEffect(*image, effect, 100, 0);
        EXPECT_EQ(Pixel(*image, 0, 0), expected[effect]) << "effect " << effect;
        EXPECT_EQ(Pixel(*image, 255, 63), expected[effect]) << "effect " << effect;
    }
    PaintEffect(*image, 2, 50, 0);
    EXPECT_EQ(Pixel(*image, 77, 7), 0x00007Eu); // 255 x 127 / 256
}

TEST(SpectrumColours, HsvSectors)
{
    struct Case {
        int h, s, v;
        Colour colour;
    } cases[] = {
        {0, 255, 254, 0x0000FE},   {30, 255, 254, 0x007FFE},  {60, 255, 254, 0x00FEFE},
        {90, 255, 254, 0x00FE7F},  {120, 255, 254, 0x00FE00}, {150, 255, 254, 0x7FFE00},
        {180, 255, 254, 0xFEFE00}, {210, 255, 254, 0xFE7F00}, {240, 255, 254, 0xFE0000},
        {270, 255, 254, 0xFE007F}, {300, 255, 254, 0xFE00FE}, {330, 255, 254, 0x7F00FE},
        {359, 255, 254, 0x0500FE}, {360, 255, 254, 0x0000FE}, {725, 255, 254, 0x0016FE},
        {0, 128, 200, 0x6464C8},   {90, 128, 200, 0x64C896},  {270, 128, 200, 0xC86496},
        {77, 0, 99, 0x636363}, // no saturation: grey at V
    };
    for (const Case& c : cases)
        EXPECT_EQ(HsvColour(c.h, c.s, c.v), c.colour) << "H " << c.h << " S " << c.s << " V " << c.v;
}

TEST(SpectrumColours, RainbowAndHueEffectsAtChosenPixels)
{
    struct Case {
        int effect;
        double hue;
        int x, y;
        Colour colour;
    } cases[] = {
        {15, 40, 0, 0, 0xFA522C},    {15, 40, 64, 10, 0x9306DE},  {15, 40, 128, 32, 0x00A8CE},
        {15, 40, 200, 63, 0x81E80D}, {16, 40, 0, 0, 0xFE00ED},    {16, 40, 64, 10, 0xFE2200},
        {16, 40, 200, 63, 0x00FE66}, {17, 40, 0, 0, 0x00E8FE},    {17, 40, 128, 32, 0xFE5500},
        {17, 40, 200, 63, 0xFE000D}, {19, 40, 0, 0, 0x00A9FE},    {19, 40, 255, 63, 0x00A9FE},
        {20, 40, 9, 9, 0xFA4E2F},
    };
    auto image = std::make_unique<Image>();
    for (const Case& c : cases) {
        PaintEffect(*image, c.effect, 100, c.hue);
        EXPECT_EQ(Pixel(*image, c.x, c.y), c.colour) << "effect " << c.effect << " at " << c.x << "," << c.y;
    }
    // Effects 15 and 16 are the same in every row.
    for (int effect : {15, 16}) {
        PaintEffect(*image, effect, 100, 40);
        EXPECT_EQ(Pixel(*image, 64, 0), Pixel(*image, 64, 63));
    }
}

TEST(SpectrumColours, EffectAbove20KeepsTheImage)
{
    auto image = std::make_unique<Image>();
    PaintEffect(*image, 5, 100, 0);
    PaintEffect(*image, 21, 100, 0);
    EXPECT_EQ(Pixel(*image, 10, 10), 0x00FD00u);
}

TEST(SpectrumColours, Effect9BandsAndRowZeroMeterColours)
{
    auto image = std::make_unique<Image>();
    PaintEffect(*image, 9, 100, 0);
    const Colour green = 0x00FD00, yellow = 0x00FDFD, red = 0x0000FD;
    struct Row {
        int y;
        Colour colour;
    } rows[] = {{1, red}, {21, red}, {22, yellow}, {42, yellow}, {43, green}, {63, green}};
    for (const Row& r : rows) {
        EXPECT_EQ(Pixel(*image, 0, r.y), r.colour) << "row " << r.y;
        EXPECT_EQ(Pixel(*image, 255, r.y), r.colour) << "row " << r.y;
    }
    struct Column {
        int x;
        Colour colour;
    } columns[] = {{0, red}, {42, red}, {43, yellow}, {85, yellow}, {86, green}, {127, green},
                   {128, green}, {170, green}, {171, yellow}, {213, yellow}, {214, red}, {255, red}};
    for (const Column& c : columns)
        EXPECT_EQ(Pixel(*image, c.x, 0), c.colour) << "row 0, column " << c.x;
}

TEST(SpectrumComposition, BarsAboveTheirThresholdAndTheCentredMeter)
{
    auto fg = std::make_unique<Image>();
    auto bg = std::make_unique<Image>();
    auto out = std::make_unique<Image>();
    fg->fill(0x0000FF);
    bg->fill(0x00FF00);
    Bands levels{};
    levels[10] = 0.5f;   // rows whose threshold (64 - y) / 64 is below 0.5: y > 32
    levels[20] = 1.0f;   // every row but row 0's own rule
    levels[5] = 0.56f;   // meter at 0.51
    ComposeImage(*out, *fg, *bg, levels);
    EXPECT_EQ(Pixel(*out, 10, 32), 0x00FF00u);
    EXPECT_EQ(Pixel(*out, 10, 33), 0x0000FFu);
    EXPECT_EQ(Pixel(*out, 20, 1), 0x0000FFu);
    EXPECT_EQ(Pixel(*out, 30, 63), 0x00FF00u); // no level: background
    // Row 0: x <= 127 lit while (127 - x) / 128 < 0.51, x >= 128 while (x - 128) / 128 < 0.51.
    EXPECT_EQ(Pixel(*out, 61, 0), 0x00FF00u);
    EXPECT_EQ(Pixel(*out, 62, 0), 0x0000FFu);
    EXPECT_EQ(Pixel(*out, 193, 0), 0x0000FFu);
    EXPECT_EQ(Pixel(*out, 194, 0), 0x00FF00u);
}

TEST(SpectrumFrame, SilenceShowsTheBackgroundAndTheHueWraps)
{
    auto frames = std::make_unique<SpectrumFrames>();
    SpectrumSettings s = frames->Settings();
    s.foregroundEffect = 2;
    s.backgroundEffect = 5;
    s.backgroundBrightness = 50;
    frames->SetSettings(s);
    frames->Frame(nullptr, 0);
    EXPECT_EQ(frames->PublishedPixel(0, 0), 0x007E00u); // green at 50 %, meter off
    EXPECT_EQ(frames->PublishedPixel(200, 40), 0x007E00u);
    EXPECT_DOUBLE_EQ(frames->Hue(), 5.0);

    // 357 + 5 = 362 after the step; the next frame starts from 0.
    frames->SetHue(357);
    frames->Frame(nullptr, 0);
    EXPECT_DOUBLE_EQ(frames->Hue(), 362.0);
    frames->Frame(nullptr, 0);
    EXPECT_DOUBLE_EQ(frames->Hue(), 5.0);
    EXPECT_DOUBLE_EQ(WrapHue(-1), 360.0);
    EXPECT_DOUBLE_EQ(WrapHue(359.5), 359.5);
}

TEST(SpectrumFrame, PublishedImageIsTheLastCompleteFrame)
{
    auto frames = std::make_unique<SpectrumFrames>();
    SpectrumSettings s = frames->Settings();
    s.backgroundEffect = 7;
    frames->SetSettings(s);
    frames->Frame(nullptr, 0);
    frames->SetBackgroundEffect(5);
    // Settings take effect with the next frame; until then readers see the last one.
    EXPECT_EQ(frames->PublishedPixel(3, 3), 0xFD0000u);
    frames->Frame(nullptr, 0);
    EXPECT_EQ(frames->PublishedPixel(3, 3), 0x00FD00u);

    const SamplePositions p = ImageSamplePositions(2, 3);
    Colour cells[kMaxGridRows][kMaxGridColumns] = {};
    frames->SampleGrid(p, cells);
    EXPECT_EQ(cells[1][2], 0x00FD00u);
    EXPECT_EQ(cells[2][0], 0u); // outside the grid: untouched
}
