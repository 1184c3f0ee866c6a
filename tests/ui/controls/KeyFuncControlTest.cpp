// The key function grid: the built-in catalogue's values and rects, the click that
// selects an item with code 2, marking by data, and the face's state frames.
#include <gtest/gtest.h>

#include "ui/controls/KeyFuncControl.h"
#include "ui/core/ToolkitTestSupport.h"

using namespace toolkit_test;

namespace {

const CRect kGridRect(10, 20, 930, 290);

// Index of the n-th item (0 first) with that caption; -1 when there is none.
int Find(KeyFuncControl& grid, const wchar_t* caption, int nth = 0)
{
    KeyFuncItem item;
    for (int i = 0; grid.GetItem(i, item); ++i)
        if (item.caption == caption && nth-- == 0)
            return i;
    return -1;
}

CPoint CentreOf(KeyFuncControl& grid, int index)
{
    KeyFuncItem item;
    grid.GetItem(index, item);
    return CPoint(kGridRect.left + item.rect.CenterPoint().x, kGridRect.top + item.rect.CenterPoint().y);
}

} // namespace

TEST(KeyFuncCatalogue, ItemsCarryTheirUsagesAndRects)
{
    RecordingOwner owner;
    KeyFuncControl grid(&owner, 69, kGridRect, 1);
    grid.InitItemInfo();
    struct Case {
        const wchar_t* caption;
        int nth;
        int value;
        CRect rect;
    } cases[] = {
        {L"A", 0, 4, CRect(88, 142, 124, 170)},     {L"L", 0, 15, CRect(400, 142, 436, 170)},
        {L"Esc", 0, 41, CRect(0, 38, 36, 66)},      {L"F12", 0, 69, CRect(559, 38, 595, 66)},
        {L"0", 0, 39, CRect(390, 76, 426, 104)},    {L"P", 0, 19, CRect(429, 109, 465, 137)},
        {L"M", 0, 16, CRect(338, 175, 374, 203)},   {L"Ctrl", 0, 224, CRect(0, 208, 50, 236)},
        {L"Ctrl", 1, 228, CRect(492, 208, 542, 236)}, {L"Shift", 1, 229, CRect(494, 175, 595, 203)},
        {L"Alt", 1, 230, CRect(386, 208, 436, 236)}, {L"Win", 0, 227, CRect(53, 208, 103, 236)},
        {L"App", 0, 101, CRect(439, 208, 489, 236)}, {L"+", 0, 87, CRect(867, 109, 903, 170)},
        {L"Enter", 1, 88, CRect(867, 175, 903, 236)}, {L"0", 1, 98, CRect(750, 208, 786, 236)},
        {L"-", 1, 86, CRect(867, 76, 903, 104)},    {L"Space", 0, 44, CRect(159, 208, 383, 236)},
    };
    for (const Case& c : cases) {
        const int index = Find(grid, c.caption, c.nth);
        ASSERT_GE(index, 0) << c.caption;
        KeyFuncItem item;
        grid.GetItem(index, item);
        EXPECT_EQ(item.value, c.value) << c.caption << " #" << c.nth;
        EXPECT_EQ(item.rect, c.rect) << c.caption << " #" << c.nth;
        EXPECT_EQ(item.extra1, 0);
        EXPECT_EQ(item.extra2, 0);
    }
    const int media[] = {249, 242, 240, 238, 237, 239, 233, 234, 235, 241, 247};
    for (int n = 0; n < 11; ++n) {
        KeyFuncItem item;
        ASSERT_TRUE(grid.GetItem(n, item));
        EXPECT_EQ(item.value, media[n]);
        EXPECT_EQ(item.rect, CRect(50 * n, 0, 50 * n + 43, 28));
        EXPECT_TRUE(item.caption.IsEmpty());
    }
    const int count = grid.GetItemCount();
    grid.InitItemInfo();
    EXPECT_EQ(grid.GetItemCount(), count) << "rebuilt, not appended";
}

