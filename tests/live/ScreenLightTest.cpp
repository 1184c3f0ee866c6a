// The screen sampler: grid colours from the small bitmap, the real screen under Xvfb, its
// single thread and its pace.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <functional>
#include <thread>

#include "LiveTestSupport.h"
#include "device/live/ScreenLight.h"

using namespace live;

namespace {

uint32_t PixelArgb(int x, int y) { return 0xFF000000u | (static_cast<uint32_t>(x * 10) << 16) | (y * 20) << 8 | 0x07; }

// A borderless topmost window over the whole screen, painted by a callback.
class CoverWindow {
public:
    using Painter = std::function<void(HDC dc, int width, int height)>;

    explicit CoverWindow(Painter painter) : painter_(std::move(painter))
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = &CoverWindow::Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TastroScreenLightCover";
        RegisterClassW(&wc);
        const int w = GetSystemMetrics(SM_CXSCREEN);
        const int h = GetSystemMetrics(SM_CYSCREEN);
        hwnd_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, wc.lpszClassName, L"cover", WS_POPUP | WS_VISIBLE, 0, 0,
                                w, h, nullptr, nullptr, wc.hInstance, this);
        UpdateWindow(hwnd_);
        Pump(300);
    }
    ~CoverWindow() { DestroyWindow(hwnd_); }
    HWND Handle() const { return hwnd_; }

    static void Pump(int ms)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < end) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&msg);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
    {
        if (msg == WM_NCCREATE)
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(
                                                       reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
        auto* self = reinterpret_cast<CoverWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (msg == WM_PAINT && self) {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            RECT rc;
            GetClientRect(hwnd, &rc);
            self->painter_(dc, rc.right, rc.bottom);
            EndPaint(hwnd, &ps);
            return 0;
        }
        if (msg == WM_ERASEBKGND)
            return 1;
        return DefWindowProcW(hwnd, msg, wp, lp);
    }

    Painter painter_;
    HWND hwnd_ = nullptr;
};

void FillRect(HDC dc, int left, int top, int right, int bottom, COLORREF colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    RECT rc = {left, top, right, bottom};
    ::FillRect(dc, &rc, brush);
    DeleteObject(brush);
}

} // namespace

TEST(ScreenGrid, CellsTakeTheirPixelAndCellsOutsideRepeatTheLastRead)
{
    SampleBitmap pixels;
    for (int y = 0; y < kSampleHeight; ++y)
        for (int x = 0; x < kSampleWidth; ++x)
            pixels[y * kSampleWidth + x] = PixelArgb(x, y);
    GridColours colours{};
    GridColoursFromSample(pixels, GridSize{8, 21}, colours);
    auto bgr = [](uint32_t argb) { return ((argb >> 16) & 0xFF) | (argb & 0xFF00) | ((argb & 0xFF) << 16); };
    for (int c = 0; c < 18; ++c) {
        for (int r = 0; r < 6; ++r)
            EXPECT_EQ(colours[GridIndex(c, r)], bgr(PixelArgb(c, r))) << c << "," << r;
        // Rows 6 and 7 lie below the bitmap: the colour of row 5 of the same column.
        EXPECT_EQ(colours[GridIndex(c, 6)], bgr(PixelArgb(c, 5)));
        EXPECT_EQ(colours[GridIndex(c, 7)], bgr(PixelArgb(c, 5)));
    }
    for (int c = 18; c < 21; ++c)
        for (int r = 0; r < 8; ++r)
            EXPECT_EQ(colours[GridIndex(c, r)], bgr(PixelArgb(17, 5))) << c << "," << r;
    EXPECT_EQ(colours[GridIndex(21, 0)], 0u); // outside the grid: untouched
}

TEST(ScreenGrid, AnEmptyGridTouchesNothing)
{
    SampleBitmap pixels{};
    GridColours colours;
    colours.fill(0x123456);
    GridColoursFromSample(pixels, GridSize{0, 0}, colours);
    EXPECT_EQ(colours[0], 0x123456u);
}

