// The thin scroll bars every panel owns: thumb geometry, when they show, dragging and
// paging with their position reports, their face, and their skin from the toolkit.
#include <gtest/gtest.h>

#include "ui/core/ToolkitTestSupport.h"
#include "ui/controls/MScroll.h"

using namespace toolkit_test;

namespace {

std::vector<WPARAM> Positions(const RecordingOwner& owner)
{
    std::vector<WPARAM> out;
    for (const auto& n : owner.notes)
        if (n.code == MN_POSITION)
            out.push_back(n.wparam);
    return out;
}

} // namespace

TEST(ScrollBar, ThumbLengthAndVisibility)
{
    struct Case {
        const char* what;
        int height, range, page;
        int thumb; // expected thumb length, 0 when the bar is not shown
    } cases[] = {
        {"page covers the range", 400, 1000, 1000, 0},
        {"page larger than the range", 400, 100, 500, 0},
        {"long track: at least 100", 400, 1000, 100, 100},
        {"long track: the page share when larger", 400, 1000, 500, 200},
        {"short track: 50 shorter than the track", 140, 1000, 10, 90},
        {"empty range", 400, 0, 0, 0},
    };
    for (const Case& c : cases) {
        RecordingOwner owner;
        CScrollVertical bar(&owner, 1, CRect(0, 0, 7, c.height), 1);
        bar.SetScrollInfo(c.range, 0, c.page, 10);
        EXPECT_EQ(bar.IsShown(), c.thumb ? 1 : 0) << c.what;
        if (c.thumb) {
            EXPECT_EQ(bar.GetThumbRect().Height(), c.thumb) << c.what;
        }
        EXPECT_EQ(bar.PtInRect(CPoint(3, 5)), c.thumb ? 1 : 0) << c.what << ": input only while shown";
    }
}

TEST(ScrollBar, DraggingPastEitherEndStopsThereAndReportsItOnce)
{
    RecordingOwner owner;
    CScrollVertical bar(&owner, 1, CRect(0, 0, 7, 400), 1);
    bar.SetScrollInfo(1000, 0, 100, 10); // thumb 100 long at the top: 300 pixels of travel
    ASSERT_EQ(bar.GetThumbRect(), CRect(0, 0, 7, 100));
    bar.OnLButtonDown(MK_LBUTTON, CPoint(3, 50));
    EXPECT_EQ(bar.GetThumbState(), 2);
    bar.OnMouseMove(MK_LBUTTON, CPoint(3, 200));
    EXPECT_EQ(bar.GetScrollCurrentPos(), 500);
    bar.OnMouseMove(MK_LBUTTON, CPoint(3, 1000));
    bar.OnMouseMove(MK_LBUTTON, CPoint(3, 1200));
    EXPECT_EQ(Positions(owner), (std::vector<WPARAM>{500, 1000})) << "the end is reported once";
    EXPECT_EQ(bar.GetThumbRect(), CRect(0, 300, 7, 400));
    bar.OnMouseMove(MK_LBUTTON, CPoint(3, -600));
    EXPECT_EQ(Positions(owner).back(), 0u);
    EXPECT_EQ(bar.GetThumbRect().top, 0);
    bar.OnLButtonUp(0, CPoint(3, 50));
    EXPECT_EQ(bar.GetThumbState(), 1) << "released over the thumb";
    EXPECT_EQ(bar.IsChangeing(), 0);
}

TEST(ScrollBar, PressBesideTheThumbPagesTowardsThePress)
{
    RecordingOwner owner;
    CScrollVertical bar(&owner, 1, CRect(0, 0, 7, 400), 1);
    bar.SetScrollInfo(1000, 0, 100, 10);
    bar.OnLButtonDown(MK_LBUTTON, CPoint(3, 300)); // below: one page of 400 * 100 / 1000 pixels
    EXPECT_EQ(bar.GetThumbRect().top, 40);
    EXPECT_EQ(Positions(owner), std::vector<WPARAM>{133});
    bar.OnLButtonUp(0, CPoint(3, 300));
    bar.OnLButtonDown(MK_LBUTTON, CPoint(3, 10)); // above
    EXPECT_EQ(bar.GetThumbRect().top, 0);
    EXPECT_EQ(bar.ScrollRow(3), 1);
    EXPECT_EQ(bar.GetScrollCurrentPos(), 30);
    EXPECT_EQ(bar.ScrollRow(-10), 1);
    EXPECT_EQ(bar.ScrollRow(-1), 0) << "already at the top";
}

