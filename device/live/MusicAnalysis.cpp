#include "device/live/MusicAnalysis.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace live {

namespace {

constexpr double kPi = 3.14159265358979323846;

SpectrumTables MakeTables()
{
    SpectrumTables t;
    for (int i = 0; i < 256; ++i) {
        const double a = 2.0 * kPi * i / 256.0;
        t.hann[i] = static_cast<float>((1.0 - std::cos(a)) / 2.0);
        t.hamming[i] = static_cast<float>(0.54 - 0.46 * std::cos(a));
        t.blackman[i] = static_cast<float>(0.42 - 0.5 * std::cos(a) + 0.08 * std::cos(2.0 * a));
        t.tilt[i] = static_cast<float>(0.04 + 0.5 * i / 256.0);
    }
    return t;
}

float Mean(const Bands& s, int first, int last)
{
    float sum = 0;
    for (int i = first; i <= last; ++i)
        sum += s[i];
    return sum / static_cast<float>(last - first + 1);
}

} // namespace

const SpectrumTables& Tables()
{
    static const SpectrumTables tables = MakeTables();
    return tables;
}

const float* WindowTable(int window)
{
    switch (window) {
    case kWindowHann:
        return Tables().hann.data();
    case kWindowHamming:
        return Tables().hamming.data();
    case kWindowBlackman:
        return Tables().blackman.data();
    default:
        return nullptr;
    }
}

void DecaySpectrum(Bands& spectrum, int decay)
{
    const float keep = static_cast<float>(decay) / 100.0f;
    for (float& s : spectrum)
        s *= keep;
}

void PushSamples(History& history, const float* values, size_t count, float amplitude)
{
    if (!values || count == 0)
        return;
    const size_t groups = (count + 3) / 4;
    // Every slot holds its value as both parts, so shifting by one slot per group is a
    // single move by all the groups at once.
    const size_t kept = groups < kHistorySlots ? kHistorySlots - groups : 0;
    if (kept)
        std::memmove(history.data(), history.data() + 2 * (kHistorySlots - kept), kept * 2 * sizeof(float));
    const size_t firstGroup = groups - (kHistorySlots - kept); // groups older than the history are dropped
    size_t slot = kept;
    for (size_t g = firstGroup; g < groups; ++g, ++slot) {
        float sum = 0;
        for (size_t k = 4 * g; k < 4 * g + 4 && k < count; ++k)
            sum += values[k];
        const float v = sum * 0.25f * 2.0f * amplitude;
        history[2 * slot] = v;
        history[2 * slot + 1] = v;
    }
}

void ComplexFft256(float* data)
{
    constexpr int n = 256;
    // Bit-reversed reordering.
    for (int i = 0, j = 0; i < n; ++i) {
        if (j > i) {
            std::swap(data[2 * i], data[2 * j]);
            std::swap(data[2 * i + 1], data[2 * j + 1]);
        }
        int bit = n >> 1;
        while (bit && (j & bit)) {
            j ^= bit;
            bit >>= 1;
        }
        j |= bit;
    }
    // Butterflies, twiddles by recurrence in double precision.
    for (int len = 2; len <= n; len <<= 1) {
        const double theta = 2.0 * kPi / len;
        const double wpr = std::cos(theta);
        const double wpi = std::sin(theta);
        double wr = 1.0;
        double wi = 0.0;
        for (int m = 0; m < len / 2; ++m) {
            for (int i = m; i < n; i += len) {
                const int k = i + len / 2;
                const double tr = wr * data[2 * k] - wi * data[2 * k + 1];
                const double ti = wr * data[2 * k + 1] + wi * data[2 * k];
                data[2 * k] = static_cast<float>(data[2 * i] - tr);
                data[2 * k + 1] = static_cast<float>(data[2 * i + 1] - ti);
                data[2 * i] = static_cast<float>(data[2 * i] + tr);
                data[2 * i + 1] = static_cast<float>(data[2 * i + 1] + ti);
            }
            const double t = wr;
            wr = t * wpr - wi * wpi;
            wi = wi * wpr + t * wpi;
        }
    }
}