TEST(ScreenSampler, AFullScreenRedWindowGivesRedInEveryCell)
{
    CoverWindow cover([](HDC dc, int w, int h) { FillRect(dc, 0, 0, w, h, RGB(255, 0, 0)); });
    ScreenLight screen;
    ASSERT_TRUE(screen.Start(32, 8));
    ASSERT_TRUE(screen.SampleOnce());
    for (int c = 0; c < 32; ++c)
        for (int r = 0; r < 8; ++r)
            EXPECT_EQ(screen.CellColour(c, r), 0x000000FFu) << c << "," << r;
}

TEST(ScreenSampler, A21By8GridRepeatsRowFiveAndPixelSeventeenFive)
{
    // 18 x 6 blocks, each a colour of its own.
    CoverWindow cover([](HDC dc, int w, int h) {
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 18; ++x)
                FillRect(dc, x * w / 18, y * h / 6, (x + 1) * w / 18, (y + 1) * h / 6,
                         RGB(x * 14, y * 40, 255 - x * 14));
    });
    ScreenLight screen;
    ASSERT_TRUE(screen.Start(21, 8));
    ASSERT_TRUE(screen.SampleOnce());
    for (int c = 0; c < 18; ++c) {
        // Each row shows its own band of green. (Across columns the default stretch mode
        // ANDs the pixels at block edges, so reds are only roughly the blocks'.)
        for (int r = 0; r < 6; ++r)
            EXPECT_NEAR(static_cast<int>((screen.CellColour(c, r) >> 8) & 0xFF), 40 * r, 12) << c << "," << r;
        EXPECT_EQ(screen.CellColour(c, 6), screen.CellColour(c, 5)) << c;
        EXPECT_EQ(screen.CellColour(c, 7), screen.CellColour(c, 5)) << c;
    }
    EXPECT_NE(screen.CellColour(3, 5), screen.CellColour(3, 4));
    for (int c = 18; c < 21; ++c)
        for (int r = 0; r < 8; ++r)
            EXPECT_EQ(screen.CellColour(c, r), screen.CellColour(17, 5)) << c << "," << r;
}

TEST(ScreenSampler, AnEmptyGridStartsNoThreadAndOneThreadServesEveryReload)
{
    ScreenLight screen;
    const int before = ScreenLight::ThreadsStarted();
    EXPECT_FALSE(screen.Start(0, 6));
    EXPECT_FALSE(screen.Start(21, 0));
    EXPECT_FALSE(screen.Running());
    EXPECT_EQ(ScreenLight::ThreadsStarted(), before);

    EXPECT_TRUE(screen.Start(21, 6));
    EXPECT_TRUE(screen.Start(40, 12)); // a later reload: clamped size, same thread
    EXPECT_EQ(ScreenLight::ThreadsStarted(), before + 1);
    EXPECT_EQ(screen.Columns(), 32);
    EXPECT_EQ(screen.Rows(), 8);
    screen.Stop();
    EXPECT_FALSE(screen.Running());
}

TEST(ScreenSampler, StepsArePacedByTheLiveIntervalAndStopWhenDisabled)
{
    ScreenLight screen;
    screen.SetInterval(200);
    ASSERT_TRUE(screen.Start(21, 6));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(screen.StepsTaken(), 0u); // not enabled yet

    screen.SetEnabled(true);
    ASSERT_TRUE(livetest::WaitFor([&] { return screen.StepsTaken() >= 1; }));
    const auto start = std::chrono::steady_clock::now();
    const unsigned first = screen.StepsTaken();
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    const unsigned steps = screen.StepsTaken() - first;
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    // Back to back, a step of a few milliseconds would run hundreds of times a second.
    EXPECT_LE(steps, static_cast<unsigned>(elapsed / 200 + 2));

    screen.SetEnabled(false);
    EXPECT_TRUE(livetest::WaitUntilSteady([&] { return screen.StepsTaken(); }));
}