TEST(KeyFuncSelection, AClickSelectsTheItemAndReportsItsIndex)
{
    RecordingOwner owner;
    KeyFuncControl grid(&owner, 69, kGridRect, 1);
    grid.InitItemInfo();
    int ignored = 7, value = 0, extra1 = 5, extra2 = 5;
    CString caption;
    EXPECT_FALSE(grid.GetCurItemData(ignored, value, extra1, extra2, caption)) << "before any click";

    const int a = Find(grid, L"A");
    const CPoint pt = CentreOf(grid, a);
    grid.OnMouseMove(0, pt);
    EXPECT_EQ(grid.GetHoverItem(), a);
    grid.OnLButtonDown(MK_LBUTTON, pt);
    EXPECT_TRUE(owner.notes.empty()) << "the press is only consumed";
    grid.OnLButtonUp(0, pt);
    ASSERT_EQ(owner.notes.size(), 1u);
    EXPECT_EQ(owner.notes[0].code, 2u);
    EXPECT_EQ(owner.notes[0].wparam, static_cast<WPARAM>(a));
    EXPECT_EQ(owner.notes[0].lparam, 0);
    ASSERT_TRUE(grid.GetCurItemData(ignored, value, extra1, extra2, caption));
    EXPECT_EQ(value, 4);
    EXPECT_EQ(extra1, 0);
    EXPECT_EQ(extra2, 0);
    EXPECT_EQ(caption, L"A");

    const CPoint gap(kGridRect.left + 70, kGridRect.top + 50); // between Esc and F1
    grid.OnLButtonDown(MK_LBUTTON, gap);
    grid.OnLButtonUp(0, gap);
    ASSERT_EQ(owner.notes.size(), 2u);
    EXPECT_EQ(owner.notes[1].wparam, static_cast<WPARAM>(static_cast<UINT>(-1)));
    EXPECT_FALSE(grid.GetCurItemData(ignored, value, extra1, extra2, caption)) << "nothing selected";
}

TEST(KeyFuncSelection, MarkingByDataAndCaptions)
{
    RecordingOwner owner;
    KeyFuncControl grid(&owner, 69, kGridRect, 1);
    grid.InitItemInfo();
    const CPoint pt = CentreOf(grid, Find(grid, L"A"));
    grid.OnLButtonUp(0, pt);
    grid.SetItemCheckByItemData(228, 0, 0);
    EXPECT_EQ(grid.GetMarkItem(), Find(grid, L"Ctrl", 1));
    EXPECT_EQ(grid.GetSelectItem(), -1) << "marking clears the selection";
    grid.SetItemCheckByItemData(228, 1, 0);
    EXPECT_EQ(grid.GetMarkItem(), -1) << "extra values must match";
    grid.SetItemCheckByItemData(0, 0, 0);
    EXPECT_EQ(grid.GetMarkItem(), -1);
    grid.SetItemDesc(249, L"My computer");
    KeyFuncItem item;
    grid.GetItem(0, item);
    EXPECT_EQ(item.caption, L"My computer");
    grid.ClearItems();
    EXPECT_EQ(grid.GetItemCount(), 0);
}

TEST(KeyFuncFace, ItemsShowNormalHoverAndSelectedFrames)
{
    PaintManager pm;
    RecordingOwner owner;
    KeyFuncControl grid(&owner, 69, kGridRect, 1);
    grid.SetManager(&pm);
    grid.InitControl(&pm);
    ASSERT_EQ(grid.SetImage(SkinName(L"frames4.png").c_str(), 4), 1);
    grid.InitItemInfo();
    const CPoint a = CentreOf(grid, Find(grid, L"A"));
    const CPoint s = CentreOf(grid, Find(grid, L"S"));
    const CPoint edgeA(a.x - 15, a.y - 11), edgeS(s.x - 15, s.y - 11); // off the captions
    grid.OnLButtonUp(0, a);
    grid.OnMouseMove(0, s);
    Canvas canvas(960, 320, 0x000000);
    grid.SetUpdate(0, 0);
    grid.Draw(canvas.dc(), CRect(0, 0, 960, 320));
    EXPECT_TRUE(RgbNear(canvas.Rgb(edgeA.x, edgeA.y), 0x0000FF)) << "selected: frame 2";
    EXPECT_TRUE(RgbNear(canvas.Rgb(edgeS.x, edgeS.y), 0x00FF00)) << "hovered: frame 1";
    const CPoint d = CentreOf(grid, Find(grid, L"D"));
    EXPECT_TRUE(RgbNear(canvas.Rgb(d.x - 15, d.y - 11), 0xFF0000)) << "normal: frame 0";
    EXPECT_EQ(canvas.Rgb(kGridRect.left + 70, kGridRect.top + 50), 0u) << "between items";
}

TEST(KeyFuncFactory, OnlyPanelsMakeIt)
{
    TestDialog dlg;
    MControl* fromWindow = nullptr;
    MControl* fromPanel = nullptr;
    dlg.build = [&](TestDialog& d, CRect) {
        fromWindow = d.CreateControl(L"KeyFuncControl", 5, kGridRect, L"", 1, 1);
        auto* panel = new MPanel(static_cast<MObject*>(&d), 7, CRect(0, 0, 300, 300), 1);
        d.AddControl(panel);
        fromPanel = panel->CreateControl(L"KeyFuncControl", 8, kGridRect, L"", 1, 1);
    };
    dlg.CreateHidden();
    EXPECT_EQ(fromWindow, nullptr);
    EXPECT_NE(dynamic_cast<KeyFuncControl*>(fromPanel), nullptr);
    dlg.DestroyWindow();
}
