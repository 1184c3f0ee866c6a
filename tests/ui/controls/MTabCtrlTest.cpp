// Tab controls: the vertical strip as the main window sets it up (layout, selection and
// its pages, hidden and deleted tabs), the width rule of horizontal strips, the frame
// count of new tabs, selection by mouse, the face, and the slide on the periodic tick.
#include <gtest/gtest.h>

#include "ui/controls/MTabCtrl.h"
#include "ui/controls/MTabLayout.h"
#include "ui/core/ToolkitTestSupport.h"

using namespace toolkit_test;

namespace {

const UINT kIds[] = {0, 1, 2, 3, 5};

// A window with a vertical strip of 80 x 80 tabs (ids 0, 1, 2, 3, 5), each with its page
// right of the strip (pages 50 to 54); the control covers the strip and the pages.
struct Strip {
    TestDialog dlg;
    MTabCtrl* tab = nullptr;
    explicit Strip(bool visibleWindow = false)
    {
        dlg.build = [this](TestDialog& d, CRect) {
            tab = static_cast<MTabCtrl*>(d.CreateControl(L"MTabCtrl", 49, CRect(0, 0, 400, 450), L""));
            tab->SetTabType(TAB_TYPE_VERTICAL);
            tab->SetTabCtrlWidth(80);
            tab->SetTabCtrlHeight(80);
            tab->SetItemWidth(80, 80, 1);
            tab->SetItemHeight(80, 80, 1);
            for (int i = 0; i < 5; ++i) {
                MControl* page = tab->CreatePanel(L"MTabLayout", 50 + i, CRect(81, 0, 400, 450));
                tab->InsertItem(kIds[i], L"", SkinName(L"frames4.png").c_str(), page, 4, 0);
            }
        };
        if (visibleWindow) {
            dlg.Create(nullptr, L"tab owner", WS_POPUP | WS_VISIBLE, 0, CRect(100, 100, 500, 550));
        } else {
            dlg.CreateHidden(400, 450);
        }
    }
    std::vector<int> VisiblePages()
    {
        std::vector<int> shown;
        for (int i = 0; i < tab->GetItemCount(); ++i)
            if (tab->GetItemInfo(i)->panel && tab->GetItemInfo(i)->panel->IsVisible())
                shown.push_back(i);
        return shown;
    }
    std::vector<RecordingOwner::Note> Codes2()
    {
        std::vector<RecordingOwner::Note> out;
        for (const auto& n : dlg.notes)
            if (n.id == 49 && n.code == 2)
                out.push_back(n);
        return out;
    }
};

} // namespace

TEST(TabStrip, VerticalTabsStepBy81Pixels)
{
    Strip s;
    ASSERT_NE(s.tab, nullptr);
    ASSERT_EQ(s.tab->GetItemCount(), 5);
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(s.tab->GetItemInfo(i)->rect, CRect(0, 81 * i, 80, 81 * i + 80));
        EXPECT_EQ(s.tab->GetItemID(i), kIds[i]);
        EXPECT_EQ(s.tab->GetItemInfo(i)->frameWidth, 20);
    }
    EXPECT_EQ(s.tab->GetItemInfo(5), nullptr);
    EXPECT_EQ(s.tab->GetItemInfo(-1), nullptr);
    EXPECT_EQ(s.tab->GetItemID(5), 0u);
    EXPECT_EQ(s.tab->GetSelectItem(), -1);
    EXPECT_TRUE(s.VisiblePages().empty()) << "no page without a selection";
    EXPECT_EQ(s.tab->CreatePanel(L"MPanel", 60, CRect()), nullptr);
    EXPECT_EQ(s.tab->CreatePanel(L"", 60, CRect()), nullptr);
}

