#include "device/live/MusicFrames.h"

namespace live {

SpectrumFrames::SpectrumFrames() : frameSettings_(settings_) {}

SpectrumSettings SpectrumFrames::Settings() const
{
    std::lock_guard<std::mutex> lock(settingsMutex_);
    return settings_;
}

void SpectrumFrames::SetSettings(const SpectrumSettings& settings)
{
    std::lock_guard<std::mutex> lock(settingsMutex_);
    settings_ = settings;
}

void SpectrumFrames::SetForegroundEffect(int effect)
{
    std::lock_guard<std::mutex> lock(settingsMutex_);
    settings_.foregroundEffect = effect;
}

void SpectrumFrames::SetBackgroundEffect(int effect)
{
    std::lock_guard<std::mutex> lock(settingsMutex_);
    settings_.backgroundEffect = effect;
}

void SpectrumFrames::SetBackgroundBrightness(int percent)
{
    std::lock_guard<std::mutex> lock(settingsMutex_);
    settings_.backgroundBrightness = percent;
}

void SpectrumFrames::SetAmplitude(float amplitude)
{
    std::lock_guard<std::mutex> lock(settingsMutex_);
    settings_.analysis.amplitude = amplitude;
}

void SpectrumFrames::BeginFrame()
{
    {
        std::lock_guard<std::mutex> lock(settingsMutex_);
        frameSettings_ = settings_;
    }
    DecaySpectrum(spectrum_, frameSettings_.analysis.decay);
}

void SpectrumFrames::Push(const float* values, size_t count)
{
    PushSamples(history_, values, count, frameSettings_.analysis.amplitude);
}

void SpectrumFrames::EndFrame()
{
    AnalyseHistory(history_, frameSettings_.analysis, work_, spectrum_, levels_);

    hue_ = WrapHue(hue_);
    PaintEffect(background_, frameSettings_.backgroundEffect, frameSettings_.backgroundBrightness, hue_);
    PaintEffect(foreground_, frameSettings_.foregroundEffect, 100, hue_);
    int back;
    {
        std::lock_guard<std::mutex> lock(publishMutex_);
        back = 1 - front_;
    }
    ComposeImage(outputs_[back], foreground_, background_, levels_);
    {
        std::lock_guard<std::mutex> lock(publishMutex_);
        front_ = back;
    }
    hue_ += frameSettings_.hueStep / 100.0;
}

void SpectrumFrames::Frame(const float* values, size_t count)
{
    BeginFrame();
    Push(values, count);
    EndFrame();
}

void SpectrumFrames::SampleGrid(const SamplePositions& positions, Colour cells[kMaxGridRows][kMaxGridColumns]) const
{
    std::lock_guard<std::mutex> lock(publishMutex_);
    const Image& image = outputs_[front_];
    for (int r = 0; r < positions.size.rows; ++r) {
        for (int c = 0; c < positions.size.columns; ++c)
            cells[r][c] = image[positions.rowY[r] * kImageWidth + positions.colX[c]];
    }
}

Colour SpectrumFrames::PublishedPixel(int x, int y) const
{
    if (x < 0 || x >= kImageWidth || y < 0 || y >= kImageHeight)
        return 0;
    std::lock_guard<std::mutex> lock(publishMutex_);
    return outputs_[front_][y * kImageWidth + x];
}

} // namespace live
