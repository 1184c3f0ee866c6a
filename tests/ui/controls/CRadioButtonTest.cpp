// The radio button: the group rule on panels and on dialogs, checking without the rule,
// clicks and keys.
#include <gtest/gtest.h>

#include "ButtonTestSupport.h"

using namespace toolkit_test;
using namespace button_test;

namespace {

// Radios A (11) and B (12) of group "g" on a panel, C (20) of group "g" directly on the
// dialog, D (21) of group "h" on the dialog.
struct RadioDialog {
    RadioDialog()
    {
        dlg.build = [](TestDialog& d, CRect) {
            auto* panel = new MPanel(&d, 10, CRect(0, 0, 200, 60), 1);
            d.AddControl(panel);
            for (UINT id : {11u, 12u}) {
                auto* r = static_cast<CRadioButton*>(
                    panel->CreateControl(L"CRadioButton", id, CRect(0, (id - 11) * 30, 100, (id - 11) * 30 + 20),
                                         L"panel", 1, 1));
                r->SetGroupName(L"g");
            }
            static_cast<CRadioButton*>(d.CreateControl(L"CRadioButton", 20, CRect(0, 70, 100, 90), L"dialog"))
                ->SetGroupName(L"g");
            static_cast<CRadioButton*>(d.CreateControl(L"CRadioButton", 21, CRect(0, 100, 100, 120), L"other"))
                ->SetGroupName(L"h");
        };
        hwnd = dlg.CreateHidden(220, 140);
    }
    ~RadioDialog() { dlg.DestroyWindow(); }
    CRadioButton* Radio(UINT id) { return static_cast<CRadioButton*>(dlg.GetControl(id)); }
    void Click(int x, int y)
    {
        Mouse(hwnd, WM_MOUSEMOVE, x, y);
        Mouse(hwnd, WM_LBUTTONDOWN, x, y, MK_LBUTTON);
        Mouse(hwnd, WM_LBUTTONUP, x, y);
    }
    TestDialog dlg;
    HWND hwnd = nullptr;
};

} // namespace

TEST(CRadioButtonGroup, ClickingOnAPanelUnchecksOnlyThatPanelsGroup)
{
    RadioDialog d;
    ASSERT_NE(d.hwnd, nullptr);
    d.Radio(11)->SetCheck(1);
    d.Radio(20)->SetCheck(1);
    d.Radio(21)->SetCheck(1);
    ASSERT_EQ(d.Radio(11)->GetCheck(), 1) << "the panel's group and the dialog's are apart";
    d.dlg.notes.clear();
    d.Click(10, 40); // B
    EXPECT_EQ(d.Radio(12)->GetCheck(), 1);
    EXPECT_EQ(d.Radio(11)->GetCheck(), 0) << "A unchecked";
    EXPECT_EQ(d.Radio(11)->GetState(), 0);
    EXPECT_EQ(d.Radio(20)->GetCheck(), 1) << "the dialog's radio of the same group name is unaffected";
    EXPECT_EQ(d.Radio(21)->GetCheck(), 1);
    ASSERT_FALSE(d.dlg.notes.empty());
    EXPECT_EQ(d.dlg.notes.back().id, 12u);
    EXPECT_EQ(d.dlg.notes.back().code, 2u);

    d.Radio(21)->SetGroupName(L"g");
    d.Click(10, 80); // C on the dialog
    EXPECT_EQ(d.Radio(21)->GetCheck(), 0) << "same group on the dialog";
    EXPECT_EQ(d.Radio(12)->GetCheck(), 1) << "the panel's radio is unaffected";
}

TEST(CRadioButtonGroup, ClickingACheckedRadioKeepsItCheckedAndStillSendsCode2)
{
    RadioDialog d;
    ASSERT_NE(d.hwnd, nullptr);
    d.Click(10, 80);
    d.Click(10, 80);
    EXPECT_EQ(d.Radio(20)->GetCheck(), 1);
    ASSERT_EQ(d.dlg.notes.size(), 2u);
    EXPECT_EQ(d.dlg.notes[0].code, 2u);
    EXPECT_EQ(d.dlg.notes[1].code, 2u);
}

TEST(CRadioButtonCheck, DisabledRadioIgnoresSetCheckButTakesSetControlCheck)
{
    RadioDialog d;
    ASSERT_NE(d.hwnd, nullptr);
    d.Radio(20)->SetCheck(1);
    CRadioButton* c = d.Radio(21);
    c->SetGroupName(L"g");
    c->SetEnabled(0);
    EXPECT_EQ(c->SetCheck(1), 0);
    EXPECT_EQ(c->GetCheck(), 0);
    c->SetControlCheck(1);
    EXPECT_EQ(c->GetCheck(), 1);
    EXPECT_EQ(c->GetState(), 4);
    EXPECT_EQ(d.Radio(20)->GetCheck(), 1) << "SetControlCheck runs no group rule";
}

TEST(CRadioButtonCheck, ResetGroupCheckNeedsAnOwner)
{
    CRadioButton orphan(nullptr, 1, CRect(0, 0, 10, 10), L"", 1, 1);
    EXPECT_EQ(orphan.ResetGroupCheck(), 0);
    EXPECT_EQ(orphan.SetCheck(1), 1);
}

TEST(CRadioButtonKeys, SpaceWithTheFocusMarkChecksWithTheGroupRule)
{
    RadioDialog d;
    ASSERT_NE(d.hwnd, nullptr);
    d.Radio(11)->SetCheck(1);
    CRadioButton* b = d.Radio(12);
    b->SetControlFocus(1);
    d.dlg.notes.clear();
    EXPECT_EQ(b->OnKeyDown(VK_SPACE, 1, 0), 1);
    EXPECT_EQ(b->GetCheck(), 1);
    EXPECT_EQ(d.Radio(11)->GetCheck(), 0);
    ASSERT_EQ(d.dlg.notes.size(), 1u);
    EXPECT_EQ(d.dlg.notes[0].code, 7u);
    EXPECT_EQ(d.dlg.notes[0].lparam, 1);
}
