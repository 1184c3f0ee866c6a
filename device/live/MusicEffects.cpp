#include "device/live/MusicEffects.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace live {

namespace {

struct Palette {
    int count;
    Colour colours[6];
};

// Effects 9 to 14: palettes from the bottom of the image upwards.
const Palette kPalettes[6] = {
    {3, {Rgb(0, 255, 0), Rgb(255, 255, 0), Rgb(255, 0, 0)}},
    {3, {Rgb(0, 255, 0), Rgb(255, 255, 255), Rgb(255, 0, 0)}},
    {3, {Rgb(0, 0, 255), Rgb(0, 255, 255), Rgb(255, 255, 255)}},
    {3, {Rgb(255, 0, 0), Rgb(255, 255, 255), Rgb(0, 0, 255)}},
    {6, {Rgb(255, 0, 0), Rgb(255, 255, 0), Rgb(0, 255, 0), Rgb(0, 255, 255), Rgb(0, 0, 255), Rgb(255, 0, 255)}},
    {6, {Rgb(255, 0, 255), Rgb(0, 0, 255), Rgb(0, 255, 255), Rgb(0, 255, 0), Rgb(255, 255, 0), Rgb(255, 0, 0)}},
};

// Effects 1 to 8: one colour everywhere.
const Colour kPlainColours[8] = {
    Rgb(255, 255, 255), Rgb(255, 0, 0), Rgb(255, 64, 0), Rgb(255, 255, 0),
    Rgb(0, 255, 0),     Rgb(0, 255, 255), Rgb(0, 0, 255), Rgb(64, 0, 255),
};

Colour Scale(Colour colour, int c)
{
    return ScaleColour(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF, c);
}

void Fill(Image& image, Colour colour) { image.fill(colour); }

void PaintPalette(Image& image, const Palette& palette, int c)
{
    const int n = palette.count;
    Colour scaled[6];
    for (int i = 0; i < n; ++i)
        scaled[i] = Scale(palette.colours[i], c);
    for (int y = 1; y < kImageHeight; ++y) {
        const int entry = std::clamp(static_cast<int>(n - n * y / 63.0), 0, n - 1);
        std::fill_n(image.begin() + y * kImageWidth, kImageWidth, scaled[entry]);
    }
    for (int x = 0; x < kImageWidth; ++x) {
        int entry;
        if (x >= 128)
            entry = static_cast<int>((x - 128) * n / 128.0);
        else
            entry = std::min(static_cast<int>(n - n * x / 128.0), n - 1);
        image[x] = scaled[std::clamp(entry, 0, n - 1)];
    }
}

// Effects 17 and 18: ((int)(degrees of atan2(y - k, x - 128)) + 180) modulo 360 per
// pixel, which does not change from frame to frame.
std::array<uint16_t, kImageWidth * kImageHeight> MakeAngleTable(int k)
{
    std::array<uint16_t, kImageWidth * kImageHeight> t;
    for (int y = 0; y < kImageHeight; ++y) {
        for (int x = 0; x < kImageWidth; ++x) {
            const int degrees = static_cast<int>(std::atan2(y - k, x - 128) * 57.295827908797776);
            t[y * kImageWidth + x] = static_cast<uint16_t>((degrees + 180) % 360);
        }
    }
    return t;
}

const std::array<uint16_t, kImageWidth * kImageHeight>& AngleTable(int k)
{
    static const auto centre = MakeAngleTable(32);
    static const auto bottom = MakeAngleTable(64);
    return k == 32 ? centre : bottom;
}

void PaintRows(Image& image, const Colour* row)
{
    for (int y = 0; y < kImageHeight; ++y)
        std::copy_n(row, kImageWidth, image.begin() + y * kImageWidth);
}

} // namespace

int BrightnessScale(int brightness) { return static_cast<int>(brightness * 2.55); }

Colour ScaleColour(int r, int g, int b, int c) { return Rgb(r * c / 256, g * c / 256, b * c / 256); }

