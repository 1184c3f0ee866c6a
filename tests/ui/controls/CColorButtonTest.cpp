// Colour swatches: the group rule on panels and directly on dialogs, checking without the
// rule, presses with their codes, and the faces of each slot.
#include <gtest/gtest.h>

#include "ButtonTestSupport.h"

using namespace toolkit_test;
using namespace button_test;

namespace {

// Swatches A (11, "g"), B (12, "g") and E (13, "") on a panel; C (20, "g"), D (21, "h"),
// F (22, "") and G (23, "") directly on the dialog.
struct SwatchDialog {
    SwatchDialog()
    {
        dlg.build = [](TestDialog& d, CRect) {
            auto* panel = new MPanel(&d, 10, CRect(0, 0, 200, 30), 1);
            d.AddControl(panel);
            const struct {
                UINT id;
                const wchar_t* group;
            } onPanel[] = {{11, L"g"}, {12, L"g"}, {13, L""}}, onDialog[] = {{20, L"g"}, {21, L"h"}, {22, L""}, {23, L""}};
            int x = 0;
            for (const auto& s : onPanel) {
                auto* c = static_cast<CColorButton*>(
                    panel->CreateControl(L"CColorButton", s.id, CRect(x, 0, x + 20, 20), L"", 1, 1));
                c->SetGroupName(s.group);
                x += 30;
            }
            x = 0;
            for (const auto& s : onDialog) {
                auto* c = static_cast<CColorButton*>(d.CreateControl(L"CColorButton", s.id, CRect(x, 50, x + 20, 70), L""));
                c->SetGroupName(s.group);
                x += 30;
            }
        };
        hwnd = dlg.CreateHidden(220, 100);
    }
    ~SwatchDialog() { dlg.DestroyWindow(); }
    CColorButton* Swatch(UINT id) { return static_cast<CColorButton*>(dlg.GetControl(id)); }
    void Click(int x, int y)
    {
        Mouse(hwnd, WM_MOUSEMOVE, x, y);
        Mouse(hwnd, WM_LBUTTONDOWN, x, y, MK_LBUTTON);
        Mouse(hwnd, WM_LBUTTONUP, x, y);
    }
    std::vector<int> Checks(std::initializer_list<UINT> ids)
    {
        std::vector<int> out;
        for (UINT id : ids)
            out.push_back(Swatch(id)->GetCheck());
        return out;
    }
    TestDialog dlg;
    HWND hwnd = nullptr;
};

} // namespace

TEST(ColorButtonGroup, PressOnAPanelUnchecksThatPanelsGroupOnly)
{
    SwatchDialog d;
    ASSERT_NE(d.hwnd, nullptr);
    ASSERT_STREQ(d.Swatch(11)->GetClassName(), L"ColorButton");
    for (UINT id : {11u, 13u, 20u, 21u})
        EXPECT_EQ(d.Swatch(id)->SetCheck(1), 1);
    d.dlg.notes.clear();
    d.Click(35, 10); // B
    EXPECT_EQ(d.Checks({11, 12, 13, 20, 21}), (std::vector<int>{0, 1, 1, 1, 1}))
        << "A unchecked; E (no group name) and the dialog's swatches unaffected";
    EXPECT_EQ(d.Swatch(11)->GetState(), 0);
    ASSERT_EQ(d.dlg.notes.size(), 2u);
    EXPECT_EQ(d.dlg.notes[0].code, 1u);
    EXPECT_EQ(d.dlg.notes[1].code, 2u);
    EXPECT_EQ(d.dlg.notes[1].id, 12u);

    d.Click(35, 10); // pressing the checked swatch again keeps it checked
    EXPECT_EQ(d.Swatch(12)->GetCheck(), 1);
}

// A swatch directly on a dialog has the dialog as owner, which is not a control: its group
// is the dialog's list of top-level controls.
TEST(ColorButtonGroup, DirectlyOnADialogTheGroupIsTheDialogsTopLevel)
{
    SwatchDialog d;
    ASSERT_NE(d.hwnd, nullptr);
    d.Swatch(20)->SetCheck(1);
    d.Swatch(21)->SetCheck(1);
    d.Swatch(22)->SetCheck(1);
    d.Swatch(11)->SetCheck(1);
    EXPECT_EQ(d.Swatch(23)->SetCheck(1), 1);
    EXPECT_EQ(d.Checks({20, 21, 22, 23}), (std::vector<int>{1, 1, 0, 1})) << "an empty group name groups with empty ones";

    d.Swatch(21)->SetGroupName(L"g");
    d.Click(5, 60); // C
    EXPECT_EQ(d.Checks({20, 21, 22, 23}), (std::vector<int>{1, 0, 0, 1}));
    EXPECT_EQ(d.Swatch(11)->GetCheck(), 1) << "the panel's swatch of the same group name is unaffected";
    EXPECT_EQ(d.Swatch(20)->ResetGroupCheck(), 1);
}

