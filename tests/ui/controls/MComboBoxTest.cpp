// Combo boxes: the item list and its selection rules, the face by state, and the pop-up on
// real windows (size and place, the scroll bar of long lists, choosing a row with real
// mouse input, opening above near the bottom of the screen, closing on a click elsewhere).
#include <gtest/gtest.h>

#include "ui/controls/CComboBoxList.h"
#include "ui/controls/CComboBoxWnd.h"
#include "ui/controls/MComboBox.h"
#include "ui/controls/MScroll.h"
#include "ui/core/ToolkitTestSupport.h"

using namespace toolkit_test;

namespace {

struct Combo {
    RecordingOwner owner;
    MComboBox combo{&owner, 36, CRect(0, 0, 200, 38), 1, 1};
    explicit Combo(std::initializer_list<const wchar_t*> texts = {})
    {
        long data = 10;
        for (const wchar_t* t : texts)
            combo.AddItem(t, data++);
    }
};

} // namespace

TEST(ComboItems, InsertOnlyAppendsOrGoesBeforeAnExistingItem)
{
    Combo t;
    EXPECT_EQ(t.combo.InsertItem(0, L"x"), -1) << "an empty combo only appends";
    EXPECT_EQ(t.combo.GetItemCount(), 0);
    EXPECT_EQ(t.combo.AddItem(L"a", 1), 0);
    EXPECT_EQ(t.combo.InsertItem(0, L"b", 2), 1) << "count - 1 after the insertion";
    EXPECT_EQ(t.combo.InsertItem(2, L"c", 3), -1);
    EXPECT_EQ(t.combo.InsertItem(-2, L"c", 3), -1);
    EXPECT_EQ(t.combo.FindData(2), 0);
    EXPECT_EQ(t.combo.FindData(1), 1);
    EXPECT_EQ(t.combo.FindData(9), -1);
}

TEST(ComboItems, SelectionAndTitle)
{
    Combo t({L"red", L"green", L"blue"});
    EXPECT_EQ(t.combo.GetCurSel(), -1);
    EXPECT_EQ(t.combo.GetCurData(), 0);
    EXPECT_EQ(t.combo.SetCurSel(3), 0);
    EXPECT_EQ(t.combo.SetCurSel(-2), 0);
    EXPECT_EQ(t.combo.SelectData(11), 1);
    EXPECT_EQ(t.combo.GetCurSel(), 1);
    EXPECT_STREQ(t.combo.GetTitle(), L"green");
    EXPECT_EQ(t.combo.GetCurData(), 11);
    EXPECT_EQ(t.combo.SelectData(99), 0);
    EXPECT_EQ(t.combo.SetItemText(1, L"lime"), 1);
    EXPECT_STREQ(t.combo.GetTitle(), L"lime") << "renaming the current item renames the title";
    EXPECT_EQ(t.combo.SetItemText(3, L"x"), 0);
    EXPECT_EQ(t.combo.SetCurSel(-1), 1);
    EXPECT_STREQ(t.combo.GetTitle(), L"");
    EXPECT_TRUE(t.owner.notes.empty()) << "selecting from the program sends nothing";
}

