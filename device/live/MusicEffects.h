#pragma once
// The pictures of music lighting: effects 0 to 20 painted into 256 x 64 images, and the
// composition of a foreground and a background image by the spectrum bands. Plain
// functions over arrays; colours 0x00BBGGRR (red in the low byte).
#include <array>

#include "device/live/LiveGrid.h"
#include "device/live/MusicAnalysis.h"

namespace live {

constexpr int kImageWidth = 256;
constexpr int kImageHeight = 64;
constexpr int kLastEffect = 20;

// index = row x 256 + column
using Image = std::array<Colour, kImageWidth * kImageHeight>;

inline Colour Rgb(int r, int g, int b)
{
    return static_cast<Colour>(r & 0xFF) | (static_cast<Colour>(g & 0xFF) << 8) | (static_cast<Colour>(b & 0xFF) << 16);
}

// Brightness 0..100 as the colour scale c = truncate(brightness x 2.55).
int BrightnessScale(int brightness);
// Each colour byte x c / 256.
Colour ScaleColour(int r, int g, int b, int c);
// The integer HSV conversion by 60-degree sectors (H in degrees, S and V 0..255).
Colour HsvColour(int h, int s, int v);
// The sine rainbow at position u for the hue, scaled by c.
Colour SineRainbow(double u, double hue, int c);

// Paints effect 0..20 at the brightness; effects above 20 leave the image as it is.
void PaintEffect(Image& image, int effect, int brightness, double hue);

// The hue brought back into 0..360 at the start of a frame: 360 or more becomes 0,
// below 0 becomes 360.
double WrapHue(double hue);

// out(x, y) = foreground if L[x] > (64 - y) / 64, else background; then row 0 again as
// a centred meter of L[5].
void ComposeImage(Image& out, const Image& foreground, const Image& background, const Bands& levels);

} // namespace live
