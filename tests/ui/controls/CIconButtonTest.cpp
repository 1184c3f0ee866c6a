// The icon button: down state and the group rule, slots, and the tips seam.
#include <gtest/gtest.h>

#include "ButtonTestSupport.h"

using namespace toolkit_test;
using namespace button_test;

namespace {

// Tips windows made by the factory record what they were asked.
struct TipsLog {
    int made = 0;
    std::vector<std::wstring> calls;
    POINT anchor{0, 0};
};
TipsLog g_tips;

class RecordingTips : public IconButtonTips {
public:
    void ShowTips(HWND, POINT anchor, const CString& title, const CString& line2, const CString& line3) override
    {
        g_tips.anchor = anchor;
        g_tips.calls.push_back(L"show " + title + L"|" + line2 + L"|" + line3);
    }
    void HideTips() override { g_tips.calls.push_back(L"hide"); }
};

IconButtonTips* MakeRecordingTips()
{
    ++g_tips.made;
    return new RecordingTips;
}

} // namespace

TEST(CIconButtonGroup, ClickLeavesItDownAndRaisesTheVisibleEnabledMembers)
{
    Host host;
    MControl* made[4];
    for (UINT i = 0; i < 4; ++i)
        made[i] = host.pm.CreateControl(1, &host.owner, L"CIconButton", 30 + i, CRect(i * 50, 0, i * 50 + 40, 20),
                                        L"", 1, 1);
    CIconButton* b[4];
    for (int i = 0; i < 4; ++i) {
        b[i] = dynamic_cast<CIconButton*>(made[i]);
        ASSERT_NE(b[i], nullptr);
        b[i]->SetGroupName(i < 3 ? L"keys" : L"other");
        b[i]->SetControlCheck(1);
    }
    b[2]->SetVisible(0);
    b[0]->OnLButtonDown(0, CPoint(10, 10));
    b[0]->OnLButtonUp(0, CPoint(10, 10));
    EXPECT_EQ(host.Codes(), (std::vector<UINT>{1, 2}));
    EXPECT_EQ(b[0]->GetDownState(), 1);
    EXPECT_EQ(b[1]->GetDownState(), 0) << "raised";
    EXPECT_EQ(b[1]->GetState(), 0);
    EXPECT_EQ(b[2]->GetDownState(), 1) << "hidden members keep their state";
    EXPECT_EQ(b[3]->GetDownState(), 1) << "another group";

    b[0]->OnLButtonDown(0, CPoint(10, 10));
    b[0]->OnLButtonUp(0, CPoint(100, 10)); // released outside
    EXPECT_EQ(host.Codes(), (std::vector<UINT>{1, 2, 1}));
    EXPECT_EQ(b[0]->GetState(), 0);
}

TEST(CIconButtonFace, CheckedShowsTheDisabledFrameAndDownTheHoverFrame)
{
    Host host;
    CIconButton button(&host.owner, 30, CRect(0, 0, 40, 40), L"", 1, 1);
    host.Attach(button);
    ASSERT_EQ(button.SetImage(Fixture(L"frames4.png").c_str(), 4), 1);
    Canvas canvas(40, 40);
    DrawOn(canvas, button);
    EXPECT_TRUE(RgbNear(canvas.Rgb(20, 20), kFrameRgb[0]));
    button.SetControlCheck(1); // down, state 2
    DrawOn(canvas, button);
    EXPECT_TRUE(RgbNear(canvas.Rgb(20, 20), kFrameRgb[1])) << "down shows slot 1";
    button.SetCheck(1);
    DrawOn(canvas, button);
    EXPECT_TRUE(RgbNear(canvas.Rgb(20, 20), kFrameRgb[3])) << "checked shows slot 3";
    EXPECT_EQ(button.GetDownState(), 0);
    button.SetCheck(0);
    button.SetControlCheck(1);
    EXPECT_EQ(button.SetDownState(1), 1);
    EXPECT_EQ(button.GetDownState(), 0) << "SetDownState always raises";
}

TEST(CIconButtonTips, HoverShowsTheThreeLinesThroughTheInstalledMaker)
{
    g_tips = TipsLog();
    CIconButton::SetTipsFactory(&MakeRecordingTips);
    {
        Host host;
        CIconButton button(&host.owner, 30, CRect(10, 20, 50, 40), L"", 1, 1);
        host.Attach(button);
        button.SetTips(CString(L"Key"), CString(L"line 2"), CString(L"line 3"));
        button.OnMouseMove(0, CPoint(15, 25));
        EXPECT_EQ(g_tips.made, 0) << "tips are off until SetShowTips";
        button.OnMouseMove(0, CPoint(100, 100));
        button.SetShowTips(true);
        button.OnMouseMove(0, CPoint(15, 25));
        button.OnMouseMove(0, CPoint(100, 100));
        button.OnMouseMove(0, CPoint(15, 25));
        EXPECT_EQ(g_tips.made, 1) << "one window per button";
        EXPECT_EQ(g_tips.calls,
                  (std::vector<std::wstring>{L"show Key|line 2|line 3", L"hide", L"show Key|line 2|line 3"}));
        EXPECT_EQ(g_tips.anchor.x, 30) << "the button's horizontal centre";
        EXPECT_EQ(g_tips.anchor.y, 30) << "10 below its top";
    }
    CIconButton::SetTipsFactory(nullptr);
    Host host;
    CIconButton button(&host.owner, 31, CRect(0, 0, 40, 20), L"", 1, 1);
    button.SetShowTips(true);
    button.OnMouseMove(0, CPoint(5, 5)); // no maker installed: no tips, no failure
    EXPECT_EQ(button.GetState(), 1);
}
