// The check box: faces of its eight states, clicks, keys and the enabled rule.
#include <gtest/gtest.h>

#include <functional>

#include "ButtonTestSupport.h"

using namespace toolkit_test;
using namespace button_test;

TEST(CCheckButtonFace, EachStateShowsItsFrameCentredAtTheLeft)
{
    const std::vector<std::function<void(CCheckButton&)>> toState = {
        [](CCheckButton&) {},
        [](CCheckButton& b) { b.OnMouseMove(0, CPoint(30, 10)); },
        [](CCheckButton& b) { b.OnLButtonDown(0, CPoint(30, 10)); },
        [](CCheckButton& b) { b.SetEnabled(0); },
        [](CCheckButton& b) { b.SetCheck(1); },
        [](CCheckButton& b) { b.SetCheck(1); b.OnMouseMove(0, CPoint(30, 10)); },
        [](CCheckButton& b) { b.SetCheck(1); b.OnLButtonDown(0, CPoint(30, 10)); },
        [](CCheckButton& b) { b.SetCheck(1); b.SetEnabled(0); },
    };
    for (int state = 0; state < 8; ++state) {
        Host host;
        CCheckButton box(&host.owner, 4, CRect(0, 0, 60, 20), L"", 1, 1);
        host.Attach(box);
        ASSERT_EQ(box.SetImage(Fixture(L"check8.png").c_str(), 8), 1);
        toState[static_cast<size_t>(state)](box);
        ASSERT_EQ(box.GetState(), state);
        Canvas canvas(60, 20, 0x000000);
        DrawOn(canvas, box);
        // 12 x 12 frames at (0, 4).
        EXPECT_TRUE(RgbNear(canvas.Rgb(6, 10), kCheckRgb[state])) << "state " << state;
        EXPECT_EQ(canvas.Rgb(6, 1), 0u) << "state " << state << ": centred vertically";
        EXPECT_EQ(canvas.Rgb(20, 10), 0u) << "state " << state << ": unscaled";
    }
}

TEST(CCheckButtonFace, TitleFollowsTheFrameAndGreysWhenDisabled)
{
    Host host;
    CCheckButton box(&host.owner, 4, CRect(0, 0, 80, 20), L"HH", 1, 1);
    host.Attach(box);
    box.SetTextRenderingHint(Gdiplus::TextRenderingHintSingleBitPerPixelGridFit);
    ASSERT_EQ(box.SetImage(Fixture(L"check8.png").c_str(), 8), 1);
    Canvas canvas(80, 20, 0x000000);
    DrawOn(canvas, box);
    const Ink normal = InkIn(canvas, CRect(12, 0, 80, 20), 0x000000);
    ASSERT_FALSE(normal.empty());
    EXPECT_GE(normal.box.left, 12 + 8) << "after the frame and a gap of 8";
    EXPECT_LE(normal.box.left, 12 + 8 + 4) << "(the glyph's own side bearing)";
    EXPECT_EQ(normal.Strongest(), 0xFFFFFFu);
    box.SetEnabled(0);
    canvas.Fill(0x000000);
    DrawOn(canvas, box);
    EXPECT_TRUE(RgbNear(InkIn(canvas, CRect(12, 0, 80, 20), 0x000000).Strongest(), 0x808080, 8));
}

TEST(CCheckButtonInput, ClicksToggleOnlyWhenPressedAndReleasedInside)
{
    struct Case {
        const char* what;
        std::vector<std::pair<CPoint, CPoint>> clicks; // press, release
        int check;
        std::vector<UINT> codes;
        int state;
    };
    const CPoint in(10, 10), out(200, 10);
    const std::vector<Case> cases = {
        {"press and release inside", {{in, in}}, 1, {2}, 5},
        {"twice", {{in, in}, {in, in}}, 0, {2, 2}, 1},
        {"release outside", {{in, out}}, 0, {}, 0},
        {"press outside", {{out, in}}, 0, {}, 1},
    };
    for (const Case& c : cases) {
        Host host;
        CCheckButton box(&host.owner, 4, CRect(0, 0, 60, 20), L"Box", 1, 1);
        host.Attach(box);
        for (const auto& click : c.clicks) {
            box.OnLButtonDown(0, click.first);
            box.OnLButtonUp(0, click.second);
        }
        EXPECT_EQ(box.GetCheck(), c.check) << c.what;
        EXPECT_EQ(host.Codes(), c.codes) << c.what;
        EXPECT_EQ(box.GetState(), c.state) << c.what;
    }
}

