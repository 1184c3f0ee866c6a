// GDI+ draws into a 32-bit memory DIB and the pixels read back exactly: the way the
// toolkit's off-screen rendering is tested.
#include <windows.h>
#include <gdiplus.h>
#include <gtest/gtest.h>

#include <cstdint>

namespace {

class GdiplusDib : public testing::Test {
protected:
    void SetUp() override
    {
        Gdiplus::GdiplusStartupInput input;
        ASSERT_EQ(Gdiplus::GdiplusStartup(&token_, &input, nullptr), Gdiplus::Ok);
        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
        bi.bmiHeader.biWidth = kW;
        bi.bmiHeader.biHeight = -kH; // top-down
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        dc_ = CreateCompatibleDC(nullptr);
        bmp_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        ASSERT_NE(bmp_, nullptr);
        old_ = SelectObject(dc_, bmp_);
    }
    void TearDown() override
    {
        SelectObject(dc_, old_);
        DeleteObject(bmp_);
        DeleteDC(dc_);
        Gdiplus::GdiplusShutdown(token_);
    }
    uint32_t Pixel(int x, int y) const { return bits_[y * kW + x]; }

    static constexpr int kW = 64, kH = 48;
    ULONG_PTR token_ = 0;
    HDC dc_ = nullptr;
    HBITMAP bmp_ = nullptr;
    HGDIOBJ old_ = nullptr;
    uint32_t* bits_ = nullptr;
};

} // namespace

TEST_F(GdiplusDib, OpaqueFillsReadBackExactly)
{
    Gdiplus::Graphics g(dc_);
    Gdiplus::SolidBrush black(Gdiplus::Color(255, 0, 0, 0));
    g.FillRectangle(&black, 0, 0, kW, kH);
    Gdiplus::SolidBrush red(Gdiplus::Color(255, 255, 0, 0));
    g.FillRectangle(&red, 8, 8, 16, 16);
    Gdiplus::SolidBrush teal(Gdiplus::Color(255, 0x12, 0x80, 0xFE));
    g.FillRectangle(&teal, 40, 20, 10, 10);
    g.Flush(Gdiplus::FlushIntentionSync);

    EXPECT_EQ(Pixel(16, 16) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(Pixel(45, 25) & 0xFFFFFF, 0x1280FEu);
    EXPECT_EQ(Pixel(2, 2) & 0xFFFFFF, 0x000000u);
    EXPECT_EQ(Pixel(24, 16) & 0xFFFFFF, 0x000000u); // right edge is exclusive
}

TEST_F(GdiplusDib, TranslucentFillBlendsOverBackground)
{
    Gdiplus::Graphics g(dc_);
    Gdiplus::SolidBrush white(Gdiplus::Color(255, 255, 255, 255));
    g.FillRectangle(&white, 0, 0, kW, kH);
    Gdiplus::SolidBrush halfBlack(Gdiplus::Color(128, 0, 0, 0));
    g.FillRectangle(&halfBlack, 0, 0, kW, kH);
    g.Flush(Gdiplus::FlushIntentionSync);
    for (int shift : {0, 8, 16}) {
        int c = static_cast<int>((Pixel(10, 10) >> shift) & 0xFF);
        EXPECT_NEAR(c, 127, 2) << "channel at bit " << shift;
    }
}