// The selection follows its item when items before it come and go; deleting the selected
// item clears the selection and the title (left alone, the index could point past the end
// or at another item while the title still names the deleted one).
TEST(ComboItems, DeletingAndInsertingKeepTheSelectionOnItsItem)
{
    struct Case {
        const char* what;
        int select;
        int deleteIndex; // -9: insert before item 0 instead
        int result;
        int selection;
        const wchar_t* title;
    } cases[] = {
        {"delete the selected item", 1, 1, 1, -1, L""},
        {"delete the selected last item", 2, 2, 1, -1, L""},
        {"delete an earlier item", 2, 0, 1, 1, L"blue"},
        {"delete a later item", 0, 2, 1, 0, L"red"},
        {"delete nothing (-1)", 1, -1, 1, 1, L"green"},
        {"delete past the end", 1, 3, 0, 1, L"green"},
        {"delete below -1", 1, -2, 0, 1, L"green"},
        {"insert before the selection", 1, -9, 1, 2, L"green"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Combo t({L"red", L"green", L"blue"});
        ASSERT_EQ(t.combo.SetCurSel(c.select), 1);
        const int result = c.deleteIndex == -9 ? (t.combo.InsertItem(0, L"new") >= 0 ? 1 : 0)
                                               : t.combo.DeleteItem(c.deleteIndex);
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(t.combo.GetCurSel(), c.selection);
        EXPECT_STREQ(t.combo.GetTitle(), c.title);
        if (c.selection >= 0)
            EXPECT_STREQ(t.combo.GetTitle(), c.title);
    }
    Combo t({L"red", L"green"});
    t.combo.SetCurSel(1);
    EXPECT_EQ(t.combo.DelAllItems(), 1);
    EXPECT_EQ(t.combo.GetCurSel(), -1);
    EXPECT_EQ(t.combo.GetItemCount(), 0);
    EXPECT_STREQ(t.combo.GetTitle(), L"");
}

// Face: slot of the state (frame i of the skin) over the left part, the title left-aligned
// in the text rect; slot 2 while the pop-up is open; slot 3 when disabled.
TEST(ComboFace, SlotByStateAndTitleInTheTextRect)
{
    PaintManager pm;
    Combo t({L"WWWW"});
    t.combo.SetManager(&pm);
    ASSERT_EQ(t.combo.SetImage(SkinName(L"wide4.png").c_str(), 4), 1);
    auto at = [&](int x, int y) {
        Canvas canvas(200, 38, 0x000000);
        t.combo.SetUpdate(0, 0); // the recording owner does not rebuild
        t.combo.Draw(canvas.dc(), CRect(0, 0, 200, 38));
        return canvas.Rgb(x, y);
    };
    EXPECT_TRUE(RgbNear(at(100, 3), 0xFF0000, 8)) << "normal: frame 0";
    t.combo.OnMouseMove(0, CPoint(50, 10));
    EXPECT_EQ(t.combo.GetState(), 1);
    EXPECT_TRUE(RgbNear(at(100, 3), 0x00FF00, 8)) << "hover: frame 1";
    t.combo.OnMouseMove(0, CPoint(500, 10));
    EXPECT_EQ(t.combo.GetState(), 0);
    t.combo.OnLButtonDown(MK_LBUTTON, CPoint(50, 10));
    EXPECT_EQ(t.combo.GetState(), 2);
    EXPECT_TRUE(RgbNear(at(100, 3), 0x0000FF, 8)) << "pressed: frame 2";
    t.combo.OnLButtonUp(0, CPoint(500, 10));
    EXPECT_EQ(t.combo.GetState(), 0) << "released outside: no pop-up";
    EXPECT_EQ(t.combo.IsOpen(), 0);
    t.combo.SetEnabled(0);
    EXPECT_EQ(t.combo.GetState(), 3);
    EXPECT_TRUE(RgbNear(at(100, 3), 0xFFFF00, 8)) << "disabled: frame 3";
    t.combo.OnMouseMove(0, CPoint(50, 10));
    EXPECT_EQ(t.combo.GetState(), 3);

    // The title: white text at the left of the text rect (6..170), nothing right of it.
    Combo plain({L"WWWW"});
    plain.combo.SetManager(&pm);
    plain.combo.SetCurSel(0);
    int lit = 0, litRight = 0;
    Canvas canvas(200, 38, 0x000000);
    plain.combo.Draw(canvas.dc(), CRect(0, 0, 200, 38));
    for (int x = 0; x < 200; ++x)
        for (int y = 0; y < 38; ++y)
            if (RgbNear(canvas.Rgb(x, y), 0xFFFFFF, 0x50))
                (x < 60 ? lit : litRight)++;
    EXPECT_GT(lit, 20) << "the title is drawn near the left edge";
    EXPECT_EQ(litRight, 0);
}

// ---------------------------------------------------------------- the pop-up on real windows

namespace {

// A visible window holding one combo at (20, 20, 220, 58).
struct ComboWindow {
    TestDialog dlg;
    MComboBox* combo = nullptr;
    ComboWindow(int x, int y, int items)
    {
        dlg.build = [this, items](TestDialog& d, CRect) {
            combo = static_cast<MComboBox*>(d.CreateControl(L"MComboBox", 36, CRect(20, 20, 220, 58), L""));
            for (int i = 0; i < items; ++i)
                combo->AddItem((L"item " + std::to_wstring(i)).c_str(), 100 + i);
        };
        dlg.Create(nullptr, L"combo owner", WS_POPUP | WS_VISIBLE, 0, CRect(x, y, x + 400, y + 80));
        ActivateWindow(dlg.GetSafeHwnd());
    }
    CPoint Screen(int x, int y)
    {
        CPoint pt(x, y);
        ::ClientToScreen(dlg.GetSafeHwnd(), &pt);
        return pt;
    }
    HWND Popup() const
    {
        CComboBoxWnd* wnd = combo->GetDropWnd();
        return wnd && combo->IsOpen() ? wnd->GetSafeHwnd() : nullptr;
    }
    CRect PopupRect() const
    {
        CRect r;
        GetWindowRect(Popup(), &r);
        return r;
    }
};

} // namespace

TEST(ComboPopup, SevenItemsShowFiveRowsAndABarAndAChosenRowIsSelected)
{
    ComboWindow w(100, 100, 7);
    ASSERT_NE(w.combo, nullptr);
    const CPoint middle = w.Screen(120, 39);
    MoveMouse(middle.x, middle.y);
    ASSERT_TRUE(PumpUntil([&] { return w.combo->GetState() == 1; })) << "hover";
    Click(MOUSEEVENTF_LEFTDOWN);
    Click(MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(PumpUntil([&] { return w.Popup() != nullptr; })) << "a click opens the pop-up";
    HWND popup = w.Popup();
    wchar_t title[32] = {};
    GetWindowTextW(popup, title, 32);
    EXPECT_STREQ(title, L"ComboWnd");
    const CPoint topLeft = w.Screen(20, 20), bottomRight = w.Screen(220, 58);
    EXPECT_EQ(w.PopupRect(), CRect(topLeft.x + 4, bottomRight.y + 2, bottomRight.x - 6, bottomRight.y + 2 + 162))
        << "5 rows x 30 + 12 below the combo";
    CComboBoxList* list = w.combo->GetDropWnd()->GetList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->GetItemCount(), 7);
    EXPECT_EQ(list->GetRect(), CRect(3, 6, w.PopupRect().Width() - 3, 156));
    EXPECT_TRUE(list->GetScrollVertical()->IsVisible()) << "7 rows do not fit: vertical bar";
    EXPECT_EQ(list->GetScrollVertical()->GetScrollMaxRange(), 210);
    EXPECT_NE(GetWindowLongPtrW(popup, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);

    ActivateWindow(popup);
    const CRect r = w.PopupRect();
    MoveMouse(r.left + 60, r.top + 6 + 3 * 30 + 15);
    ASSERT_TRUE(PumpUntil([&] { return list->GetHoverIndex() == 3; })) << "row 3 under the pointer";
    w.dlg.notes.clear();
    Click(MOUSEEVENTF_LEFTDOWN);
    Click(MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(popup); })) << "choosing a row closes the pop-up";
    Pump(30);
    ASSERT_EQ(w.dlg.notes.size(), 1u);
    EXPECT_EQ(w.dlg.notes[0].id, 36u);
    EXPECT_EQ(w.dlg.notes[0].code, 2u);
    EXPECT_EQ(w.dlg.notes[0].wparam, 3u);
    EXPECT_EQ(w.combo->GetCurSel(), 3);
    EXPECT_STREQ(w.combo->GetTitle(), L"item 3");
    EXPECT_EQ(w.combo->GetCurData(), 103);
    EXPECT_EQ(w.combo->IsOpen(), 0);
    MoveMouse(5, 5);
}

