#pragma once
// Screen-sync lighting: a sampler thread shrinks the whole primary screen to an 18 x 6
// bitmap and keeps one colour per key grid cell (column c, row r from pixel (c, r)).
#include <windows.h>

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

#include "device/live/LiveGrid.h"

namespace live {

constexpr int kSampleWidth = 18;
constexpr int kSampleHeight = 6;

// Pixels of the small bitmap as 0xAARRGGBB, row-major.
using SampleBitmap = std::array<uint32_t, kSampleWidth * kSampleHeight>;
// Grid colours at index column x 8 + row, as 0x00BBGGRR.
using GridColours = std::array<Colour, kMaxGridColumns * kMaxGridRows>;

inline int GridIndex(int column, int row) { return column * kMaxGridRows + row; }

// Grid cell (c, r) for c < columns and r < rows takes pixel (c, r) with red and blue
// swapped and no alpha; a cell outside the bitmap repeats the last pixel read before it
// (opaque black before the first).
void GridColoursFromSample(const SampleBitmap& pixels, GridSize size, GridColours& colours);

// The whole primary screen through the desktop window's device context, stretched to a
// 480 x 270 DIB section and drawn by GDI+ into the 18 x 6 bitmap. False when a device
// context, the DIB section or a GDI+ object could not be made. GDI+ must be started.
bool SampleScreen(SampleBitmap& pixels);

// One sampler per main window. Start and SetEnabled are called from the worker and the
// user-interface thread, Colour from the worker's live step, all without waiting on the
// sampler.
class ScreenLight {
public:
    ScreenLight();
    ~ScreenLight();
    ScreenLight(const ScreenLight&) = delete;
    ScreenLight& operator=(const ScreenLight&) = delete;

    // A grid of columns x rows (clamped to 32 x 8). An empty grid starts nothing (false).
    // Only the first call starts the thread; later calls only change the grid size.
    bool Start(int columns, int rows);
    void Stop();
    bool Running() const { return running_.load(); }
    int Columns() const { return columns_.load(); }
    int Rows() const { return rows_.load(); }
    // Starts without a thread for this process (the threads started so far, for tests).
    static int ThreadsStarted();

    // Sampling happens only while enabled; while disabled the thread waits, costing nothing.
    void SetEnabled(bool enabled);
    bool Enabled() const { return enabled_.load(); }
    // At most one sampling step per interval (the live interval: 33, 66 or 99 ms).
    void SetInterval(unsigned milliseconds);

    // One sampling step on the calling thread; false (colours untouched) when it failed.
    bool SampleOnce();
    Colour CellColour(int column, int row) const;
    // Sampling steps the thread has run.
    unsigned StepsTaken() const { return steps_.load(); }

private:
    void ThreadMain();

    std::atomic<bool> running_{false};
    std::atomic<bool> enabled_{false};
    std::atomic<int> columns_{0};
    std::atomic<int> rows_{0};
    std::atomic<unsigned> interval_{33};
    std::atomic<unsigned> steps_{0};
    std::array<std::atomic<Colour>, kMaxGridColumns * kMaxGridRows> colours_;

    std::mutex mutex_;
    std::condition_variable wake_;
    std::thread thread_;
    ULONG_PTR gdiplusToken_ = 0;
    bool gdiplusStarted_ = false;
};

} // namespace live
