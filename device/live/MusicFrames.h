#pragma once
// One music analyser's frames: the spectrum state, the effect images and the published
// output image, without any audio device or thread. The analyser thread drives it; tests
// and benchmarks drive it directly with made-up samples.
#include <atomic>
#include <cstddef>
#include <mutex>

#include "device/live/LiveGrid.h"
#include "device/live/MusicAnalysis.h"
#include "device/live/MusicEffects.h"

namespace live {

// What the music layer and the analyser's start values set.
struct SpectrumSettings {
    AnalysisParams analysis;
    int foregroundEffect = 15;
    int backgroundEffect = 0;
    int backgroundBrightness = 100; // percent
    double hueStep = 500.0;         // the hue advances by hueStep / 100 per frame
};

class SpectrumFrames {
public:
    SpectrumFrames();

    // Settings may be changed from any thread; a frame uses those in force when it began.
    SpectrumSettings Settings() const;
    void SetSettings(const SpectrumSettings& settings);
    void SetForegroundEffect(int effect);
    void SetBackgroundEffect(int effect);
    void SetBackgroundBrightness(int percent);
    void SetAmplitude(float amplitude);

    // --- one frame, on one thread at a time: BeginFrame, any number of Push, EndFrame.
    // Decays the spectrum and takes the settings for this frame.
    void BeginFrame();
    // Captured values (interleaved channels, count = frames x channels) into the history.
    void Push(const float* values, size_t count);
    // Analysis, both effect images, composition, publication, hue step.
    void EndFrame();
    // BeginFrame, one Push, EndFrame.
    void Frame(const float* values, size_t count);

    // --- readers (any thread)
    // The published image's colour at each grid cell's sample position (cells [row][column]).
    void SampleGrid(const SamplePositions& positions, Colour cells[kMaxGridRows][kMaxGridColumns]) const;
    Colour PublishedPixel(int x, int y) const;

    // --- state of the frame thread, for tests
    const Bands& Spectrum() const { return spectrum_; }
    Bands& Spectrum() { return spectrum_; }
    const Bands& Levels() const { return levels_; }
    double Hue() const { return hue_; }
    void SetHue(double hue) { hue_ = hue; }

private:
    mutable std::mutex settingsMutex_;
    SpectrumSettings settings_;
    SpectrumSettings frameSettings_;

    History history_{};
    History work_{};
    Bands spectrum_{};
    Bands levels_{};
    double hue_ = 0.0;
    Image foreground_{};
    Image background_{};
    Image outputs_[2]{};
    // The published output; the other one is drawn. Readers hold the lock while they
    // read, publication takes it to swap, so a reader never sees a half-drawn image.
    mutable std::mutex publishMutex_;
    int front_ = 0;
};

} // namespace live
