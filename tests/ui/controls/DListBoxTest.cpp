// The text list: inserting and finding items, selection and its repaint requests, the
// vertical bar and the wheel, hover and the press codes, the face, renaming in place with
// code 29, and calls from another thread running on the window's thread.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "ListTestSupport.h"
#include "ui/controls/DListBox.h"
#include "ui/controls/MListBox.h"
#include "ui/controls/MScroll.h"

using namespace toolkit_test;

namespace {

const CRect kListRect(10, 20, 310, 220); // 300 x 200

void Fill(DListBox& list, int count)
{
    for (int i = 0; i < count; ++i)
        list.AddString((L"item " + std::to_wstring(i)).c_str(), static_cast<long>(100 + i), 0);
}

std::vector<UINT> Codes(const RecordingOwner& owner)
{
    std::vector<UINT> out;
    for (const auto& n : owner.notes)
        out.push_back(n.code);
    return out;
}

// Centre of row `row` (counted from the first visible item) in client coordinates.
CPoint Row(int row, int height = 32) { return CPoint(kListRect.left + 150, kListRect.top + height * row + height / 2); }

} // namespace

TEST(DListBoxItems, InsertAcceptsOnlyIndexesOfTheListOrMinusOne)
{
    struct Case {
        int index;
        int result;
        const wchar_t* order; // texts after the call
    } cases[] = {
        {5, -1, L"a b c"}, {3, -1, L"a b c"}, {-2, -1, L"a b c"},
        {-1, 3, L"a b c x"}, {0, 0, L"x a b c"}, {2, 2, L"a b x c"},
    };
    for (const Case& c : cases) {
        RecordingOwner owner;
        DListBox list(&owner, 7, kListRect, 1);
        for (const wchar_t* t : {L"a", L"b", L"c"})
            list.AddString(t, 0);
        EXPECT_EQ(list.InsertString(c.index, L"x", 0, 42), c.result) << c.index;
        std::wstring order;
        for (int i = 0; i < list.GetItemCount(); ++i)
            order += (i ? L" " : L"") + std::wstring(list.GetItemText(i));
        EXPECT_EQ(order, c.order) << c.index;
    }
}

TEST(DListBoxItems, LookupsAndBadIndexes)
{
    RecordingOwner owner;
    DListBox list(&owner, 7, kListRect, 1);
    EXPECT_EQ(list.AddString(L"Profile", 11L, 0), 0);
    EXPECT_EQ(list.AddString(L"profile", 12L, 0), 1);
    EXPECT_EQ(list.FindString(L"profile"), 1) << "case-sensitive";
    EXPECT_EQ(list.FindString(L"Prof"), -1) << "exact";
    EXPECT_EQ(list.FindItemData(12), 1);
    EXPECT_EQ(list.FindItemData(99), -1);
    EXPECT_EQ(list.GetItemData(5), 0);
    EXPECT_EQ(list.GetItemText(-1), L"");
    EXPECT_EQ(list.ModifyItemString(2, L"x"), 0);
    EXPECT_EQ(list.SetItemData(-1, 3), 0);
    EXPECT_EQ(list.GetCurData(), 0) << "no selection";
    EXPECT_EQ(list.SetCurData(12), 1);
    EXPECT_EQ(list.GetCurData(), 12);
    EXPECT_EQ(list.SetCurData(77), -1);
    EXPECT_EQ(list.GetCurSel(), 1) << "a missing data leaves the selection";
    EXPECT_EQ(list.SwapItem(0, 1), 1);
    EXPECT_EQ(list.GetItemText(0), L"profile");
    EXPECT_EQ(list.SwapItem(0, 2), 0);
    EXPECT_EQ(list.GetCurSel(), 1) << "the selection stays with the index";
    EXPECT_EQ(list.DeleteItem(1), 1);
    EXPECT_EQ(list.GetCurSel(), -1) << "the selected item went away";
    EXPECT_EQ(list.DeleteItem(3), 0);
    list.DeleteAllItems();
    EXPECT_EQ(list.GetItemCount(), 0);
}

TEST(DListBoxSelection, SelectingTheCurrentItemAgainAsksForNoRepaint)
{
    RecordingOwner owner;
    DListBox list(&owner, 7, kListRect, 1);
    Fill(list, 3);
    owner.updates.clear();
    EXPECT_EQ(list.SetCurSel(1), 1);
    ASSERT_EQ(owner.updates.size(), 1u);
    EXPECT_EQ(owner.updates[0].rebuild, 1);
    EXPECT_EQ(list.SetCurSel(1), 1);
    EXPECT_EQ(owner.updates.size(), 1u) << "same selection: no repaint request";
    EXPECT_EQ(list.SetCurSel(3), 0);
    EXPECT_EQ(list.SetCurSel(-2), 0);
    EXPECT_EQ(list.GetCurSel(), 1);
    EXPECT_EQ(list.SetCurSel(-1), 1);
    EXPECT_EQ(list.GetCurSel(), -1);
}