TEST(TabStrip, SelectingSendsCode2OnceAndShowsOnlyThatPage)
{
    Strip s;
    EXPECT_EQ(s.tab->SetSelectItem(2), -1) << "returns the previous selection";
    ASSERT_EQ(s.Codes2().size(), 1u);
    EXPECT_EQ(s.Codes2()[0].wparam, 2u);
    EXPECT_EQ(s.tab->GetSelectItem(), 2);
    EXPECT_EQ(s.VisiblePages(), std::vector<int>{2});
    EXPECT_EQ(s.tab->SetSelectItem(2), 2);
    EXPECT_EQ(s.tab->SetSelectItem(5), 2);
    EXPECT_EQ(s.tab->SetSelectItem(-1), 2);
    EXPECT_EQ(s.Codes2().size(), 1u) << "the current index or one outside sends nothing";
    EXPECT_EQ(s.tab->SetSelectItem(4), 2);
    EXPECT_EQ(s.VisiblePages(), std::vector<int>{4});
    EXPECT_EQ(s.Codes2().size(), 2u);
}

TEST(TabStrip, HidingTheSelectedTabKeepsTheSelection)
{
    Strip s;
    s.tab->SetSelectItem(2);
    EXPECT_EQ(s.tab->SetItemVisible(2, 0), 1);
    EXPECT_EQ(s.tab->GetItemVisible(2), 0);
    EXPECT_EQ(s.tab->GetSelectItem(), 2);
    EXPECT_TRUE(s.tab->GetItemInfo(2)->rect.IsRectEmpty());
    EXPECT_EQ(s.tab->GetItemInfo(3)->rect, CRect(0, 162, 80, 242)) << "the tabs below move up";
    EXPECT_EQ(s.tab->SetItemVisible(9, 0), 0);
}

// Deleting a tab takes its page with it; the selection stays on its tab, and deleting the
// selected last tab selects the new last visible one.
TEST(TabStrip, DeletingTabs)
{
    {
        Strip s;
        s.tab->SetItemVisible(3, 0);
        s.tab->SetSelectItem(4);
        s.tab->DeleteItem(4);
        EXPECT_EQ(s.tab->GetItemCount(), 4);
        EXPECT_EQ(s.tab->GetSelectItem(), 2) << "tab 3 is hidden: tab 2 is the last visible one";
        EXPECT_EQ(s.tab->GetControl(54), nullptr) << "the page went with its tab";
        EXPECT_EQ(s.VisiblePages(), std::vector<int>{2});
    }
    {
        Strip s;
        s.tab->SetSelectItem(3);
        s.tab->DeleteItem(1);
        EXPECT_EQ(s.tab->GetSelectItem(), 2) << "deleting an earlier tab keeps the same tab selected";
        EXPECT_EQ(s.tab->GetItemID(2), 3u);
        EXPECT_EQ(s.VisiblePages(), std::vector<int>{2});
        EXPECT_EQ(s.tab->GetItemInfo(3)->rect, CRect(0, 243, 80, 323));
        s.tab->DeleteItem(7);
        EXPECT_EQ(s.tab->GetItemCount(), 4);
    }
}

TEST(TabStrip, AReleaseOnATabSelectsIt)
{
    Strip s;
    HWND hwnd = s.dlg.GetSafeHwnd();
    Mouse(hwnd, WM_MOUSEMOVE, 40, 81 + 40);
    EXPECT_EQ(s.tab->GetHoverItem(), 1);
    Mouse(hwnd, WM_LBUTTONDOWN, 40, 81 + 40, MK_LBUTTON);
    Mouse(hwnd, WM_LBUTTONUP, 40, 81 + 40);
    ASSERT_EQ(s.Codes2().size(), 1u);
    EXPECT_EQ(s.Codes2()[0].wparam, 1u);
    EXPECT_EQ(s.tab->GetSelectItem(), 1);
    EXPECT_EQ(s.tab->OnCheckMouseResponse(0, CPoint(40, 440)), 0) << "strip below the last tab";
    EXPECT_EQ(s.tab->OnCheckMouseResponse(0, CPoint(200, 200)), 1) << "outside the strip: the pages";
}

