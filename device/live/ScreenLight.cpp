#include "device/live/ScreenLight.h"

#include <gdiplus.h>

#include <chrono>
#include <memory>

namespace live {

namespace {

constexpr int kStretchWidth = 480;
constexpr int kStretchHeight = 270;

std::atomic<int> g_threadsStarted{0};

// The device contexts and the DIB section of one step, released in reverse order.
struct StepResources {
    HWND desktop = nullptr;
    HDC screen = nullptr;
    HDC memory = nullptr;
    HBITMAP dib = nullptr;
    HGDIOBJ previous = nullptr;
    ~StepResources()
    {
        if (previous)
            SelectObject(memory, previous);
        if (dib)
            DeleteObject(dib);
        if (memory)
            DeleteDC(memory);
        if (screen)
            ReleaseDC(desktop, screen);
    }
};

} // namespace

void GridColoursFromSample(const SampleBitmap& pixels, GridSize size, GridColours& colours)
{
    const GridSize grid = ClampGrid(size.rows, size.columns);
    uint32_t last = 0xFF000000; // opaque black
    for (int c = 0; c < grid.columns; ++c) {
        for (int r = 0; r < grid.rows; ++r) {
            if (c < kSampleWidth && r < kSampleHeight)
                last = pixels[r * kSampleWidth + c];
            const uint32_t red = (last >> 16) & 0xFF;
            const uint32_t green = (last >> 8) & 0xFF;
            const uint32_t blue = last & 0xFF;
            colours[GridIndex(c, r)] = red | (green << 8) | (blue << 16);
        }
    }
}

bool SampleScreen(SampleBitmap& pixels)
{
    StepResources res;
    res.desktop = GetDesktopWindow();
    res.screen = GetDC(res.desktop);
    if (!res.screen)
        return false;
    res.memory = CreateCompatibleDC(res.screen);
    if (!res.memory)
        return false;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = kStretchWidth;
    info.bmiHeader.biHeight = kStretchHeight; // bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    res.dib = CreateDIBSection(res.screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!res.dib)
        return false;
    res.previous = SelectObject(res.memory, res.dib);

    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    DEVMODEW mode = {};
    mode.dmSize = sizeof(mode);
    if (EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode) && mode.dmPelsWidth && mode.dmPelsHeight) {
        width = static_cast<int>(mode.dmPelsWidth);
        height = static_cast<int>(mode.dmPelsHeight);
    }
    StretchBlt(res.memory, 0, 0, kStretchWidth, kStretchHeight, res.screen, 0, 0, width, height, SRCCOPY);
    GdiFlush();

    Gdiplus::Bitmap stretched(res.dib, nullptr);
    Gdiplus::Bitmap small(kSampleWidth, kSampleHeight, PixelFormat32bppARGB);
    if (stretched.GetLastStatus() != Gdiplus::Ok || small.GetLastStatus() != Gdiplus::Ok)
        return false;
    {
        Gdiplus::Graphics graphics(&small);
        if (graphics.GetLastStatus() != Gdiplus::Ok)
            return false;
        if (graphics.DrawImage(&stretched, 0, 0, kSampleWidth, kSampleHeight) != Gdiplus::Ok)
            return false;
    }
    for (int y = 0; y < kSampleHeight; ++y) {
        for (int x = 0; x < kSampleWidth; ++x) {
            Gdiplus::Color colour;
            small.GetPixel(x, y, &colour);
            pixels[y * kSampleWidth + x] = colour.GetValue();
        }
    }
    return true;
}

ScreenLight::ScreenLight()
{
    for (auto& c : colours_)
        c = 0;
    Gdiplus::GdiplusStartupInput input;
    gdiplusStarted_ = Gdiplus::GdiplusStartup(&gdiplusToken_, &input, nullptr) == Gdiplus::Ok;
}

ScreenLight::~ScreenLight()
{
    Stop();
    if (gdiplusStarted_)
        Gdiplus::GdiplusShutdown(gdiplusToken_);
}

int ScreenLight::ThreadsStarted() { return g_threadsStarted.load(); }

bool ScreenLight::Start(int columns, int rows)
{
    const GridSize grid = ClampGrid(rows, columns);
    if (grid.Empty())
        return false;
    std::lock_guard<std::mutex> lock(mutex_);
    columns_ = grid.columns;
    rows_ = grid.rows;
    if (running_.load())
        return true;
    running_ = true;
    thread_ = std::thread(&ScreenLight::ThreadMain, this);
    ++g_threadsStarted;
    return true;
}

void ScreenLight::Stop()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        running_ = false;
    }
    wake_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

void ScreenLight::SetEnabled(bool enabled)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        enabled_ = enabled;
    }
    wake_.notify_all();
}

void ScreenLight::SetInterval(unsigned milliseconds)
{
    if (milliseconds)
        interval_ = milliseconds;
}

bool ScreenLight::SampleOnce()
{
    if (!gdiplusStarted_)
        return false;
    SampleBitmap pixels;
    if (!SampleScreen(pixels))
        return false;
    GridColours colours{};
    const GridSize grid{rows_.load(), columns_.load()};
    GridColoursFromSample(pixels, grid, colours);
    const GridSize clamped = ClampGrid(grid.rows, grid.columns);
    for (int c = 0; c < clamped.columns; ++c) {
        for (int r = 0; r < clamped.rows; ++r)
            colours_[GridIndex(c, r)] = colours[GridIndex(c, r)];
    }
    return true;
}

Colour ScreenLight::CellColour(int column, int row) const
{
    if (column < 0 || column >= kMaxGridColumns || row < 0 || row >= kMaxGridRows)
        return 0;
    return colours_[GridIndex(column, row)].load();
}

void ScreenLight::ThreadMain()
{
    std::unique_lock<std::mutex> lock(mutex_);
    while (running_.load()) {
        if (!enabled_.load()) {
            wake_.wait(lock, [this] { return !running_.load() || enabled_.load(); });
            continue;
        }
        lock.unlock();
        const auto next = std::chrono::steady_clock::now() + std::chrono::milliseconds(interval_.load());
        SampleOnce();
        ++steps_;
        lock.lock();
        // The worker consumes the colours at most once per period: one step per live
        // interval is all it can use.
        wake_.wait_until(lock, next, [this] { return !running_.load() || !enabled_.load(); });
    }
}

} // namespace live
