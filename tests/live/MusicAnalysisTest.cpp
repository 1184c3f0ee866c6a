// The analyser's arithmetic on made-up samples: history, FFT, bands, smoothing, decay.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "device/live/MusicFrames.h"

using namespace live;

namespace {

constexpr double kPi = 3.14159265358979323846;

// A stereo sine at the frequency that lands on FFT bin `bin` of the analyser: each group
// of four values (two stereo frames) is one history slot, and the 512 transformed values
// hold every slot twice.
std::vector<float> StereoTone(double bin, float amplitude, size_t frames, double& phase)
{
    const double rate = 44100;
    const double frequency = bin * rate * 2 / 4 / 256;
    std::vector<float> v(frames * 2);
    for (size_t i = 0; i < frames; ++i) {
        const float s = amplitude * static_cast<float>(std::sin(phase));
        phase += 2 * kPi * frequency / rate;
        v[2 * i] = v[2 * i + 1] = s;
    }
    return v;
}

int LoudestBand(const Bands& bands)
{
    int best = 0;
    for (int i = 1; i < kBandCount; ++i) {
        if (bands[i] > bands[best])
            best = i;
    }
    return best;
}

} // namespace

TEST(SpectrumTables, WindowsAndTiltAtChosenPoints)
{
    const SpectrumTables& t = Tables();
    EXPECT_FLOAT_EQ(t.hann[0], 0.0f);
    EXPECT_FLOAT_EQ(t.hann[128], 1.0f);
    EXPECT_FLOAT_EQ(t.hamming[0], 0.08f);
    EXPECT_FLOAT_EQ(t.hamming[128], 1.0f);
    EXPECT_NEAR(t.blackman[0], 0.0f, 1e-6);
    EXPECT_FLOAT_EQ(t.blackman[128], 1.0f);
    EXPECT_FLOAT_EQ(t.tilt[0], 0.04f);
    EXPECT_FLOAT_EQ(t.tilt[128], 0.29f);
    EXPECT_EQ(WindowTable(0), nullptr);
    EXPECT_EQ(WindowTable(4), nullptr);
    EXPECT_EQ(WindowTable(2), t.hamming.data());
}

TEST(SpectrumFft, RealTransformMatchesTheDirectSum)
{
    std::array<float, 512> data;
    for (int i = 0; i < 512; ++i)
        data[i] = static_cast<float>(std::sin(i * 0.3) + 0.5 * std::cos(i * 1.7) + (i % 7) * 0.1);
    const std::array<float, 512> input = data;
    RealFft512(data.data());
    double dc = 0, nyquist = 0;
    for (int n = 0; n < 512; ++n) {
        dc += input[n];
        nyquist += (n & 1) ? -input[n] : input[n];
    }
    EXPECT_NEAR(data[0], dc / 512, 1e-5);
    EXPECT_NEAR(data[1], nyquist / 512, 1e-5);
    for (int k : {1, 2, 17, 64, 127, 128, 129, 200, 255}) {
        double re = 0, im = 0;
        for (int n = 0; n < 512; ++n) {
            re += input[n] * std::cos(2 * kPi * n * k / 512);
            im += input[n] * std::sin(2 * kPi * n * k / 512);
        }
        EXPECT_NEAR(data[2 * k], re / 512, 1e-5) << "bin " << k;
        EXPECT_NEAR(data[2 * k + 1], im / 512, 1e-5) << "bin " << k;
    }
}

TEST(SpectrumHistory, GroupsOfFourBecomeSlotsAtTheEnd)
{
    History h{};
    const float values[] = {1, 2, 3, 4, 10, 10, 10, 10};
    PushSamples(h, values, 8, 0.5f);
    // (1 + 2 + 3 + 4) x 0.25 x 2 x 0.5 = 2.5, then 10: the newest slot is the last one.
    EXPECT_FLOAT_EQ(h[508], 2.5f);
    EXPECT_FLOAT_EQ(h[509], 2.5f);
    EXPECT_FLOAT_EQ(h[510], 10.0f);
    EXPECT_FLOAT_EQ(h[511], 10.0f);
    EXPECT_FLOAT_EQ(h[507], 0.0f);

    // The next packet moves them towards the start.
    const float more[] = {4, 4, 4, 4};
    PushSamples(h, more, 4, 1.0f);
    EXPECT_FLOAT_EQ(h[506], 2.5f);
    EXPECT_FLOAT_EQ(h[508], 10.0f);
    EXPECT_FLOAT_EQ(h[510], 8.0f);
}