TEST(ScrollBar, FaceIsTheTrackAndTheThumbFrames)
{
    PaintManager pm;
    RecordingOwner owner;
    CScrollVertical bar(&owner, 1, CRect(10, 0, 30, 200), 1);
    bar.SetManager(&pm);
    ASSERT_EQ(bar.SetImage(SkinName(L"frames4.png").c_str(), 1), 1);
    EXPECT_EQ(bar.GetImageSize(), CSize(20, 20)) << "always four frames";
    bar.SetScrollInfo(1000, 0, 100, 10);
    Canvas canvas(40, 200, 0x000000);
    bar.Draw(canvas.dc(), CRect(0, 0, 40, 200));
    EXPECT_TRUE(RgbNear(canvas.Rgb(20, 50), 0x0000FF)) << "thumb, frame 2";
    EXPECT_TRUE(RgbNear(canvas.Rgb(20, 150), 0xFF0000)) << "track, frame 0";
    EXPECT_EQ(canvas.Rgb(5, 50), 0u) << "nothing beside the bar";

    bar.OnMouseMove(0, CPoint(20, 50)); // pointer on the thumb
    ASSERT_FALSE(owner.updates.empty());
    EXPECT_EQ(owner.updates.back().rebuild, 1);
    bar.SetUpdate(0, 0); // what the owner does with the request
    bar.Draw(canvas.dc(), CRect(0, 0, 40, 200));
    EXPECT_TRUE(RgbNear(canvas.Rgb(20, 50), 0x00FF00)) << "thumb under the pointer, frame 1";

    Canvas hidden(40, 200, 0x123456);
    bar.SetScrollInfo(10, 0, 100, 10); // page over range: not shown
    bar.SetUpdate(0, 0);
    bar.Draw(hidden.dc(), CRect(0, 0, 40, 200));
    EXPECT_EQ(hidden.Rgb(20, 50), 0x123456u);
}

TEST(ScrollBar, PanelsTakeTheirBarsSkinFromTheToolkit)
{
    TestDialog dlg;
    dlg.build = [](TestDialog& d, CRect) {
        auto* panel = new MPanel(static_cast<MObject*>(&d), 5, CRect(0, 0, 100, 100), 1);
        d.AddControl(panel);
    };
    ASSERT_NE(dlg.CreateHidden(), nullptr);
    auto* panel = static_cast<MPanel*>(dlg.GetControl(5));
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->IsInit(), 1);
    EXPECT_EQ(panel->GetScrollVertical()->GetImageSize(), CSize(7, 239)) << "resource 102";
    EXPECT_EQ(panel->GetScrollHorizontal()->GetImageSize(), CSize(5, 20)) << "resource 101";
    dlg.DestroyWindow();
}

TEST(ScrollBar, DragAlongA300PixelBarEndsAtTheEndThenSendsNothing)
{
    RecordingOwner owner;
    CScrollVertical bar(&owner, 1, CRect(0, 0, 7, 300), 1);
    bar.SetScrollMaxRange(1000); // automatic page: the bar height
    ASSERT_EQ(bar.IsShown(), 1);
    EXPECT_EQ(bar.GetThumbRect().Height(), 100);
    bar.OnLButtonDown(MK_LBUTTON, CPoint(3, 50));
    bar.OnMouseMove(MK_LBUTTON, CPoint(3, 550)); // 500 pixels down, 200 of travel
    EXPECT_EQ(bar.GetThumbRect(), CRect(0, 200, 7, 300));
    EXPECT_EQ(Positions(owner), std::vector<WPARAM>{1000});
    bar.OnMouseMove(MK_LBUTTON, CPoint(3, 600));
    bar.OnMouseMove(MK_LBUTTON, CPoint(3, 700));
    EXPECT_EQ(Positions(owner).size(), 1u) << "moves past the end send nothing";
    EXPECT_EQ(bar.GetScrollCurrentPos(), 1000);
}