TEST(ComboPopup, AnEmptyComboOpensAnEmptyPopupTwelvePixelsHigh)
{
    ComboWindow w(100, 100, 0);
    w.combo->ShowDropDown();
    ASSERT_NE(w.Popup(), nullptr);
    EXPECT_EQ(w.PopupRect().Height(), 12);
    EXPECT_EQ(w.combo->GetDropWnd()->GetList()->GetItemCount(), 0);
}

TEST(ComboPopup, NearTheBottomOfTheScreenItOpensAbove)
{
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    ComboWindow w(100, work.bottom - 70, 3);
    w.combo->ShowDropDown();
    ASSERT_NE(w.Popup(), nullptr);
    const CPoint topLeft = w.Screen(20, 20), bottomRight = w.Screen(220, 58);
    EXPECT_EQ(w.PopupRect(), CRect(topLeft.x, topLeft.y - 3 * 30 - 12, bottomRight.x, topLeft.y));
}

TEST(ComboPopup, AClickElsewhereClosesItWithoutAChoice)
{
    ComboWindow w(100, 100, 3);
    w.combo->SetCurSel(1);
    w.combo->ShowDropDown();
    HWND popup = w.Popup();
    ASSERT_NE(popup, nullptr);
    ActivateWindow(popup);
    EXPECT_EQ(w.combo->IsOpen(), 1);
    w.dlg.notes.clear();
    TestDialog other;
    other.Create(nullptr, L"another window", WS_POPUP | WS_VISIBLE, 0, CRect(700, 100, 800, 200));
    ActivateWindow(other.GetSafeHwnd());
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(popup); }));
    EXPECT_EQ(w.combo->IsOpen(), 0);
    EXPECT_EQ(w.combo->GetCurSel(), 1);
    EXPECT_TRUE(w.dlg.notes.empty());
}

// The wheel moves the rows by two steps of the bar, within the bar's range.
TEST(ComboPopup, WheelScrollsTheRowsWithinTheRange)
{
    ComboWindow w(100, 100, 7);
    w.combo->ShowDropDown();
    CComboBoxList* list = w.combo->GetDropWnd()->GetList();
    ASSERT_NE(list, nullptr);
    const CPoint inside(list->GetRect().left + 20, list->GetRect().top + 20);
    EXPECT_EQ(list->OnScroll(1, 1, inside), 1);
    EXPECT_EQ(list->GetScrollVertical()->GetScrollCurrentPos(), 20);
    for (int i = 0; i < 30; ++i)
        list->OnScroll(1, 1, inside);
    EXPECT_EQ(list->GetScrollVertical()->GetScrollCurrentPos(), 210) << "clamped to the range";
    for (int i = 0; i < 30; ++i)
        list->OnScroll(1, 0, inside);
    EXPECT_EQ(list->GetScrollVertical()->GetScrollCurrentPos(), 0);
}