// Frames: slot 0 (frame 0) for the strip, the hovered tab from slot 1, the selected one
// from slot 2; the image is centred in the tab.
TEST(TabFace, HoveredAndSelectedTabsShowTheirFrames)
{
    Strip s;
    s.tab->SetSelectItem(2);
    s.tab->OnMouseMove(0, CPoint(40, 81 + 40));
    Canvas canvas(400, 450, 0x000000);
    s.tab->SetUpdate(0, 0);
    s.tab->Draw(canvas.dc(), CRect(0, 0, 400, 450));
    // The 20 x 20 frame at x 30..50, y = top + (80 - 20 - 25) / 2 = top + 17.
    EXPECT_TRUE(RgbNear(canvas.Rgb(40, 27), 0xFF0000, 8)) << "tab 0: frame 0";
    EXPECT_TRUE(RgbNear(canvas.Rgb(40, 81 + 27), 0x00FF00, 8)) << "hovered tab 1: frame 1";
    EXPECT_TRUE(RgbNear(canvas.Rgb(40, 162 + 27), 0x0000FF, 8)) << "selected tab 2: frame 2";
    EXPECT_TRUE(RgbNear(canvas.Rgb(10, 27), 0x000000, 8)) << "beside the image: the background";
}

// A frame count of 0 or less means 3 (the frame width divides by it).
TEST(TabItems, FrameCountBelowOneMeansThree)
{
    for (int count : {0, -1, -5}) {
        SCOPED_TRACE(count);
        TestDialog dlg;
        dlg.CreateHidden();
        auto* tab = static_cast<MTabCtrl*>(dlg.CreateControl(L"MTabCtrl", 49, CRect(0, 0, 300, 40), L""));
        ASSERT_NE(tab, nullptr);
        tab->InsertItem(7, L"", SkinName(L"frames3.png").c_str(), nullptr, count, 0);
        ASSERT_EQ(tab->GetItemCount(), 1);
        EXPECT_EQ(tab->GetItemInfo(0)->frameCount, 3);
        EXPECT_EQ(tab->GetItemInfo(0)->frameWidth, 20);
    }
}

// Horizontal, 300 pixels, five tabs: the requested width wins when the minimum is 0 (even
// when the tabs overflow); with a minimum, the width that fits, but not below the minimum.
TEST(TabItems, ItemWidthRule)
{
    TestDialog dlg;
    dlg.CreateHidden();
    auto* tab = static_cast<MTabCtrl*>(dlg.CreateControl(L"MTabCtrl", 49, CRect(0, 0, 300, 40), L""));
    for (UINT i = 0; i < 5; ++i)
        tab->InsertItem(i, L"", SkinName(L"frames3.png").c_str(), nullptr, 3, 0);
    struct Case {
        int width, minWidth, expected;
    } cases[] = {{100, 0, 100}, {100, 50, 60}, {100, 70, 70}, {40, 50, 40}, {100, -1, 100}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.minWidth);
        tab->SetItemWidth(c.width, c.minWidth, 1);
        EXPECT_EQ(tab->GetItemWidth(), c.expected);
        EXPECT_EQ(tab->GetItemInfo(4)->rect, CRect(4 * c.expected, 0, 5 * c.expected, 20));
    }
}

// The slide runs on the window's periodic tick, and the control takes part in the tick
// only while it slides.
TEST(TabSlide, SlidesOnThePeriodicTickAndThenStopsTicking)
{
    Strip s(true);
    s.tab->EnableAnimateChangeTab(1);
    s.tab->SetSelectItem(0);
    EXPECT_FALSE(s.tab->IsSliding()) << "nothing to slide from";
    s.tab->SetSelectItem(1);
    EXPECT_FALSE(s.tab->IsSliding()) << "without a periodic tick the page changes at once";
    EXPECT_EQ(s.tab->IsRunTimer(), 0);

    ASSERT_NE(s.dlg.SetMTimer(10), 0u);
    s.tab->SetSelectItem(3);
    EXPECT_TRUE(s.tab->IsSliding());
    EXPECT_EQ(s.tab->IsRunTimer(), 1);
    EXPECT_EQ(s.VisiblePages(), std::vector<int>{3});
    ASSERT_TRUE(PumpUntil([&] { return !s.tab->IsSliding(); }, 5000));
    EXPECT_EQ(s.tab->GetSlideOffset(), -450) << "moved up by the whole height towards a later tab";
    EXPECT_EQ(s.tab->IsRunTimer(), 0) << "idle again";
    s.tab->SetSelectItem(0);
    ASSERT_TRUE(PumpUntil([&] { return !s.tab->IsSliding(); }, 5000));
    EXPECT_EQ(s.tab->GetSlideOffset(), 450) << "down towards an earlier tab";
    Pump(50);
}