TEST(CCheckButtonInput, DisabledBoxIgnoresSetCheckAndInput)
{
    Host host;
    CCheckButton box(&host.owner, 4, CRect(0, 0, 60, 20), L"Box", 1, 0);
    host.Attach(box);
    EXPECT_EQ(box.SetCheck(1), 0);
    box.OnLButtonDown(0, CPoint(5, 5));
    box.OnLButtonUp(0, CPoint(5, 5));
    EXPECT_EQ(box.GetCheck(), 0);
    EXPECT_EQ(box.GetState(), 3);
    box.SetEnabled(1);
    EXPECT_EQ(box.SetCheck(1), 1);
    EXPECT_EQ(box.GetState(), 4);
    box.SetEnabled(0);
    EXPECT_EQ(box.GetState(), 7) << "checked and disabled";
    EXPECT_TRUE(host.owner.notes.empty());
}

TEST(CCheckButtonKeys, SpaceWithTheFocusMarkAndTheHotKeyToggle)
{
    Host host;
    CCheckButton box(&host.owner, 4, CRect(0, 0, 60, 20), L"Box", 1, 1);
    host.Attach(box);
    EXPECT_EQ(box.OnKeyDown(VK_SPACE, 1, 0), 0) << "no focus mark yet";
    EXPECT_EQ(box.SetControlFocus(1), 1);
    EXPECT_EQ(box.GetFocusMark(), 1);
    EXPECT_EQ(box.OnKeyDown(VK_SPACE, 1, 16), 0) << "Space with Shift";
    EXPECT_EQ(box.OnKeyDown(VK_SPACE, 1, 0), 1);
    EXPECT_EQ(box.GetCheck(), 1);
    box.SetHotKey('B', 18);
    EXPECT_EQ(box.OnKeyDown('B', 1, 18), 1);
    EXPECT_EQ(box.GetCheck(), 0);
    box.SetControlFocus(0);
    EXPECT_EQ(box.OnKeyDown(VK_SPACE, 1, 0), 0) << "the focus mark is gone";
    ASSERT_EQ(host.owner.notes.size(), 2u);
    EXPECT_EQ(host.owner.notes[0].code, 7u);
    EXPECT_EQ(host.owner.notes[0].lparam, 1) << "the new check";
    EXPECT_EQ(host.owner.notes[1].code, 7u);
    EXPECT_EQ(host.owner.notes[1].lparam, 0);
}

TEST(CCheckButtonKeys, SpaceReachesTheFocusedBoxThroughTheWindow)
{
    TestDialog dlg;
    dlg.build = [](TestDialog& d, CRect) {
        d.CreateControl(L"MButton", 1, CRect(0, 0, 40, 20), L"Other");
        d.CreateControl(L"CCheckButton", 2, CRect(0, 30, 80, 50), L"Box");
    };
    HWND hwnd = dlg.CreateHidden(200, 100);
    ASSERT_NE(hwnd, nullptr);
    Mouse(hwnd, WM_MOUSEMOVE, 10, 40);
    Mouse(hwnd, WM_LBUTTONDOWN, 10, 40, MK_LBUTTON);
    Mouse(hwnd, WM_LBUTTONUP, 10, 40);
    auto* box = static_cast<CCheckButton*>(dlg.GetControl(2));
    ASSERT_EQ(box->GetCheck(), 1);
    dlg.notes.clear();
    SendMessageW(hwnd, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(box->GetCheck(), 0);
    ASSERT_EQ(dlg.notes.size(), 1u);
    EXPECT_EQ(dlg.notes[0].id, 2u);
    EXPECT_EQ(dlg.notes[0].code, 7u);
    EXPECT_EQ(dlg.notes[0].lparam, 0);
    dlg.DestroyWindow();
}
