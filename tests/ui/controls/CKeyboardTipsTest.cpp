// The key tip balloon: its face (nine-grid background, three centred lines, transparent
// outside) and its placement above the anchor, repainted only on a change.
#include <gtest/gtest.h>

#include <cstdint>
#include <cwchar>
#include <vector>

#include "ui/controls/ZuntControls.h"
#include "ui/core/ToolkitTestSupport.h"

using namespace toolkit_test;

namespace {

// A 32-bit bottom-up premultiplied surface read back as ARGB.
struct Surface {
    Surface(int w, int h) : w(w), h(h), pixels(static_cast<size_t>(w) * h, 0) {}
    BYTE* bits() { return reinterpret_cast<BYTE*>(pixels.data()); }
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(h - 1 - y) * w + x]; }
    int w, h;
    std::vector<uint32_t> pixels;
};

TEST(KeyboardTipsFace, NineGridBackgroundAndCentredLines)
{
    CKeyboardTips tips;
    ASSERT_EQ(tips.SetBackImage(SkinName(L"ninegrid.png").c_str()), 1);
    Surface s(CKeyboardTips::kWidth, CKeyboardTips::kHeight);
    tips.PaintBalloon(s.bits(), s.w, s.h);
    EXPECT_EQ(s.At(2, 2), 0xFFC80000u) << "top-left corner piece";
    EXPECT_EQ(s.At(s.w - 4, s.h - 4), 0xFF320064u) << "bottom-right piece";
    EXPECT_EQ(s.At(s.w - 1, s.h - 1) >> 24, 0u) << "the last column and row stay transparent";
    const uint32_t centre = s.At(95, 50);
    EXPECT_EQ(centre, 0xFF00C8C8u);

    // Text lands in the three line boxes, centred: nothing at the boxes' far ends.
    CKeyboardTips withText;
    withText.SetBackImage(SkinName(L"ninegrid.png").c_str());
    withText.SetAirBladderMsg(L"Esc", L"Macro", L"Copy", 0, 0);
    Surface t(CKeyboardTips::kWidth, CKeyboardTips::kHeight);
    withText.PaintBalloon(t.bits(), t.w, t.h);
    const int tops[3] = {8, 35, 63};
    for (int line = 0; line < 3; ++line) {
        int changed = 0, farEnds = 0;
        for (int y = tops[line]; y < tops[line] + 20; ++y)
            for (int x = 10; x < t.w - 10; ++x)
                if (t.At(x, y) != s.At(x, y)) {
                    ++changed;
                    if (x < 50 || x > t.w - 50)
                        ++farEnds;
                }
        EXPECT_GT(changed, 10) << "line " << line;
        EXPECT_EQ(farEnds, 0) << "line " << line << " is centred";
    }
}

TEST(KeyboardTipsWindow, SitsCentredAboveTheAnchorAndRepaintsOnlyOnChange)
{
    TestDialog owner;
    HWND ownerWnd = owner.CreateHidden();
    ASSERT_NE(ownerWnd, nullptr);
    CKeyboardTips tips;
    HWND tip = tips.CreateTips(ownerWnd);
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(tips.CreateTips(ownerWnd), tip) << "one window";
    EXPECT_FALSE(IsWindowVisible(tip)) << "created hidden";
    EXPECT_TRUE(GetWindowLongW(tip, GWL_EXSTYLE) & WS_EX_LAYERED);

    tips.SetAirBladderMsg(L"F1", L"Help", L"F1", 500, 400);
    RECT placed;
    GetWindowRect(tip, &placed);
    EXPECT_EQ(CRect(placed), CRect(405, 300, 595, 400));
    EXPECT_EQ(tips.GetPaintCount(), 1);
    tips.ShowTips();
    EXPECT_TRUE(IsWindowVisible(tip));
    EXPECT_NE(GetForegroundWindow(), tip);

    tips.SetAirBladderMsg(L"F1", L"Help", L"F1", 500, 400);
    EXPECT_EQ(tips.GetPaintCount(), 1) << "unchanged";
    tips.SetAirBladderMsg(L"F1", L"Help", L"F1", 520, 400);
    EXPECT_EQ(tips.GetPaintCount(), 2);
    GetWindowRect(tip, &placed);
    EXPECT_EQ(placed.left, 425);

    tips.SetAirBladderMsg(L"", L"Help", L"F1", 520, 400);
    EXPECT_FALSE(IsWindowVisible(tip)) << "no first line: nothing shown";
    tips.ShowTips();
    EXPECT_FALSE(IsWindowVisible(tip));
    owner.DestroyWindow();
}

} // namespace

namespace {

struct FoundTip {
    HWND owner;
    HWND tip = nullptr;
};

BOOL CALLBACK FindTip(HWND hwnd, LPARAM param)
{
    auto* found = reinterpret_cast<FoundTip*>(param);
    wchar_t title[64] = {};
    GetWindowTextW(hwnd, title, 64);
    if (GetWindow(hwnd, GW_OWNER) == found->owner && wcscmp(title, L"KeyboardTip Window") == 0) {
        found->tip = hwnd;
        return FALSE;
    }
    return TRUE;
}

TEST(KeyboardTipsForIconButtons, AnIconButtonShowsItsLinesInTheBalloon)
{
    TestDialog dlg;
    CIconButton* button = nullptr;
    dlg.build = [&button](TestDialog& d, CRect) {
        button = dynamic_cast<CIconButton*>(d.CreateControl(L"CIconButton", 5, CRect(100, 120, 140, 150), L"", 1, 1));
    };
    HWND hwnd = dlg.CreateHidden(320, 240, 200, 300);
    ASSERT_NE(hwnd, nullptr);
    ASSERT_NE(button, nullptr);
    button->SetShowTips(true);
    button->SetTips(CString(L"Fn"), CString(L"Profile"), CString(L"Switch"));
    Mouse(hwnd, WM_MOUSEMOVE, 110, 130);

    FoundTip found{hwnd};
    EnumThreadWindows(GetCurrentThreadId(), FindTip, reinterpret_cast<LPARAM>(&found));
    ASSERT_NE(found.tip, nullptr) << "the balloon is made for the button, owned by its window";
    EXPECT_TRUE(IsWindowVisible(found.tip));
    auto* tips = dynamic_cast<CKeyboardTips*>(MWindow::FromHandle(found.tip));
    ASSERT_NE(tips, nullptr);
    EXPECT_EQ(tips->GetLine(0), CString(L"Fn"));
    EXPECT_EQ(tips->GetLine(1), CString(L"Profile"));
    EXPECT_EQ(tips->GetLine(2), CString(L"Switch"));
    POINT anchor = {120, 130}; // the button's horizontal centre, 10 below its top
    ClientToScreen(hwnd, &anchor);
    RECT placed;
    GetWindowRect(found.tip, &placed);
    EXPECT_EQ(CRect(placed), CRect(anchor.x - 95, anchor.y - 100, anchor.x + 95, anchor.y));

    Mouse(hwnd, WM_MOUSEMOVE, 10, 10);
    EXPECT_FALSE(IsWindowVisible(found.tip));
    dlg.DestroyWindow();
}

} // namespace