void RealFft512(float* data)
{
    constexpr int n = 256; // complex points
    ComplexFft256(data);
    for (int i = 0; i < 2 * n; ++i)
        data[i] /= 512.0f;
    // The transform of the 512 reals from that of their 256 pairs: with Z the pairs'
    // transform, X[k] = E[k] + W^k O[k], E = (Z[k] + conj Z[n-k]) / 2,
    // O = (Z[k] - conj Z[n-k]) / 2i, W = e^(i pi / 256); X[n-k] = conj(E[k] - W^k O[k]).
    for (int k = 1; k < n / 2; ++k) {
        const int a = 2 * k;
        const int b = 2 * (n - k);
        const double er = 0.5 * (data[a] + data[b]);
        const double ei = 0.5 * (data[a + 1] - data[b + 1]);
        const double orr = 0.5 * (data[a + 1] + data[b + 1]);
        const double oi = -0.5 * (data[a] - data[b]);
        const double wr = std::cos(kPi * k / n);
        const double wi = std::sin(kPi * k / n);
        const double tr = wr * orr - wi * oi;
        const double ti = wr * oi + wi * orr;
        data[a] = static_cast<float>(er + tr);
        data[a + 1] = static_cast<float>(ei + ti);
        data[b] = static_cast<float>(er - tr);
        data[b + 1] = static_cast<float>(-(ei - ti));
    }
    const float re0 = data[0];
    data[0] = re0 + data[1];
    data[1] = re0 - data[1];
}

void SmoothSpectrum(Bands& s, int mode, int width)
{
    const int w = std::clamp(width, 1, kBandCount / 2 - 1);
    const int last = kBandCount - 1;
    if (mode == 0) {
        const float head = Mean(s, 0, w - 1);
        const float tail = Mean(s, kBandCount - w, last);
        for (int i = 0; i < w; ++i) {
            s[i] = head;
            s[last - i] = tail;
        }
        for (int start = 0; start < kBandCount - w; start += w) {
            const float m = Mean(s, start, start + w - 1);
            for (int i = start; i < start + w; ++i)
                s[i] = m;
        }
        return;
    }
    for (int i = 0; i < w; ++i) {
        s[i] = Mean(s, 0, w + i);
        s[last - i] = Mean(s, last - w - i, last);
    }
    for (int i = w; i < kBandCount - w; ++i) {
        float sum = s[i];
        for (int k = 1; k <= w; ++k)
            sum += s[i - k] + s[i + k];
        s[i] = sum / static_cast<float>(2 * w + 1);
    }
}

void AnalyseHistory(const History& history, const AnalysisParams& params, History& work, Bands& spectrum,
                    Bands& output)
{
    work = history;
    if (const float* window = WindowTable(params.window)) {
        for (int i = 0; i < 256; ++i)
            work[i] *= window[i];
    }
    RealFft512(work.data());
    work[0] = work[2];
    const auto& tilt = Tables().tilt;
    for (int i = 0; i < 256; ++i)
        work[i] *= tilt[i];
    for (int k = 0; k < 64; ++k) {
        const float re = work[2 * k];
        const float im = work[2 * k + 1];
        const float m = std::sqrt(re * re + im * im);
        const float v = std::min(1.0f, 0.5f * std::log10(1.1f * m) + 0.9f * m);
        float& band = spectrum[4 * k];
        if (v > band)
            band = v;
        if (band < 0)
            band = 0;
        spectrum[4 * k + 1] = spectrum[4 * k + 2] = spectrum[4 * k + 3] = band;
    }
    SmoothSpectrum(spectrum, params.smoothingMode, params.smoothingWidth);
    for (int i = 0; i < kBandCount; ++i)
        output[i] += (spectrum[i] - output[i]) * params.outputSmoothing;
}

} // namespace live
