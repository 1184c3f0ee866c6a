// Music and screen lighting costs:
//   analyser_frame   median time of one analyser frame (analysis, both effect images,
//                    composition, publication) for foreground effects 15, 17 and 0, as a
//                    share of the 15 ms frame period (goal: at most 1 %)
//   screen_step      median time of one screen-sampling step at the screen's size
//                    (goal: at most 5 ms at 1920 x 1080)
//   idle_sources     CPU time per second of the whole process with the capture thread, the
//                    analyser and the sampler started but music and screen lighting off
//                    (goal: 0), and with the analyser and sampler on for comparison
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "device/live/AudioCapture.h"
#include "device/live/ScreenLight.h"
#include "device/live/Visualizer.h"
#include "support/Bench.h"

namespace {

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double ProcessCpuSeconds()
{
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto seconds = [](const FILETIME& f) {
        return (static_cast<double>(f.dwHighDateTime) * 4294967296.0 + f.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

// CPU seconds the process uses per wall second over `seconds`, the main thread asleep.
double CpuPerSecond(double seconds)
{
    const double cpu0 = ProcessCpuSeconds();
    const double t0 = bench::Now();
    Sleep(static_cast<DWORD>(seconds * 1000));
    return (ProcessCpuSeconds() - cpu0) / (bench::Now() - t0);
}

struct NullOwner {
    void Data(const int16_t*, int, int, int, int) {}
};

} // namespace

TASTRO_BENCH(analyser_frame)
{
    // A 10 ms stereo packet of music-like sound per frame: two tones and some noise.
    std::vector<float> packet(441 * 2);
    unsigned seed = 12345;
    for (size_t i = 0; i < 441; ++i) {
        seed = seed * 1103515245 + 12345;
        const float noise = ((seed >> 16) & 0x7FFF) / 32768.0f - 0.5f;
        const float v = 0.3f * std::sin(i * 0.21f) + 0.2f * std::sin(i * 0.05f) + 0.05f * noise;
        packet[2 * i] = packet[2 * i + 1] = v;
    }
    for (int effect : {15, 17, 0}) {
        auto frames = std::make_unique<live::SpectrumFrames>();
        frames->SetForegroundEffect(effect);
        for (int i = 0; i < 50; ++i) // warm up: tables, caches
            frames->Frame(packet.data(), packet.size());
        std::vector<double> times;
        for (int i = 0; i < 400; ++i) {
            const double t0 = bench::Now();
            frames->Frame(packet.data(), packet.size());
            times.push_back(bench::Now() - t0);
        }
        const double median = Median(times);
        bench::Report("effect " + std::to_string(effect) + " frame", median * 1e6, "us");
        bench::Report("effect " + std::to_string(effect) + " share of the 15 ms period", median / 0.015 * 100, "%");
    }
}

TASTRO_BENCH(screen_step)
{
    live::ScreenLight screen; // starts GDI+
    live::SampleBitmap pixels;
    if (!live::SampleScreen(pixels)) {
        bench::Note("no screen to sample (a display is needed)");
        return;
    }
    std::vector<double> times;
    for (int i = 0; i < 60; ++i) {
        const double t0 = bench::Now();
        live::SampleScreen(pixels);
        times.push_back(bench::Now() - t0);
    }
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    bench::Note("screen " + std::to_string(width) + " x " + std::to_string(height));
    bench::Report("sampling step (median)", Median(times) * 1e3, "ms");

    // Where the time goes: reading the whole screen once, without any scaling.
    HDC screenDc = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screenDc);
    HBITMAP full = CreateCompatibleBitmap(screenDc, width, height);
    HGDIOBJ old = SelectObject(memory, full);
    std::vector<double> reads;
    for (int i = 0; i < 20; ++i) {
        const double t0 = bench::Now();
        BitBlt(memory, 0, 0, width, height, screenDc, 0, 0, SRCCOPY);
        GdiFlush();
        reads.push_back(bench::Now() - t0);
    }
    SelectObject(memory, old);
    DeleteObject(full);
    DeleteDC(memory);
    ReleaseDC(nullptr, screenDc);
    bench::Report("of which reading the whole screen once (BitBlt, median)", Median(reads) * 1e3, "ms");
}

TASTRO_BENCH(idle_sources)
{
    NullOwner owner;
    AudioCapture::Proxy<NullOwner> proxy(&owner);
    proxy.BindData(&NullOwner::Data);
    AudioCapture::CaptureThread capture;
    live::Visualizer analyser;
    live::ScreenLight screen;
    capture.Start(&proxy);
    analyser.Start();
    screen.Start(21, 6);
    Sleep(500); // start-up work settles
    bench::Note(std::string("capture thread ") + (capture.Running() ? "waiting for music lighting"
                                                                    : "ended (no loopback stream here)"));
    bench::Report("CPU per second, music and screen lighting off", CpuPerSecond(3.0) * 1e3, "ms");

    analyser.SetEnabled(true);
    screen.SetEnabled(true);
    Sleep(300);
    bench::Report("CPU per second, analyser and sampler on (for comparison)", CpuPerSecond(3.0) * 1e3, "ms");
    analyser.SetEnabled(false);
    screen.SetEnabled(false);
    Sleep(300);
    bench::Report("CPU per second, off again", CpuPerSecond(3.0) * 1e3, "ms");
}