TEST(DListBoxScrolling, TallContentShowsTheBarWithTheContentHeightAsRange)
{
    RecordingOwner owner;
    DListBox list(&owner, 7, kListRect, 1);
    auto* bar = dynamic_cast<CScrollVertical*>(list.GetScrollVertical());
    ASSERT_NE(bar, nullptr);
    Fill(list, 6); // 192 px: fits
    EXPECT_EQ(bar->IsVisible(), 0);
    Fill(list, 14); // 20 x 32 = 640 px
    EXPECT_EQ(bar->IsVisible(), 1);
    EXPECT_EQ(bar->GetScrollMaxRange(), 640);
    EXPECT_EQ(bar->GetRect(), CRect(303, 20, 310, 220));
    EXPECT_EQ(list.GetFirstVisible(), 0);
    EXPECT_EQ(list.GetLastVisible(), 6);
    list.DeleteAllItems();
    EXPECT_EQ(bar->IsVisible(), 0);
}

TEST(DListBoxScrolling, EachWheelNotchMovesTenBarStepsWithinTheRange)
{
    RecordingOwner owner;
    DListBox list(&owner, 7, kListRect, 1);
    MScrollBar* bar = list.GetScrollVertical();
    Fill(list, 20);
    const CPoint inside = Row(2);
    EXPECT_EQ(list.OnScroll(1, 1, inside), 1);
    EXPECT_EQ(bar->GetScrollCurrentPos(), 100) << "down adds 10 x the step of 10";
    EXPECT_EQ(list.GetListOffset(), 440 * 100 / 640);
    for (int i = 0; i < 10; ++i)
        list.OnScroll(1, 1, inside);
    EXPECT_EQ(bar->GetScrollCurrentPos(), 640);
    EXPECT_EQ(list.GetFirstVisible(), 440 / 32);
    EXPECT_EQ(list.GetLastVisible(), 19);
    list.OnScroll(1, 0, inside);
    EXPECT_EQ(bar->GetScrollCurrentPos(), 540);
    for (int i = 0; i < 10; ++i)
        list.OnScroll(1, 0, inside);
    EXPECT_EQ(bar->GetScrollCurrentPos(), 0);

    DListBox shortList(&owner, 8, kListRect, 1);
    Fill(shortList, 3);
    shortList.OnScroll(1, 1, inside);
    EXPECT_EQ(shortList.GetScrollVertical()->GetScrollCurrentPos(), 0) << "content fits: the wheel does nothing";
}

TEST(DListBoxScrolling, ARowHeightBelowOneIsIgnored)
{
    RecordingOwner owner;
    DListBox list(&owner, 7, kListRect, 1);
    Fill(list, 20);
    list.OnScroll(1, 1, Row(0));
    for (int height : {0, -4}) {
        list.SetItemHeight(height);
        EXPECT_EQ(list.GetItemHeight(), 32) << height;
        // The visible range divides by the height; it still works out.
        list.OnScroll(1, 1, Row(0));
        EXPECT_GE(list.GetLastVisible(), list.GetFirstVisible()) << height;
    }
    list.SetItemHeight(10);
    EXPECT_EQ(list.GetItemHeight(), 10);
    EXPECT_EQ(list.GetScrollVertical()->IsVisible(), 0) << "200 px of content fit";
}

TEST(DListBoxInput, PressReleaseAndRightReleaseCodes)
{
    RecordingOwner owner;
    DListBox list(&owner, 7, kListRect, 1);
    Fill(list, 3);
    list.OnMouseMove(0, Row(2));
    EXPECT_EQ(list.GetHoverItem(), 2);
    list.OnLButtonDown(MK_LBUTTON, Row(2));
    list.OnLButtonUp(0, Row(2));
    ASSERT_EQ(Codes(owner), (std::vector<UINT>{1, 2}));
    EXPECT_EQ(owner.notes[0].wparam, 2u);
    EXPECT_EQ(owner.notes[1].wparam, 2u);
    EXPECT_EQ(list.GetCurSel(), 2);

    owner.notes.clear();
    list.OnLButtonDown(MK_LBUTTON, Row(5)); // below the last item
    list.OnLButtonUp(0, Row(5));
    EXPECT_TRUE(owner.notes.empty()) << "no item, no code";
    EXPECT_EQ(list.GetCurSel(), 2);

    list.OnRButtonDown(MK_RBUTTON, Row(5));
    list.OnRButtonUp(0, Row(5));
    ASSERT_EQ(Codes(owner), std::vector<UINT>{5});
    EXPECT_EQ(owner.notes[0].wparam, static_cast<WPARAM>(static_cast<UINT>(-1)));
    EXPECT_EQ(list.GetCurSel(), -1);

    list.OnMouseMove(0, CPoint(-1, -1));
    EXPECT_EQ(list.GetHoverItem(), -1) << "the pointer left";
}

