// The macro event list: the delay column edited in place (empty text, limits, code 29),
// the press and right-release codes, the last delay updated by the recorder, and the face.
#include <gtest/gtest.h>

#include "ListTestSupport.h"
#include "ui/controls/CRecordList.h"

using namespace toolkit_test;

namespace {

const CRect kListRect(10, 20, 460, 300); // 450 x 280, rows of 41
const UINT kId = 233;

CPoint At(int x, int row) { return CPoint(kListRect.left + x, kListRect.top + 41 * row + 20); }

void AddEvents(CRecordList& list, int count)
{
    for (int i = 0; i < count; ++i)
        list.AddString(L"A", i % 2 ? 3 : 2, 4, 50);
}

} // namespace

TEST(RecordListDelayEdit, APressOnTheDelayColumnOpensTheEditAndAClearedEditMeans10)
{
    ListWindow<CRecordList> w(kId, kListRect, [](CRecordList& list) { AddEvents(list, 3); });
    w.Press(At(310, 1));
    ASSERT_EQ(w.Notes(kId, 1).size(), 1u);
    EXPECT_EQ(w.Notes(kId, 1)[0].wparam, 1u);
    ASSERT_TRUE(w.EditShown());
    EXPECT_EQ(w.list->GetEditItem(), 1);
    wchar_t text[32] = {};
    GetWindowTextW(w.list->GetEditWindow(), text, 32);
    EXPECT_STREQ(text, L"50");
    RECT box;
    GetWindowRect(w.list->GetEditWindow(), &box);
    MapWindowPoints(nullptr, w.hwnd, reinterpret_cast<POINT*>(&box), 2);
    EXPECT_EQ(box.left, kListRect.left + 300);
    EXPECT_EQ(box.right, kListRect.left + 420);

    w.TypeIntoEdit(L"");
    w.Press(At(100, 0)); // elsewhere: editing ends
    EXPECT_FALSE(w.EditShown());
    EXPECT_EQ(w.list->GetRecordItems()[1]->delay, 10);
    ASSERT_EQ(w.Notes(kId, 29).size(), 1u);
    EXPECT_EQ(w.Notes(kId, 29)[0].lparam, 1);
    EXPECT_EQ(w.list->GetCurSel(), 0);
}

TEST(RecordListDelayEdit, TypedDelaysAreReadAsDecimalsWithinTheMacroLimits)
{
    struct Case {
        const wchar_t* typed;
        int delay;
        bool reported;
    } cases[] = {
        {L"99999", 31000, true}, {L"31000", 31000, true}, {L"250", 250, true},
        {L"-7", 0, true},        {L"50", 50, false},      {L"", 10, true},
    };
    ListWindow<CRecordList> w(kId, kListRect, [](CRecordList& list) { AddEvents(list, 2); });
    for (const Case& c : cases) {
        w.list->UpdateDelayTime(50);
        w.dlg.notes.clear();
        w.Press(At(350, 1));
        ASSERT_TRUE(w.EditShown()) << c.typed;
        w.TypeIntoEdit(c.typed);
        w.list->HideEdit();
        EXPECT_EQ(w.list->GetRecordItems()[1]->delay, c.delay) << c.typed;
        EXPECT_EQ(w.Notes(kId, 29).size(), c.reported ? 1u : 0u) << c.typed;
    }
}

TEST(RecordListDelayEdit, TheWheelEndsEditingFirst)
{
    ListWindow<CRecordList> w(kId, kListRect, [](CRecordList& list) { AddEvents(list, 12); });
    w.Press(At(310, 2));
    ASSERT_TRUE(w.EditShown());
    w.TypeIntoEdit(L"75");
    const CPoint p = At(100, 1);
    POINT screen = p;
    ClientToScreen(w.hwnd, &screen);
    SendMessageW(w.hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), MAKELPARAM(screen.x, screen.y));
    Pump(10);
    EXPECT_FALSE(w.EditShown());
    EXPECT_EQ(w.list->GetRecordItems()[2]->delay, 75);
    EXPECT_EQ(w.list->GetScrollVertical()->GetScrollCurrentPos(), 100);
}

TEST(RecordListEvents, PressRightReleaseAndTheRecordersDelay)
{
    RecordingOwner owner;
    CRecordList list(&owner, kId, kListRect, 1);
    EXPECT_FALSE(list.UpdateDelayTime(30)) << "empty list";
    AddEvents(list, 3);
    EXPECT_TRUE(list.UpdateDelayTime(120));
    EXPECT_EQ(list.GetRecordItems()[2]->delay, 120);
    EXPECT_TRUE(list.UpdateDelayTime(45000));
    EXPECT_EQ(list.GetRecordItems()[2]->delay, 31000);
    EXPECT_EQ(list.GetRecordItems()[0]->delay, 50);

    list.OnLButtonDown(MK_LBUTTON, At(50, 5)); // inside, below the events
    ASSERT_EQ(owner.notes.size(), 1u);
    EXPECT_EQ(owner.notes[0].code, 1u);
    EXPECT_EQ(owner.notes[0].wparam, static_cast<WPARAM>(static_cast<UINT>(-1)));
    list.OnLButtonUp(0, At(50, 5));
    list.OnRButtonUp(0, At(50, 2));
    ASSERT_EQ(owner.notes.size(), 2u);
    EXPECT_EQ(owner.notes[1].code, 5u);
    EXPECT_EQ(owner.notes[1].wparam, 2u);
    EXPECT_EQ(list.GetCurSel(), 2);
    EXPECT_EQ(list.GetEditItem(), -1) << "no window: no edit";
}

TEST(RecordListFace, SelectedRowIsOutlinedNotFilled)
{
    PaintManager pm;
    RecordingOwner owner;
    CRecordList list(&owner, kId, kListRect, 1);
    list.SetManager(&pm);
    list.InitControl(&pm);
    AddEvents(list, 3);
    list.SetCurSel(1);
    Canvas canvas(480, 320, 0x000000);
    list.Draw(canvas.dc(), CRect(0, 0, 480, 320));
    const int top = kListRect.top + 41;
    EXPECT_TRUE(RgbNear(canvas.Rgb(kListRect.left + 150, top), 0xFF0000)) << "top edge";
    EXPECT_TRUE(RgbNear(canvas.Rgb(kListRect.left + 150, top + 40), 0xFF0000)) << "bottom edge";
    EXPECT_TRUE(RgbNear(canvas.Rgb(kListRect.left + 448, top + 20), 0xFF0000)) << "right edge at width - 2";
    EXPECT_EQ(canvas.Rgb(kListRect.left + 170, top + 20), 0u) << "inside stays unfilled";
    EXPECT_EQ(canvas.Rgb(kListRect.left + 150, kListRect.top), 0u) << "unselected row";
}