TEST(ColorButtonCheck, DisabledIgnoresSetCheckButTakesSetControlCheck)
{
    Host host;
    CColorButton a(&host.owner, 1, CRect(0, 0, 20, 20), 1, 1);
    host.Attach(a);
    a.SetEnabled(0);
    EXPECT_EQ(a.GetState(), 3);
    EXPECT_EQ(a.SetCheck(1), 0);
    EXPECT_EQ(a.GetCheck(), 0);
    a.SetControlCheck(1);
    EXPECT_EQ(a.GetCheck(), 1);
    EXPECT_EQ(a.GetState(), 2);
    a.SetControlCheck(0);
    EXPECT_EQ(a.GetState(), 3) << "unchecked and disabled: the disabled look";
    EXPECT_EQ(a.OnControlLButtonDown(MK_LBUTTON, CPoint(5, 5)), 0);
    EXPECT_TRUE(host.owner.notes.empty());
    a.SetEnabled(1);
    EXPECT_EQ(a.GetState(), 0);

    CColorButton orphan(nullptr, 2, CRect(0, 0, 20, 20), 1, 1);
    EXPECT_EQ(orphan.ResetGroupCheck(), 0);
    EXPECT_EQ(orphan.SetCheck(1), 1);
}

TEST(ColorButtonInput, HoverPressAndReleaseInsideOrOutside)
{
    Host host;
    CColorButton a(&host.owner, 1, CRect(0, 0, 20, 20), 1, 1);
    host.Attach(a);
    EXPECT_EQ(a.OnControlMouseMove(0, CPoint(5, 5)), 1) << "state changed to hover";
    EXPECT_EQ(a.OnControlMouseMove(0, CPoint(6, 5)), 0) << "no change";
    EXPECT_EQ(a.GetState(), 1);
    EXPECT_EQ(a.OnControlLButtonDown(MK_LBUTTON, CPoint(5, 5)), 1);
    EXPECT_EQ(a.GetCheck(), 1);
    EXPECT_EQ(a.OnControlMouseMove(MK_LBUTTON, CPoint(50, 5)), 0) << "pressed: moves do not change the state";
    a.OnControlLButtonUp(0, CPoint(50, 5));
    EXPECT_EQ(host.Codes(), (std::vector<UINT>{1})) << "released outside: no code 2";
    EXPECT_EQ(a.GetState(), 0);
    EXPECT_EQ(a.GetCheck(), 1);
    a.OnControlLButtonDown(MK_LBUTTON, CPoint(5, 5));
    a.OnControlLButtonUp(0, CPoint(5, 5));
    EXPECT_EQ(host.Codes(), (std::vector<UINT>{1, 1, 2}));
    EXPECT_EQ(a.GetState(), 1);
}

TEST(ColorButtonFace, ColourImageAndBorderPerSlot)
{
    const uint32_t kBack = 0x101010;
    Host host;
    CColorButton a(&host.owner, 1, CRect(0, 0, 20, 20), 1, 1);
    host.Attach(a);
    a.SetColor(RGB(0x20, 0x80, 0xE0));
    {
        Canvas canvas(20, 20, kBack);
        DrawOn(canvas, a);
        EXPECT_TRUE(RgbNear(canvas.Rgb(10, 10), 0x2080E0));
        EXPECT_TRUE(RgbNear(canvas.Rgb(2, 2), 0x2080E0));
        EXPECT_EQ(canvas.Rgb(1, 1), kBack) << "slot 0: inset by 2, no outline";
    }
    a.OnControlMouseMove(0, CPoint(5, 5)); // hover: slot 1 with the light outline
    {
        Canvas canvas(20, 20, kBack);
        DrawOn(canvas, a);
        EXPECT_TRUE(RgbNear(canvas.Rgb(1, 10), 0xF5F5F5, 40));
        EXPECT_TRUE(RgbNear(canvas.Rgb(10, 10), 0x2080E0));
    }
    a.OnControlMouseMove(0, CPoint(50, 5));
    a.SetControlCheck(1); // checked shows slot 2 whatever the state
    a.SetEnabled(0);
    {
        Canvas canvas(20, 20, kBack);
        DrawOn(canvas, a);
        EXPECT_TRUE(RgbNear(canvas.Rgb(1, 10), 0xF5F5F5, 40));
    }
    a.SetControlCheck(0); // disabled: slot 3, grey outline
    {
        Canvas canvas(20, 20, kBack);
        DrawOn(canvas, a);
        EXPECT_TRUE(RgbNear(canvas.Rgb(1, 10), 0x808080, 40));
    }

    CColorButton framed(&host.owner, 2, CRect(0, 0, 20, 20), 1, 1);
    host.Attach(framed);
    framed.SetColor(RGB(0xC0, 0x00, 0x00));
    framed.SetVisibleBorder(true);
    {
        Canvas canvas(20, 20, kBack);
        DrawOn(canvas, framed);
        EXPECT_TRUE(RgbNear(canvas.Rgb(0, 10), 0xEBEBEB));
        EXPECT_TRUE(RgbNear(canvas.Rgb(2, 10), 0x050505));
        EXPECT_TRUE(RgbNear(canvas.Rgb(3, 10), 0xC00000));
    }

    CColorButton pictured(&host.owner, 3, CRect(0, 0, 40, 20), 1, 1);
    host.Attach(pictured);
    ASSERT_EQ(pictured.SetImage(Fixture(L"frames4.png").c_str(), 4), 1);
    {
        Canvas canvas(40, 20, kBack);
        DrawOn(canvas, pictured);
        // The whole 80 x 20 image (four frames) squeezed into 40 x 20: each frame 10 wide.
        EXPECT_TRUE(RgbNear(canvas.Rgb(4, 10), kFrameRgb[0], 8));
        EXPECT_TRUE(RgbNear(canvas.Rgb(14, 10), kFrameRgb[1], 8));
        EXPECT_TRUE(RgbNear(canvas.Rgb(34, 10), kFrameRgb[3], 8));
    }
}