TEST(DListBoxFace, RowsShowSelectionHoverIconFramesAndTheBar)
{
    PaintManager pm;
    RecordingOwner owner;
    DListBox list(&owner, 7, kListRect, 1);
    list.SetManager(&pm);
    list.InitControl(&pm);
    ASSERT_EQ(list.SetImage(SkinName(L"frames4.png").c_str(), 4), 1);
    Fill(list, 4);
    list.SetCurSel(1);
    Canvas canvas(320, 240, 0x000000);
    list.Draw(canvas.dc(), CRect(0, 0, 320, 240));
    const int y0 = kListRect.top + 16, y1 = kListRect.top + 48;
    EXPECT_TRUE(RgbNear(canvas.Rgb(kListRect.left + 200, y1), 0xFF0000)) << "selected row filled";
    EXPECT_EQ(canvas.Rgb(kListRect.left + 200, y0), 0u) << "plain row";
    EXPECT_EQ(canvas.Rgb(kListRect.left, y1), 0u) << "the fill starts at x 1";
    EXPECT_TRUE(RgbNear(canvas.Rgb(kListRect.left + 25, y1), 0x00FF00)) << "icon frame 1 for the selection";
    EXPECT_TRUE(RgbNear(canvas.Rgb(kListRect.left + 25, y0), 0xFF0000)) << "icon frame 0";
    EXPECT_EQ(canvas.Rgb(kListRect.left + 5, y0), 0u) << "icon centred in the first 50 px";

    list.OnMouseMove(0, CPoint(kListRect.left + 200, kListRect.top + 80));
    list.SetUpdate(0, 0);
    list.Draw(canvas.dc(), CRect(0, 0, 320, 240));
    EXPECT_TRUE(RgbNear(canvas.Rgb(kListRect.left + 200, kListRect.top + 80), 0xFF0000)) << "hovered row filled";
}

TEST(DListBoxFactory, PanelsMakeDListBoxWindowsDoNotMListBoxBoth)
{
    TestDialog dlg;
    MControl* fromWindow = nullptr;
    MControl* fromPanel = nullptr;
    MControl* mlist = nullptr;
    dlg.build = [&](TestDialog& d, CRect) {
        fromWindow = d.CreateControl(L"DListBox", 5, kListRect, L"", 1, 1);
        mlist = d.CreateControl(L"MListBox", 6, kListRect, L"", 1, 1);
        auto* panel = new MPanel(static_cast<MObject*>(&d), 7, CRect(0, 0, 300, 300), 1);
        d.AddControl(panel);
        fromPanel = panel->CreateControl(L"DListBox", 8, kListRect, L"", 1, 1);
    };
    dlg.CreateHidden();
    EXPECT_EQ(fromWindow, nullptr);
    EXPECT_NE(dynamic_cast<DListBox*>(fromPanel), nullptr);
    auto* m = dynamic_cast<MListBox*>(mlist);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->GetItemHeight(), 30);
    EXPECT_EQ(m->GetEditBKColor(), 0x222222u);
    EXPECT_EQ(static_cast<DListBox*>(fromPanel)->GetEditBKColor(), 0x351806u);
    dlg.DestroyWindow();
}

TEST(DListBoxRename, TheSameTextSendsNothingANewTextSends29WithTheIndex)
{
    ListWindow<DListBox> w(7, kListRect, [](DListBox& list) {
        Fill(list, 3);
        list.EnableShowEdit(1);
    });
    w.list->ShowEdit();
    EXPECT_FALSE(w.EditShown()) << "no selection, no editing";
    w.list->SetCurSel(1);
    w.list->ShowEdit();
    ASSERT_TRUE(w.EditShown());
    EXPECT_EQ(w.list->GetEditItem(), 1);
    wchar_t text[64] = {};
    GetWindowTextW(w.list->GetEditWindow(), text, 64);
    EXPECT_STREQ(text, L"item 1");
    EXPECT_EQ(GetFocus(), w.list->GetEditWindow());
    RECT box;
    GetWindowRect(w.list->GetEditWindow(), &box);
    MapWindowPoints(nullptr, w.hwnd, reinterpret_cast<POINT*>(&box), 2);
    EXPECT_EQ(CRect(box), CRect(60, 57, 300, 77))
        << "over the text: x + 50 to the right edge less 10, 20 high for size 14";

    w.list->HideEdit();
    EXPECT_FALSE(w.EditShown());
    EXPECT_EQ(w.list->GetEditItem(), -1);
    EXPECT_TRUE(w.Notes(7, 29).empty()) << "unchanged text";

    w.list->ShowEdit();
    w.TypeIntoEdit(L"Renamed");
    SetFocus(w.hwnd); // the edit window loses the focus: editing ends
    Pump(10);
    EXPECT_FALSE(w.EditShown());
    ASSERT_EQ(w.Notes(7, 29).size(), 1u);
    EXPECT_EQ(w.Notes(7, 29)[0].wparam, 0u);
    EXPECT_EQ(w.Notes(7, 29)[0].lparam, 1);
    EXPECT_EQ(w.list->GetItemText(1), L"Renamed");

    w.list->ShowEdit();
    w.TypeIntoEdit(L"Again");
    w.Press(Row(0)); // a press on another item ends editing too
    EXPECT_EQ(w.list->GetItemText(1), L"Again");
    EXPECT_EQ(w.Notes(7, 29).size(), 2u);
    EXPECT_EQ(w.list->GetCurSel(), 0);
}