TEST(ScrollBar, PageCoveringTheRangeDrawsNothingAndIgnoresAPress)
{
    PaintManager pm;
    RecordingOwner owner;
    CScrollVertical bar(&owner, 1, CRect(10, 0, 30, 200), 1);
    bar.SetManager(&pm);
    ASSERT_EQ(bar.SetImage(SkinName(L"frames4.png").c_str(), 4), 1);
    bar.SetScrollInfo(500, 0, 500, 10);
    Canvas canvas(40, 200, 0x123456);
    bar.Draw(canvas.dc(), CRect(0, 0, 40, 200));
    for (int y : {5, 100, 195})
        EXPECT_EQ(canvas.Rgb(20, y), 0x123456u) << "y " << y;
    EXPECT_EQ(bar.OnControlLButtonDown(MK_LBUTTON, CPoint(20, 100)), 0);
    bar.OnControlMouseMove(MK_LBUTTON, CPoint(20, 150));
    EXPECT_TRUE(Positions(owner).empty());
    EXPECT_EQ(bar.GetThumbState(), 0);
}

// A range of 0 or less has nothing to scroll over; a thumb that fills the track (the page
// covers the range) has nowhere to go. Either way the position is 0, whatever is asked.
TEST(ScrollBar, EmptyRangeOrFullThumbKeepsPositionZero)
{
    struct Case {
        const char* what;
        int range, page;
    } cases[] = {
        {"range 0", 0, 0},
        {"negative range", -50, 0},
        {"page equal to the range", 300, 300},
        {"page twice the range", 100, 200},
    };
    for (const Case& c : cases) {
        RecordingOwner owner;
        CScrollVertical bar(&owner, 1, CRect(0, 0, 7, 300), 1);
        bar.SetScrollInfo(c.range, 50, c.page, 10);
        EXPECT_EQ(bar.IsShown(), 0) << c.what;
        EXPECT_EQ(bar.GetScrollCurrentPos(), 0) << c.what;
        bar.SetScrollCurrentPos(40);
        EXPECT_EQ(bar.GetScrollCurrentPos(), 0) << c.what;
        bar.SetScrollFinalPos();
        EXPECT_EQ(bar.GetScrollCurrentPos(), 0) << c.what << ": the end of nothing";
        bar.SetScrollCurrentPosEx(40);
        EXPECT_EQ(bar.GetScrollCurrentPos(), 0) << c.what;
        EXPECT_EQ(bar.ScrollRow(3), 0) << c.what;
        EXPECT_EQ(bar.MoveRange(30), 0) << c.what;
        EXPECT_TRUE(Positions(owner).empty()) << c.what;
    }
}

TEST(ScrollBar, BarsAreMadeByClassNameOnlyAsPanelParts)
{
    RecordingOwner owner;
    MPanel panel(&owner, 5, CRect(0, 0, 100, 100), 1);
    EXPECT_NE(dynamic_cast<CScrollVertical*>(panel.GetScrollVertical()), nullptr);
    EXPECT_NE(dynamic_cast<CScrollHorizontal*>(panel.GetScrollHorizontal()), nullptr);
    EXPECT_EQ(panel.CreateControl(L"CScrollVertical", 7, CRect(0, 0, 7, 50), L"", 1, 1), nullptr)
        << "no factory offers the bars by name";
    EXPECT_EQ(panel.CreateControl(L"MScroll", 7, CRect(0, 0, 7, 50), L"", 1, 1), nullptr);
}