Colour HsvColour(int h, int s, int v)
{
    if (s == 0)
        return Rgb(v, v, v);
    h %= 360;
    if (h < 0)
        h += 360;
    const int sector = h / 60;
    const int p = ((256 - s) * v) >> 8;
    if (sector & 1) {
        const int q = ((60 * sector - h) * s + 15360) * v / 15360;
        switch (sector) {
        case 1:
            return Rgb(q, v, p);
        case 3:
            return Rgb(p, q, v);
        default:
            return Rgb(v, p, q);
        }
    }
    const int t = v * (s * (h - 60 * sector - 60) + 15360) / 15360;
    switch (sector) {
    case 0:
        return Rgb(v, t, p);
    case 2:
        return Rgb(p, v, t);
    default:
        return Rgb(t, p, v);
    }
}

Colour SineRainbow(double u, double hue, int c)
{
    const double theta = (static_cast<int>(u * 1.4117647 - hue) % 360) / 360.0 * 2 * 3.14;
    const int r = c * static_cast<int>(std::floor((std::sin(theta) + 1) * 127)) / 256;
    const int g = c * static_cast<int>(std::floor((std::sin(theta - 2.0933335) + 1) * 127)) / 256;
    const int b = c * static_cast<int>(std::floor((std::sin(theta + 2.0933335) + 1) * 127)) / 256;
    return Rgb(r, g, b);
}

void PaintEffect(Image& image, int effect, int brightness, double hue)
{
    const int c = BrightnessScale(brightness);
    if (effect == 0) {
        Fill(image, 0);
    } else if (effect >= 1 && effect <= 8) {
        Fill(image, Scale(kPlainColours[effect - 1], c));
    } else if (effect >= 9 && effect <= 14) {
        PaintPalette(image, kPalettes[effect - 9], c);
    } else if (effect == 15) {
        Colour row[kImageWidth];
        for (int x = 0; x < kImageWidth; ++x)
            row[x] = SineRainbow(x, hue, c);
        PaintRows(image, row);
    } else if (effect == 16) {
        Colour row[kImageWidth];
        for (int x = 0; x < kImageWidth; ++x)
            row[x] = HsvColour(static_cast<int>(256 - x + hue) % 360, 255, c);
        PaintRows(image, row);
    } else if (effect == 17 || effect == 18) {
        // hue >= 0 here, so (int)(angle + hue) is angle + (int)hue: one colour per degree.
        const std::array<uint16_t, kImageWidth * kImageHeight>& angles = AngleTable(effect == 17 ? 32 : 64);
        Colour wheel[360];
        const int shift = static_cast<int>(hue);
        for (int h = 0; h < 360; ++h)
            wheel[h] = HsvColour(h + shift, 255, c);
        for (int i = 0; i < kImageWidth * kImageHeight; ++i)
            image[i] = wheel[angles[i]];
    } else if (effect == 19) {
        Fill(image, HsvColour(static_cast<int>(hue), 255, c));
    } else if (effect == 20) {
        Fill(image, SineRainbow(1, hue, c));
    }
}

double WrapHue(double hue)
{
    if (hue >= 360)
        return 0;
    if (hue < 0)
        return 360;
    return hue;
}

void ComposeImage(Image& out, const Image& foreground, const Image& background, const Bands& levels)
{
    for (int y = 0; y < kImageHeight; ++y) {
        const float threshold = static_cast<float>(64 - y) / 64.0f;
        const int row = y * kImageWidth;
        for (int x = 0; x < kImageWidth; ++x)
            out[row + x] = levels[x] > threshold ? foreground[row + x] : background[row + x];
    }
    const float meter = levels[5] - 0.05f;
    for (int x = 0; x < kImageWidth; ++x) {
        const float threshold = x <= 127 ? (127 - x) / 128.0f : (x - 128) / 128.0f;
        out[x] = meter > threshold ? foreground[x] : background[x];
    }
}

} // namespace live