TEST(DListBoxThreads, CallsFromAnotherThreadRunOnTheWindowThread)
{
    ListWindow<DListBox> w(7, kListRect, [](DListBox& list) { list.EnableShowEdit(1); });
    std::vector<int> indexes;
    std::atomic<bool> done{false};
    std::thread worker([&] {
        for (int i = 0; i < 20; ++i)
            indexes.push_back(w.list->AddString(L"loaded", static_cast<long>(i), 0));
        w.list->SetCurSel(3);
        w.list->ShowEdit();
        done = true;
    });
    EXPECT_TRUE(PumpUntil([&] { return done.load(); }, 5000));
    worker.join();
    ASSERT_EQ(indexes.size(), 20u);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(indexes[static_cast<size_t>(i)], i);
    EXPECT_EQ(w.list->GetScrollVertical()->GetScrollMaxRange(), 640);
    ASSERT_NE(w.list->GetEditWindow(), nullptr);
    EXPECT_EQ(GetWindowThreadProcessId(w.list->GetEditWindow(), nullptr), GetCurrentThreadId())
        << "the edit window belongs to the window's thread";
    for (DWORD thread : w.dlg.updateThreads)
        EXPECT_EQ(thread, GetCurrentThreadId());
}

TEST(MListBoxInput, PressAnywhereDoubleClickAndRightRelease)
{
    RecordingOwner owner;
    MListBox list(&owner, 9, kListRect, 1);
    Fill(list, 3);
    list.OnLButtonDown(MK_LBUTTON, Row(1, 30));
    list.OnLButtonUp(0, Row(1, 30));
    ASSERT_EQ(Codes(owner), std::vector<UINT>{1}) << "no release code";
    EXPECT_EQ(owner.notes[0].wparam, 1u);
    list.OnLButtonDblClk(MK_LBUTTON, Row(1, 30));
    ASSERT_EQ(Codes(owner), (std::vector<UINT>{1, 3}));
    EXPECT_EQ(owner.notes[1].wparam, 1u);
    list.OnLButtonDown(MK_LBUTTON, Row(5, 30));
    EXPECT_EQ(owner.notes.back().code, 1u);
    EXPECT_EQ(owner.notes.back().wparam, static_cast<WPARAM>(static_cast<UINT>(-1))) << "a press off the items";
    EXPECT_EQ(list.GetCurSel(), -1);
    owner.notes.clear();
    list.OnRButtonUp(0, Row(5, 30));
    EXPECT_TRUE(owner.notes.empty()) << "right release off the items";
    list.OnRButtonUp(0, Row(2, 30));
    ASSERT_EQ(Codes(owner), std::vector<UINT>{5});
    EXPECT_EQ(list.GetCurSel(), 2);
}

TEST(MListBoxRename, DoubleClickRenames)
{
    ListWindow<MListBox> w(9, kListRect, [](MListBox& list) {
        Fill(list, 3);
        list.EnableShowEdit(1);
    });
    const CPoint row2 = Row(2, 30);
    Mouse(w.hwnd, WM_MOUSEMOVE, row2.x, row2.y);
    Mouse(w.hwnd, WM_LBUTTONDOWN, row2.x, row2.y, MK_LBUTTON);
    Mouse(w.hwnd, WM_LBUTTONUP, row2.x, row2.y);
    Mouse(w.hwnd, WM_LBUTTONDBLCLK, row2.x, row2.y, MK_LBUTTON);
    Mouse(w.hwnd, WM_LBUTTONUP, row2.x, row2.y);
    Pump(10);
    ASSERT_EQ(w.Notes(9, 3).size(), 1u);
    EXPECT_TRUE(w.EditShown());
    EXPECT_EQ(w.list->GetEditItem(), 2);
    w.TypeIntoEdit(L"two");
    w.list->HideEdit();
    ASSERT_EQ(w.Notes(9, 29).size(), 1u);
    EXPECT_EQ(w.Notes(9, 29)[0].lparam, 2);
}
