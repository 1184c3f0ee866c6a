// The optional drop shadow: its settings, its pixels, and a shadow window that follows
// its dialog.
#include <gtest/gtest.h>

#include <vector>

#include "ToolkitTestSupport.h"

using namespace toolkit_test;

TEST(Shadow, SettersRefuseValuesOutOfRangeAndKeepTheOldOnes)
{
    MShadow shadow;
    struct Case {
        const char* what;
        std::function<int(MShadow&)> set;
        int expected;
    };
    const Case cases[] = {
        {"size 36", [](MShadow& s) { return s.SetSize(36); }, 0},
        {"size -36", [](MShadow& s) { return s.SetSize(-36); }, 0},
        {"size 35", [](MShadow& s) { return s.SetSize(35); }, 1},
        {"size -35", [](MShadow& s) { return s.SetSize(-35); }, 1},
        {"sharpness -1", [](MShadow& s) { return s.SetSharpness(-1); }, 0},
        {"sharpness 36", [](MShadow& s) { return s.SetSharpness(36); }, 0},
        {"darkness 256", [](MShadow& s) { return s.SetDarkness(256); }, 0},
        {"darkness -1", [](MShadow& s) { return s.SetDarkness(-1); }, 0},
        {"position 36,0", [](MShadow& s) { return s.SetPosition(36, 0); }, 0},
        {"position 0,-36", [](MShadow& s) { return s.SetPosition(0, -36); }, 0},
        {"image that does not exist", [](MShadow& s) { return s.SetImage(L"missing.png", CRect(1, 1, 1, 1)); }, 0},
    };
    for (const Case& c : cases) {
        MShadow fresh;
        EXPECT_EQ(c.set(fresh), c.expected) << c.what;
        if (c.expected == 0) {
            EXPECT_EQ(fresh.GetSize(), 0) << c.what;
            EXPECT_EQ(fresh.GetSharpness(), 5) << c.what;
            EXPECT_EQ(fresh.GetDarkness(), 150) << c.what;
            EXPECT_EQ(fresh.GetPosition(), CPoint(5, 5)) << c.what;
        }
    }
}

TEST(Shadow, BlurredRectangleFadesTowardsTheEdges)
{
    const int w = 40, h = 30;
    std::vector<DWORD> px(static_cast<size_t>(w) * h);
    MShadow::BlurredShadow(px.data(), w, h, 5, 200, RGB(255, 0, 0));
    auto at = [&](int x, int y) { return px[static_cast<size_t>(h - 1 - y) * w + x]; };
    EXPECT_EQ(at(20, 15), 0xC8C80000u) << "full darkness in the middle, premultiplied red";
    EXPECT_EQ(at(0, 0) >> 24, 0u) << "the corner fades round to nothing";
    EXPECT_EQ(at(0, 15) >> 24, 33u) << "one sixth at the outermost column";
    DWORD last = 0;
    for (int x = 0; x <= 5; ++x) {
        EXPECT_GT(at(x, 15) >> 24, last >> 24) << "growing towards the middle at " << x;
        last = at(x, 15);
    }
    MShadow::BlurredShadow(px.data(), w, h, 0, 90, RGB(0, 0, 0));
    EXPECT_EQ(at(0, 0), 0x5A000000u) << "sharpness 0: hard edges";
}

TEST(Shadow, WindowFollowsItsDialogAndGoesWithIt)
{
    TestDialog dlg;
    HWND hwnd = dlg.Create(nullptr, L"shadowed", WS_POPUP, 0, CRect(200, 200, 400, 300));
    ASSERT_NE(hwnd, nullptr);
    dlg.ShowWindow(SW_SHOW);
    dlg.CreateShadow(1);
    MShadow& shadow = dlg.GetPaintManager().GetShadow();
    HWND sw = shadow.GetShadowWnd();
    ASSERT_NE(sw, nullptr);
    wchar_t cls[32] = {};
    GetClassNameW(sw, cls, 32);
    EXPECT_STREQ(cls, L"ShadowWnd");
    EXPECT_EQ(GetWindow(sw, GW_OWNER), hwnd);
    const LONG_PTR ex = GetWindowLongPtrW(sw, GWL_EXSTYLE);
    EXPECT_EQ(ex & (WS_EX_LAYERED | WS_EX_TRANSPARENT), WS_EX_LAYERED | WS_EX_TRANSPARENT) << "click-through";
    EXPECT_FALSE(IsWindowVisible(sw)) << "size 0 without image: nothing to show";
    EXPECT_EQ(MWindow::FromHandle(hwnd), &dlg) << "the dialog is still found behind the shadow's hook";

    ASSERT_EQ(dlg.SetSize(10), 1);
    EXPECT_TRUE(IsWindowVisible(sw));
    CRect r;
    GetWindowRect(sw, &r);
    EXPECT_EQ(r, CRect(195, 195, 415, 315)) << "offset 5 minus size 10, grown by twice the size";

    dlg.MoveWindow(300, 250, 200, 100);
    GetWindowRect(sw, &r);
    EXPECT_EQ(r.TopLeft(), CPoint(295, 245));
    EXPECT_EQ(dlg.SetSize(36), 0);
    GetWindowRect(sw, &r);
    EXPECT_EQ(r.Width(), 220) << "a refused size changes nothing";

    dlg.ShowWindow(SW_HIDE);
    EXPECT_FALSE(IsWindowVisible(sw));
    dlg.ShowWindow(SW_SHOW);
    Pump(50);
    EXPECT_TRUE(IsWindowVisible(sw));

    // Tab navigation still reaches the dialog through the modal loop's lookup.
    dlg.DoOK();
    EXPECT_EQ(dlg.ShowModal(SW_SHOW), 1u);
    EXPECT_FALSE(IsWindow(sw)) << "destroyed with its dialog";
    EXPECT_EQ(MShadow::FromParent(hwnd), nullptr);
}
