#pragma once
// The music analyser's arithmetic: captured samples into a history of 256 complex slots,
// a 512-value real FFT of that history, and 256 smoothed spectrum bands. Plain functions
// over fixed arrays: no allocation, no audio device, no thread.
#include <array>
#include <cstddef>

namespace live {

constexpr int kHistorySlots = 256;             // complex slots
constexpr int kHistoryValues = 2 * kHistorySlots; // real and imaginary parts, interleaved
constexpr int kBandCount = 256;

using History = std::array<float, kHistoryValues>;
using Bands = std::array<float, kBandCount>;

enum WindowKind { kWindowNone = 0, kWindowHann = 1, kWindowHamming = 2, kWindowBlackman = 3 };

// The tables every analyser shares, computed once.
struct SpectrumTables {
    std::array<float, 256> hann;
    std::array<float, 256> hamming;
    std::array<float, 256> blackman;
    std::array<float, 256> tilt; // 0.04 + 0.5 * i / 256
};
const SpectrumTables& Tables();
// The window table for a window setting (1 Hann, 2 Hamming, 3 Blackman), or nullptr.
const float* WindowTable(int window);

// What shapes the analysis; the start values are the analyser's.
struct AnalysisParams {
    float amplitude = 270;     // input gain
    int smoothingMode = 1;     // 0 block average, 1 moving average
    int smoothingWidth = 8;    // bins
    int window = kWindowHann;
    int decay = 80;            // percent of the spectrum kept from frame to frame
    float outputSmoothing = 1.0f;
};

// S[i] *= decay / 100.
void DecaySpectrum(Bands& spectrum, int decay);

// Appends captured values (interleaved channels, `count` = frames x channels) to the
// history: every group of four values becomes one slot (their mean x 2 x amplitude, as
// both parts) at the end, the older slots moving towards the start. A last group of
// fewer than four values is completed with zeros.
void PushSamples(History& history, const float* values, size_t count, float amplitude);

// In place over 256 complex values (interleaved re, im): a radix-2 FFT with
// bit-reversed ordering, e^(+2 pi i jk / 256).
void ComplexFft256(float* data);

// In place over 512 real values: the complex FFT of the 256 pairs, every value scaled by
// 1/512, then unpacked into the spectrum of the 512 real values (value 0 the real bin 0,
// value 1 the real bin 256, values 2k and 2k + 1 bin k).
void RealFft512(float* data);

// Steps of one frame after the history has been filled: window (over the first 256
// values), FFT, tilt, band mapping into S (bins 0 to 63, four bands each), smoothing of
// S and output smoothing into L. `work` is scratch space for the transform.
void AnalyseHistory(const History& history, const AnalysisParams& params, History& work, Bands& spectrum,
                    Bands& output);

// S smoothed in place with the given mode and width (width limited to 1..127).
void SmoothSpectrum(Bands& spectrum, int mode, int width);

} // namespace live