TEST(SpectrumHistory, ReadsOnlyThePacketsValuesAndZeroFillsAPartialGroup)
{
    // Five mono frames: five values, then values that are not the packet's.
    std::vector<float> buffer = {1, 1, 1, 1, 2};
    buffer.resize(64, std::numeric_limits<float>::quiet_NaN());
    History h{};
    PushSamples(h, buffer.data(), 5, 1.0f);
    EXPECT_FLOAT_EQ(h[508], 2.0f);
    EXPECT_FLOAT_EQ(h[510], 1.0f); // (2 + 0 + 0 + 0) x 0.25 x 2
    for (float v : h)
        EXPECT_FALSE(std::isnan(v));

    // A stereo packet of 6 frames holds 12 values: all of them count (three slots).
    History stereo{};
    const float twelve[] = {1, 1, 1, 1, 1, 1, 1, 1, 3, 3, 3, 3};
    PushSamples(stereo, twelve, 12, 1.0f);
    EXPECT_FLOAT_EQ(stereo[506], 2.0f);
    EXPECT_FLOAT_EQ(stereo[508], 2.0f);
    EXPECT_FLOAT_EQ(stereo[510], 6.0f);
}

TEST(SpectrumHistory, MoreGroupsThanSlotsKeepTheNewest)
{
    std::vector<float> values(4 * 300);
    for (size_t g = 0; g < 300; ++g)
        for (size_t k = 0; k < 4; ++k)
            values[4 * g + k] = static_cast<float>(g);
    History h{};
    PushSamples(h, values.data(), values.size(), 0.5f);
    EXPECT_FLOAT_EQ(h[0], 44.0f);   // group 44 is the oldest of the last 256
    EXPECT_FLOAT_EQ(h[511], 299.0f);
}

TEST(SpectrumBands, ASineOfKnownFrequencyPeaksInItsBand)
{
    struct Case {
        double bin;
        int band; // 4 x bin
    } cases[] = {{12, 48}, {20, 80}, {40, 160}};
    for (const Case& c : cases) {
        auto frames = std::make_unique<SpectrumFrames>();
        double phase = 0;
        for (int frame = 0; frame < 10; ++frame) {
            const std::vector<float> tone = StereoTone(c.bin, 0.05f, 441, phase);
            frames->Frame(tone.data(), tone.size());
        }
        EXPECT_EQ(LoudestBand(frames->Levels()), c.band) << "bin " << c.bin;
        EXPECT_GT(frames->Levels()[c.band], 0.3f);
        EXPECT_LT(frames->Levels()[c.band + 40 < 256 ? c.band + 40 : c.band - 40], 0.1f);
    }
}

TEST(SpectrumBands, SilenceDecaysTwentyPercentPerFrame)
{
    auto frames = std::make_unique<SpectrumFrames>();
    frames->Spectrum().fill(1.0f);
    const float expected[] = {0.8f, 0.64f, 0.512f, 0.4096f};
    for (float e : expected) {
        frames->Frame(nullptr, 0);
        for (int i : {0, 5, 100, 255})
            EXPECT_NEAR(frames->Spectrum()[i], e, 1e-5) << i;
        EXPECT_NEAR(frames->Levels()[100], e, 1e-5); // output smoothing 1.0 follows S
    }
}

TEST(SpectrumSmoothing, BothModesOnAStep)
{
    // Mode 0, width 4: block means over 0..3, 4..7, ...; the last block takes the tail mean.
    Bands s{};
    for (int i = 0; i < 256; ++i)
        s[i] = static_cast<float>(i % 4 == 0 ? 4 : 0);
    SmoothSpectrum(s, 0, 4);
    for (int i : {0, 3, 4, 100, 251, 252, 255})
        EXPECT_FLOAT_EQ(s[i], 1.0f) << i;

    // Mode 1, width 2: the head uses growing means, the middle a centred 5-value mean in place.
    Bands m{};
    m[10] = 5.0f;
    SmoothSpectrum(m, 1, 2);
    EXPECT_FLOAT_EQ(m[0], 0.0f);
    EXPECT_FLOAT_EQ(m[8], 1.0f);  // (0 + 0 + 0 + 0 + 5) / 5
    EXPECT_FLOAT_EQ(m[9], 1.2f);  // (1 + 0 + 0 + 5 + 0) / 5, 8 already smoothed
    EXPECT_FLOAT_EQ(m[10], 1.44f); // (1 + 1.2 + 5 + 0 + 0) / 5
}
